#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

// Case-folded djb2 hash: bytes are read as signed values and only ASCII capitals
// fold, so "abc" and "ABC" hash alike. The text must not be null.
constexpr uint32_t HashString(const char* text) {
    uint32_t h = 5381;
    for (; *text != 0; ++text) {
        int32_t c = static_cast<signed char>(*text);
        if (c >= 'A' && c <= 'Z') {
            c += 32;
        }
        h = h * 33 + static_cast<uint32_t>(c);
    }
    return h;
}

// The ELF (PJW) hash, not used for ids: it turns seed texts into numbers.
constexpr uint32_t HashStringELF(const char* text) {
    uint32_t h = 0;
    for (; *text != 0; ++text) {
        const int32_t c = static_cast<signed char>(*text);
        h = (h << 4) + static_cast<uint32_t>(c);
        const uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
        }
        h &= ~g;
    }
    return h;
}

// A name as a 32-bit id: (position in its bucket's chain << 10) XOR bucket,
// where the bucket is the low 10 bits of the text's hash. Ids compare as
// signed integers, which is the order maps keyed by names use.
//
// The none id is the id of "NULL". The table enters "NULL" before any other
// text, so the none id is a constant and no start-up order can bite.
class ZHashedString {
public:
    static constexpr uint32_t kBucketBits = 10;
    static constexpr uint32_t kBucketMask = 0x3FF;
    static constexpr uint32_t kMaxTextLength = 255;  // longer texts are cut

    static constexpr uint32_t NoneId() { return HashString("NULL") & kBucketMask; }
    static constexpr ZHashedString None() { return ZHashedString(); }
    static constexpr ZHashedString FromId(uint32_t id) {
        ZHashedString name;
        name.id = id;
        return name;
    }

    constexpr ZHashedString() = default;
    // Interns the text (any thread may); a null text gives the none id. Names of
    // the engine and game are interned without case sensitivity: the first
    // spelling interned is the one read back.
    explicit ZHashedString(const char* text, bool caseSensitive = false);

    constexpr uint32_t GetId() const { return id; }
    constexpr bool IsNone() const { return id == NoneId(); }

    // The table's own copy of the text, or null when the id names no entry.
    const char* GetText() const;
    // GetText, or the empty text when the id has none (for messages and files).
    const char* GetTextOrEmpty() const;
    // The id under which the text is found ignoring case (the first entry of the
    // bucket that matches); the none id when this id has no text.
    ZHashedString MakeCaseInsensitive() const;

    constexpr bool operator==(const ZHashedString& other) const = default;
    constexpr std::strong_ordering operator<=>(const ZHashedString& other) const {
        return static_cast<int32_t>(id) <=> static_cast<int32_t>(other.id);
    }

private:
    uint32_t id = NoneId();
};

template <>
struct std::hash<ZHashedString> {
    size_t operator()(const ZHashedString& name) const noexcept { return name.GetId(); }
};
