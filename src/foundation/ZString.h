#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/ZArray.h"

class ZHashedString;

// The engine's owned byte string. Text is UTF-8 plus one engine escape for
// inline images: the byte 0x7F followed by two little-endian 32-bit hashed ids
// (glyph set, glyph), 9 bytes that count as one character and may hold zero
// bytes. The length covers every byte; the text is always followed by a zero.
//
// Every empty string points at one shared static empty text, so empty strings
// allocate nothing. Other strings own a heap buffer of length + 1 bytes; copies
// always allocate (no reference counting, no small-string buffer).
//
// Scanning never reads past the length, whatever the bytes: a truncated UTF-8
// sequence or escape at the end simply ends the text.
class ZString {
public:
    // Encoding flag values; only DetectEncoding sets the last two.
    enum Encoding : int32_t { kEncodingUnknown = 0, kEncodingAscii = 1, kEncodingMultiByte = 2 };

    ZString();
    // The first min(n, strlen(text)) bytes, or the whole text when n < 0.
    // A null text gives the empty string.
    ZString(const char* text, int32_t n = -1);
    ZString(const ZString& other);
    ZString(ZString&& other) noexcept;
    // The text of the name; an id without text gives the empty string.
    explicit ZString(const ZHashedString& name);
    virtual ~ZString();

    // Exactly n bytes, zero bytes included (for texts that hold escapes).
    static ZString FromBytes(const char* bytes, int32_t n);

    // Assignment copies the other's encoding flag; appending keeps this one's.
    ZString& operator=(const ZString& other);
    ZString& operator=(ZString&& other) noexcept;
    ZString& operator=(const char* text);
    ZString& operator+=(const ZString& other);
    ZString& operator+=(const char* text);  // a null text appends nothing
    ZString operator+(const ZString& other) const;
    ZString operator+(const char* text) const;

    // Byte-wise, case-sensitive. A null text equals only an empty string.
    bool operator==(const ZString& other) const;
    bool operator==(const char* text) const;
    // Equality ignoring ASCII case. A null text equals only an empty string.
    bool EqualsNoCase(const ZString& other) const;
    bool EqualsNoCase(const char* text) const;

    // Byte index of the first occurrence at or after start, or -1 (also for an
    // empty needle or a start at the end). No match starts inside an escape.
    int32_t Find(const char* needle, int32_t start = 0) const;
    int32_t Find(const ZString& needle, int32_t start = 0) const;

    // Substrings by byte position; their results are left uncounted (see
    // GetCharCount). A negative n in Left and Right counts back from the end.
    ZString Left(int32_t n) const;
    ZString Right(int32_t n) const;
    ZString Mid(int32_t start, int32_t n) const;
    // Without leading and trailing space, TAB, LF, VT, FF and CR.
    ZString Trim() const;

    // Clears out and appends the pieces between non-overlapping occurrences of
    // separator, empty pieces included; returns the number of pieces. An empty
    // separator gives none. Escapes are never cut.
    int32_t Split(const char* separator, ZArray<ZString>& out) const;
    int32_t Split(const ZString& separator, ZArray<ZString>& out) const;
    // Every occurrence of from, left to right, without rescanning what was
    // inserted. An empty from leaves the text as it is.
    ZString Replace(const char* from, const char* to) const;
    ZString Replace(const ZString& from, const ZString& to) const;

    // Bytes outside the named ranges pass unchanged; escapes are kept whole
    // by the case conversions and dropped whole by KeepIdentifierChars.
    ZString ToUpper() const;
    ZString ToLower() const;
    ZString KeepIdentifierChars() const;  // only A-Z, a-z, 0-9 and '_'
    ZString ExpandNewlines() const;       // backslash + 'n' becomes a line feed

    // Trimmed, lower-cased, then read in the C locale. ToInt saturates at the
    // 32-bit limits; text that is not a number gives 0.
    int32_t ToInt() const;
    float ToFloat() const;
    bool ToBool() const;  // ParseBool of the trimmed, lower-cased text

