#include "foundation/ZString.h"

#include <charconv>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

#include "foundation/ZAppInfo.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZLittleEndian.h"

namespace {

// Never written: every empty string points here.
char s_emptyText[1] = {0};

constexpr unsigned char kEscapeByte = 0x7F;
constexpr int32_t kEscapeLength = 9;  // 0x7F and two 32-bit ids

bool IsIdentifierChar(const char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char FoldToUpper(const char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

// Bytes taken by the unit starting at i: a whole escape (cut at the end of the
// text) or one byte. Searches step by it so that no match starts in an escape.
int32_t UnitLength(const char* text, const int32_t i, const int32_t length) {
    if (static_cast<unsigned char>(text[i]) != kEscapeByte) {
        return 1;
    }
    return (length - i < kEscapeLength) ? length - i : kEscapeLength;
}

// Length of a character starting at i, by the counting rule, never past limit.
int32_t CharLength(const char* text, const int32_t i, const int32_t limit) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 0x80) {
        int32_t j = i + 1;
        while (j < limit && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80) {
            ++j;
        }
        return j - i;
    }
    if (b == kEscapeByte) {
        return (limit - i < kEscapeLength) ? limit - i : kEscapeLength;
    }
    return 1;
}

int32_t CheckedSum(const int64_t a, const int64_t b) {
    // A string's length must fit its signed 32-bit field with room for the zero.
    if (a + b >= INT32_MAX) {
        std::abort();
    }
    return static_cast<int32_t>(a + b);
}

// The C runtime's decimal integer reading (leading whitespace, a sign, digits
// up to the first other byte), saturating instead of overflowing.
int32_t ParseDecimalInt(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    while (IsSpaceChar(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t(INT32_MIN) : int64_t(INT32_MAX);
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The longest leading part that reads as a decimal number, in the C locale.
float ParseDecimalFloat(const char* text, const int32_t length) {
    const char* begin = text;
    const char* end = text + length;
    while (begin < end && IsSpaceChar(*begin)) {
        ++begin;
    }
    // The runtime's conversion allows a plus sign; from_chars does not.
    if (begin < end && *begin == '+' && begin + 1 < end && begin[1] != '-' && begin[1] != '+') {
        ++begin;
    }
    float value = 0.0f;
    const std::from_chars_result r = std::from_chars(begin, end, value);
    if (r.ec == std::errc()) {
        return value;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small zero, as the runtime's does.
        double wide = 0.0;
        const std::from_chars_result w = std::from_chars(begin, end, wide);
        const bool negative = *begin == '-';
        if (w.ec == std::errc()) {
            if (std::fabs(wide) > double(FLT_MAX)) {
                return negative ? -HUGE_VALF : HUGE_VALF;
            }
            return negative ? -0.0f : 0.0f;
        }
        const char* e = static_cast<const char*>(std::memchr(begin, 'e', size_t(r.ptr - begin)));
        const bool tiny = e != nullptr && e + 1 < r.ptr && e[1] == '-';
        if (tiny) {
            return negative ? -0.0f : 0.0f;
        }
        return negative ? -HUGE_VALF : HUGE_VALF;
    }
    return 0.0f;
}

bool EqualBytesNoCase(const char* a, const char* b, const int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        if (ToLowerASCII(a[i]) != ToLowerASCII(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

ZString::ZString() : m_text(s_emptyText), m_length(0), m_charCount(0), m_encoding(kEncodingUnknown) {}

ZString::ZString(const char* text, const int32_t n) : ZString() {
    if (text == nullptr) {
        return;
    }
    // strnlen bounds the scan so a short buffer with a count is never overread.
    const size_t available = n < 0 ? std::strlen(text) : strnlen(text, size_t(n));
    if (available >= size_t(INT32_MAX)) {
        std::abort();
    }
    SetBytes(text, static_cast<int32_t>(available));
    Recount();
}

ZString::ZString(const ZString& other) : ZString() {
    if (other.m_text != nullptr) {
        SetBytes(other.m_text, other.m_length);
        Recount();
        m_encoding = other.m_encoding;
    }
}

ZString::ZString(ZString&& other) noexcept
    : m_text(other.m_text), m_length(other.m_length), m_charCount(other.m_charCount),
      m_encoding(other.m_encoding) {
    other.m_text = s_emptyText;
    other.m_length = 0;
    other.m_charCount = 0;
    other.m_encoding = kEncodingUnknown;
}

ZString::ZString(const ZHashedString& name) : ZString(name.GetText()) {}

ZString::ZString(const char* bytes, const int32_t n, Uncounted) : ZString() {
    SetBytes(bytes, n);
    m_charCount = -1;
}

ZString::~ZString() { Release(); }

ZString ZString::FromBytes(const char* bytes, const int32_t n) {
    ZString s;
    if (bytes != nullptr && n > 0) {
        s.SetBytes(bytes, n);
        s.Recount();
    }
    return s;
}

void ZString::Release() {
    if (m_text != s_emptyText) {
        delete[] m_text;
    }
    m_text = s_emptyText;
    m_length = 0;
    m_charCount = 0;
}

void ZString::SetBytes(const char* bytes, const int32_t n) {
    if (n <= 0) {
        Release();
        return;
    }
    char* fresh = new char[size_t(n) + 1];
    std::memcpy(fresh, bytes, size_t(n));
    fresh[n] = 0;
    Release();
    m_text = fresh;
    m_length = n;
}

void ZString::AppendBytes(const char* bytes, const int32_t n) {
    if (n <= 0) {
        return;
    }
    const int32_t total = CheckedSum(m_length, n);
    char* fresh = new char[size_t(total) + 1];
    std::memcpy(fresh, m_text, size_t(m_length));
    std::memcpy(fresh + m_length, bytes, size_t(n));
    fresh[total] = 0;
    const int32_t encoding = m_encoding;
    Release();
    m_text = fresh;
    m_length = total;
    m_encoding = encoding;
}

ZString& ZString::operator=(const ZString& other) {
    if (this != &other) {
        SetBytes(other.m_text, other.m_length);
        m_encoding = other.m_encoding;
        Recount();
    }
    return *this;
}

ZString& ZString::operator=(ZString&& other) noexcept {
    if (this != &other) {
        swap(*this, other);
        other.Release();
        other.m_encoding = kEncodingUnknown;
    }
    return *this;
}

ZString& ZString::operator=(const char* text) {
    // SetBytes copies before it frees, so text may point into this string.
    SetBytes(text, text == nullptr ? 0 : CheckedSum(std::strlen(text), 0));
    m_encoding = kEncodingUnknown;
    Recount();
    return *this;
}

ZString& ZString::operator+=(const ZString& other) {
    AppendBytes(other.m_text, other.m_length);
    Recount();
    return *this;
}

ZString& ZString::operator+=(const char* text) {
    if (text != nullptr) {
        AppendBytes(text, CheckedSum(std::strlen(text), 0));
        Recount();
    }
    return *this;
}

ZString ZString::operator+(const ZString& other) const {
    ZString result(m_text, m_length, Uncounted{});
    result.AppendBytes(other.m_text, other.m_length);
    result.Recount();
    return result;
}

ZString ZString::operator+(const char* text) const {
    ZString result(m_text, m_length, Uncounted{});
    if (text != nullptr) {
        result.AppendBytes(text, CheckedSum(std::strlen(text), 0));
    }
    result.Recount();
    return result;
}

bool ZString::operator==(const ZString& other) const {
    return m_length == other.m_length && std::memcmp(m_text, other.m_text, size_t(m_length)) == 0;
}

bool ZString::operator==(const char* text) const {
    if (text == nullptr) {
        return m_length == 0;
    }
    // A zero-terminated text never equals a string holding a zero byte.
    const size_t n = strnlen(text, size_t(m_length) + 1);
    return n == size_t(m_length) && std::memcmp(m_text, text, n) == 0;
}

bool ZString::EqualsNoCase(const ZString& other) const {
    return m_length == other.m_length && EqualBytesNoCase(m_text, other.m_text, m_length);
}

bool ZString::EqualsNoCase(const char* text) const {
    if (text == nullptr) {
        return m_length == 0;
    }
    const size_t n = strnlen(text, size_t(m_length) + 1);
    return n == size_t(m_length) && EqualBytesNoCase(m_text, text, m_length);
}

int32_t ZString::FindBytes(const char* needle, const int32_t needleLength, int32_t start) const {
    if (needleLength <= 0) {
        return -1;
    }
    if (start < 0) {
        start = 0;
    }
    for (int32_t i = start; i < m_length && needleLength <= m_length - i;
         i += UnitLength(m_text, i, m_length)) {
        if (std::memcmp(m_text + i, needle, size_t(needleLength)) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t ZString::Find(const char* needle, const int32_t start) const {
    if (needle == nullptr) {
        return -1;
    }
    return FindBytes(needle, CheckedSum(std::strlen(needle), 0), start);
}

int32_t ZString::Find(const ZString& needle, const int32_t start) const {
    return FindBytes(needle.m_text, needle.m_length, start);
}

ZString ZString::Left(int32_t n) const {
    if (n < 0) {
        n += m_length;
    }
    n = n < 0 ? 0 : (n > m_length ? m_length : n);
    return ZString(m_text, n, Uncounted{});
}

ZString ZString::Right(int32_t n) const {
    if (n < 0) {
        n += m_length;
    }
    n = n < 0 ? 0 : (n > m_length ? m_length : n);
    return ZString(m_text + (m_length - n), n, Uncounted{});
}

ZString ZString::Mid(int32_t start, int32_t n) const {
    start = start < 0 ? 0 : (start > m_length ? m_length : start);
    const int32_t left = m_length - start;
    n = n < 0 ? 0 : (n > left ? left : n);
    return ZString(m_text + start, n, Uncounted{});
}

ZString ZString::Trim() const {
    int32_t begin = 0;
    while (begin < m_length && IsSpaceChar(m_text[begin])) {
        ++begin;
    }
    int32_t end = m_length;
    while (end > begin && IsSpaceChar(m_text[end - 1])) {
        --end;
    }
    return ZString(m_text + begin, end - begin, Uncounted{});
}

int32_t ZString::SplitBytes(const char* separator, const int32_t separatorLength,
                            ZArray<ZString>& out) const {
    // Filled aside and moved in at the end: this string or the separator may
    // be an element of out.
    ZArray<ZString> pieces;
    if (separatorLength > 0) {
        int32_t pieceStart = 0;
        int32_t i = 0;
        while (i < m_length) {
            if (separatorLength <= m_length - i &&
                std::memcmp(m_text + i, separator, size_t(separatorLength)) == 0) {
                pieces.PushBack(FromBytes(m_text + pieceStart, i - pieceStart));
                i += separatorLength;
                pieceStart = i;
            } else {
                i += UnitLength(m_text, i, m_length);
            }
        }
        pieces.PushBack(FromBytes(m_text + pieceStart, m_length - pieceStart));
    }
    out = std::move(pieces);
    return static_cast<int32_t>(out.Count());
}

int32_t ZString::Split(const char* separator, ZArray<ZString>& out) const {
    const int32_t n = separator == nullptr ? 0 : CheckedSum(std::strlen(separator), 0);
    return SplitBytes(separator, n, out);
}

int32_t ZString::Split(const ZString& separator, ZArray<ZString>& out) const {
    return SplitBytes(separator.m_text, separator.m_length, out);
}

ZString ZString::ReplaceBytes(const char* from, const int32_t fromLength, const char* to,
                              const int32_t toLength) const {
    if (fromLength <= 0) {
        return *this;
    }
    ZArray<ZString> pieces;
    const int32_t n = SplitBytes(from, fromLength, pieces);
    // Size the result once instead of appending piece by piece.
    int64_t total = int64_t(toLength) * (n - 1);
    for (int32_t i = 0; i < n; ++i) {
        total += pieces[uint32_t(i)].m_length;
    }
    const int32_t length = CheckedSum(total, 0);
    ZString result;
    if (length > 0) {
        char* buffer = new char[size_t(length) + 1];
        char* w = buffer;
        for (int32_t i = 0; i < n; ++i) {
            if (i > 0 && toLength > 0) {
                std::memcpy(w, to, size_t(toLength));
                w += toLength;
            }
            const ZString& piece = pieces[uint32_t(i)];
            std::memcpy(w, piece.m_text, size_t(piece.m_length));
            w += piece.m_length;
        }
        *w = 0;
        result.m_text = buffer;
        result.m_length = length;
    }
    result.Recount();
    return result;
}

ZString ZString::Replace(const char* from, const char* to) const {
    if (from == nullptr) {
        return *this;
    }
    const int32_t toLength = to == nullptr ? 0 : CheckedSum(std::strlen(to), 0);
    return ReplaceBytes(from, CheckedSum(std::strlen(from), 0), to, toLength);
}

ZString ZString::Replace(const ZString& from, const ZString& to) const {
    return ReplaceBytes(from.m_text, from.m_length, to.m_text, to.m_length);
}

ZString ZString::ToUpper() const {
    ZString result(m_text, m_length, Uncounted{});
    for (int32_t i = 0; i < result.m_length; i += UnitLength(result.m_text, i, result.m_length)) {
        result.m_text[i] = FoldToUpper(result.m_text[i]);
    }
    result.Recount();
    return result;
}

ZString ZString::ToLower() const {
    ZString result(m_text, m_length, Uncounted{});
    for (int32_t i = 0; i < result.m_length; i += UnitLength(result.m_text, i, result.m_length)) {
        result.m_text[i] = ToLowerASCII(result.m_text[i]);
    }
    result.Recount();
    return result;
}

ZString ZString::KeepIdentifierChars() const {
    ZString result(m_text, m_length, Uncounted{});
    int32_t kept = 0;
    for (int32_t i = 0; i < m_length; i += UnitLength(m_text, i, m_length)) {
        if (IsIdentifierChar(m_text[i])) {
            result.m_text[kept++] = m_text[i];
        }
    }
    if (kept == 0) {
        result.Release();
    } else {
        result.m_text[kept] = 0;
        result.m_length = kept;
    }
    result.Recount();
    return result;
}

ZString ZString::ExpandNewlines() const { return ReplaceBytes("\\n", 2, "\n", 1); }

int32_t ZString::ToInt() const { return ParseDecimalInt(Trim().ToLower().m_text); }

float ZString::ToFloat() const {
    const ZString text = Trim().ToLower();
    return ParseDecimalFloat(text.m_text, text.m_length);
}

bool ZString::ToBool() const { return ParseBool(Trim().ToLower().m_text); }

int32_t ZString::CountChars(const int32_t n) const {
    const int32_t limit = (n < 0 || n > m_length) ? m_length : n;
    int32_t count = 0;
    for (int32_t i = 0; i < limit; i += CharLength(m_text, i, limit)) {
        ++count;
    }
    return count;
}

int32_t ZString::GetCharCount() const { return m_charCount >= 0 ? m_charCount : CountChars(-1); }

int32_t ZString::CharToByteOffset(int32_t n) const {
    const int32_t count = GetCharCount();
    if (n < 0 || n > count) {
        n = count;
    }
    int32_t offset = 0;
    for (int32_t c = 0; c < n && offset < m_length; ++c) {
        offset += CharLength(m_text, offset, m_length);
    }
    return offset;
}

void ZString::DetectEncoding() {
    m_encoding = kEncodingAscii;
    for (int32_t i = 0; i < m_length; ++i) {
        if (static_cast<unsigned char>(m_text[i]) >= 0x80) {
            m_encoding = kEncodingMultiByte;
            return;
        }
    }
}

ZString ZString::EncodeImageTags() const {
    ZArray<ZString> pieces;
    const int32_t n = SplitBytes("<img>", 5, pieces);
    ZString result;
    ZArray<ZString> names;
    for (int32_t i = 0; i < n; ++i) {
        const ZString& piece = pieces[uint32_t(i)];
        if (i % 2 == 0) {
            result.AppendBytes(piece.m_text, piece.m_length);
            continue;
        }
        // A missing part names nothing (the none id); an empty one is the empty name.
        const int32_t parts = piece.Split(":", names);
        const ZHashedString set = parts > 0 ? ZHashedString(names[0].m_text, false) : ZHashedString();
        const ZHashedString glyph = parts > 1 ? ZHashedString(names[1].m_text, false) : ZHashedString();
        char escape[kEscapeLength];
        escape[0] = char(kEscapeByte);
        StoreLE32(escape + 1, set.GetId());
        StoreLE32(escape + 5, glyph.GetId());
        result.AppendBytes(escape, kEscapeLength);
    }
    result.m_encoding = kEncodingUnknown;
    result.Recount();
    return result;
}

bool ZString::UsesSharedEmptyText() const { return m_text == s_emptyText; }

void swap(ZString& a, ZString& b) noexcept {
    char* const text = a.m_text;
    a.m_text = b.m_text;
    b.m_text = text;
    const int32_t length = a.m_length;
    a.m_length = b.m_length;
    b.m_length = length;
    const int32_t count = a.m_charCount;
    a.m_charCount = b.m_charCount;
    b.m_charCount = count;
    const int32_t encoding = a.m_encoding;
    a.m_encoding = b.m_encoding;
    b.m_encoding = encoding;
}

bool ParseBool(const char* text) {
    if (text == nullptr) {
        return false;
    }
    static const char* const kTrue[] = {"true", "t", "yes", "y", "on"};
    static const char* const kFalse[] = {"false", "f", "no", "n", "off"};
    const ZString s(text);
    for (const char* word : kTrue) {
        if (s.EqualsNoCase(word)) {
            return true;
        }
    }
    for (const char* word : kFalse) {
        if (s.EqualsNoCase(word)) {
            return false;
        }
    }
    return ParseDecimalInt(text) != 0;
}

uint32_t HexToInt(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    uint32_t value = 0;
    for (; *text != 0; ++text) {
        value <<= 4;
        const char c = *text;
        if (c >= '0' && c <= '9') {
            value += uint32_t(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            value += uint32_t(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            value += uint32_t(c - 'a' + 10);
        }
    }
    return value;
}

ZString ToRomanNumerals(const int32_t n) {
    if (n < 1 || n > 3999) {
        return ZString();
    }
    static const char* const kDigits[4][10] = {
        {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"},
        {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"},
        {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"},
        {"", "M", "MM", "MMM", "", "", "", "", "", ""},
    };
    // Longest is 3888, MMMDCCCLXXXVIII: 15 bytes.
    char buffer[16];
    int32_t length = 0;
    for (int32_t place = 3, divisor = 1000; place >= 0; --place, divisor /= 10) {
        const char* digit = kDigits[place][(n / divisor) % 10];
        while (*digit != 0) {
            buffer[length++] = *digit++;
        }
    }
    return ZString(buffer, length);
}

int32_t ReadWholeFile(std::FILE* file, char** outBuffer) {
    if (outBuffer == nullptr) {
        return -1;
    }
    *outBuffer = nullptr;
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = std::ftell(file);
    if (size < 0 || size >= long(INT32_MAX) || std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    char* buffer = new char[size_t(size) + 1];
    const size_t got = std::fread(buffer, 1, size_t(size), file);
    if (got < size_t(size) && std::ferror(file)) {
        delete[] buffer;
        return -1;
    }
    buffer[got] = 0;
    *outBuffer = buffer;
    return static_cast<int32_t>(got);
}

namespace {

// Continuation byte i of the sequence at text, or -1 when it is missing (the
// end, the terminator) or is no continuation byte.
int32_t Continuation(const char* text, const char* end, int32_t i) {
    if (end != nullptr && end - text <= i) {
        return -1;
    }
    const uint8_t b = static_cast<uint8_t>(text[i]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
}

uint16_t Decode(const char* text, const char* end, int32_t* outLength) {
    int32_t length = 0;
    uint16_t character = 0;
    if (text != nullptr && (end == nullptr || end > text)) {
        const uint8_t b = static_cast<uint8_t>(text[0]);
        const ZAppInfo* info = ZAppInfo::GetInstance();
        if (info != nullptr && !info->UsesUTF8()) {
            length = 1;
            character = b;
        } else if (b < 0x80) {
            length = 1;
            character = b;
        } else {
            int32_t need = 0;
            uint32_t value = 0;
            if ((b & 0xE0) == 0xC0) {
                need = 2;
                value = b & 0x1F;
            } else if ((b & 0xF0) == 0xE0) {
                need = 3;
                value = b & 0x0F;
            } else if ((b & 0xF8) == 0xF0) {
                need = 4;
                value = b & 0x07;
            }
            // Each continuation byte is looked at only once the one before it
            // was a continuation byte, so a terminator stops the read.
            for (int32_t i = 1; i < need; ++i) {
                const int32_t bits = Continuation(text, end, i);
                if (bits < 0) {
                    need = 0;
                    break;
                }
                value = (value << 6) | static_cast<uint32_t>(bits);
            }
            if (need > 0) {
                length = need;
                character = static_cast<uint16_t>(value & 0xFFFF);
            }
        }
    }
    if (outLength != nullptr) {
        *outLength = length;
    }
    return character;
}

}  // namespace

uint16_t DecodeChar(const char* text, int32_t* outLength) {
    return Decode(text, nullptr, outLength);
}

uint16_t DecodeChar(const char* text, const char* end, int32_t* outLength) {
    return Decode(text, end, outLength);
}
