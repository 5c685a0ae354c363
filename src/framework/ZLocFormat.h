#pragma once

#include <cstdint>
#include <type_traits>

#include "foundation/ZString.h"

// Printf-style formatting of texts that come from string files. Those texts
// are written by translators and modders, so a pattern is never handed to
// printf as it stands: its conversions are checked against the arguments
// first, and a pattern that does not fit them is refused.
//
// Accepted conversions: "%%", and % [n$] [flags -+ #0] [width] [.precision]
// followed by d i u o x X c (an integer argument), f F e E g G a A (a number)
// or s (a text). Width and precision are at most kMaxWidth. Either every
// conversion names its argument ("%2$s %1$d", so a translation may reorder
// them) or none does; then the conversions take the arguments in order.
// Every argument must be used. Length modifiers, '*', %n, %p and anything
// else are refused.
class ZLocFormat {
public:
    static constexpr int32_t kMaxWidth = 64;

    enum class Kind : uint8_t { kInteger, kNumber, kText };

    // One argument; a text argument points into the caller's storage.
    struct Arg {
        Kind kind = Kind::kInteger;
        long long integer = 0;
        double number = 0.0;
        const char* text = "";
        int32_t textLength = 0;  // bytes of text (a ZString may hold zero bytes)
    };

    template <typename T>
    static Arg MakeArg(const T& value);

    // True when the pattern's conversions take exactly these arguments.
    static bool Check(const char* pattern, int32_t length, const Arg* args, uint32_t count);
    static bool Check(const ZString& pattern, const Arg* args, uint32_t count) {
        return Check(pattern.GetText(), pattern.GetLength(), args, count);
    }

    // Formats the pattern into out when Check passes; otherwise answers false
    // and leaves out as it was. With pseudo set, the pattern's own bytes are
    // pseudo-localised (PseudoLocalizedByte) but the arguments are not, so a
    // masked text still shows its numbers and names.
    static bool Format(const ZString& pattern, const Arg* args, uint32_t count, bool pseudo, ZString& out);

    // Typed convenience: Format with arguments built by MakeArg.
    template <typename... T>
    static bool FormatWith(const ZString& pattern, ZString& out, const T&... values) {
        const Arg list[] = {MakeArg(values)..., Arg{}};
        return Format(pattern, list, sizeof...(T), false, out);
    }
};

// Pseudo-localisation of one byte: control bytes, the space, 0x7F, 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D stay; every other byte becomes 'X'.
char PseudoLocalizedByte(char c);

template <typename T>
ZLocFormat::Arg ZLocFormat::MakeArg(const T& value) {
    Arg arg;
    if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        arg.kind = Kind::kInteger;
        arg.integer = static_cast<long long>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        arg.kind = Kind::kNumber;
        arg.number = static_cast<double>(value);
    } else if constexpr (std::is_base_of_v<ZString, T>) {
        arg.kind = Kind::kText;
        arg.text = value.GetText();
        arg.textLength = value.GetLength();
    } else {
        static_assert(std::is_convertible_v<T, const char*>, "unsupported argument type for a localised format");
        arg.kind = Kind::kText;
        const char* text = value;
        arg.text = text != nullptr ? text : "";
        int32_t n = 0;
        while (arg.text[n] != 0) {
            ++n;
        }
        arg.textLength = n;
    }
    return arg;
}