    // Characters in the first min(n, length) bytes (all when n < 0): a byte
    // from 0x80 up together with the continuation bytes after it, an escape,
    // or one plain byte.
    int32_t CountChars(int32_t n = -1) const;
    // Byte offset where character n starts; n < 0 or past the end means the
    // end of the text.
    int32_t CharToByteOffset(int32_t n) const;
    // Sets the encoding flag: ASCII when every byte is below 0x80.
    void DetectEncoding();
    // "<img>set:glyph<img>" markup turned into inline-image escapes.
    ZString EncodeImageTags() const;

    const char* GetText() const { return m_text; }
    int32_t GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    // The character count, counted now when the string was left uncounted.
    int32_t GetCharCount() const;
    // The stored count: -1 after Left, Right, Mid and Trim.
    int32_t GetStoredCharCount() const { return m_charCount; }
    int32_t GetEncoding() const { return m_encoding; }
    bool UsesSharedEmptyText() const;

    // Exchanges the texts without copying them (used by sorting).
    friend void swap(ZString& a, ZString& b) noexcept;

private:
    struct Uncounted {};
    // Takes n bytes (zero bytes included) into a new buffer.
    ZString(const char* bytes, int32_t n, Uncounted);

    void Release();
    void SetBytes(const char* bytes, int32_t n);  // replaces the text, flag kept
    void AppendBytes(const char* bytes, int32_t n);
    void Recount() { m_charCount = CountChars(-1); }
    int32_t FindBytes(const char* needle, int32_t needleLength, int32_t start) const;
    int32_t SplitBytes(const char* separator, int32_t separatorLength, ZArray<ZString>& out) const;
    ZString ReplaceBytes(const char* from, int32_t fromLength, const char* to, int32_t toLength) const;

    char* m_text;
    int32_t m_length;
    int32_t m_charCount;  // -1 when not counted
    int32_t m_encoding;   // Encoding
};

// White space as the C locale has it: blank, tab, line feed, carriage
// return, vertical tab and form feed. Every text reader of the engine uses it.
constexpr bool IsSpaceChar(const char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The text, or the empty text for null (for messages and files).
constexpr const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

// ASCII capitals to small letters; every other byte stays (names, paths and
// commands compare this way, whatever the locale).
constexpr char ToLowerASCII(const char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// "true", "t", "yes", "y", "on" are true and "false", "f", "no", "n", "off"
// false, ignoring ASCII case; any other text is true when it reads as a
// non-zero decimal integer. A null text is false.
bool ParseBool(const char* text);

// Each byte shifts the value four bits left; hexadecimal digits of either case
// then add their value, so any other byte counts as a 0 digit. Null gives 0.
uint32_t HexToInt(const char* text);

// The Roman numeral of 1 to 3999; the empty string for any other number.
ZString ToRomanNumerals(int32_t n);

// Reads an open file from its start into a new buffer ended by a zero byte,
// which the caller frees with delete[]. Returns the number of bytes read (less
// than the size when the file shrank meanwhile), or -1 with a null buffer when
// the size cannot be learnt, exceeds what a string holds, or nothing can be read.
int32_t ReadWholeFile(std::FILE* file, char** outBuffer);

// The character that starts at text, as a 16-bit value, and its length in
// bytes. When the application description says texts are not UTF-8 every byte
// is one character. In UTF-8 a four-byte sequence gives the low 16 bits of its
// code point. Length 0 (character 0) means no character starts here: a null
// pointer, a byte that starts no sequence, or a sequence cut short by the
// terminator or by a byte that does not continue it. The caller then steps
// over one byte. Never reads past the terminator.
uint16_t DecodeChar(const char* text, int32_t* outLength);
// The same for bytes that need not end in a zero: nothing at or beyond end is
// read (end == text reads nothing and gives length 0).
uint16_t DecodeChar(const char* text, const char* end, int32_t* outLength);
