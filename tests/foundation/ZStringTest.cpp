#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "support/TempDir.h"

namespace {

std::string Bytes(const ZString& s) { return std::string(s.GetText(), size_t(s.GetLength())); }

ZString Raw(const std::string& bytes) { return ZString::FromBytes(bytes.data(), int32_t(bytes.size())); }

std::vector<std::string> Pieces(const ZArray<ZString>& a) {
    std::vector<std::string> out;
    for (const ZString& s : a) {
        out.push_back(Bytes(s));
    }
    return out;
}

std::string LittleEndian(const uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

std::string Escape(const char* set, const char* glyph) {
    const uint32_t s = set ? ZHashedString(set).GetId() : ZHashedString().GetId();
    const uint32_t g = glyph ? ZHashedString(glyph).GetId() : ZHashedString().GetId();
    return "\x7F" + LittleEndian(s) + LittleEndian(g);
}

// An escape whose id bytes hold ':' and zero bytes, as real ids may.
const std::string kColonEscape = std::string("\x7F" "a:b", 4) + std::string("\0\0:\0\0", 5);

}  // namespace

TEST(ZString, EmptyStringsShareOneTextAndAllocateNothing) {
    const ZString byDefault;
    const ZString fromNull(nullptr);
    const ZString fromEmpty("");
    const ZString copyOfEmpty(byDefault);
    for (const ZString* s : {&byDefault, &fromNull, &fromEmpty, &copyOfEmpty}) {
        EXPECT_TRUE(s->UsesSharedEmptyText());
        EXPECT_EQ(s->GetLength(), 0);
        EXPECT_EQ(s->GetCharCount(), 0);
        EXPECT_STREQ(s->GetText(), "");
    }
    EXPECT_EQ(byDefault.GetText(), fromNull.GetText());
    EXPECT_TRUE(ZString("abc").ToUpper().Left(0).UsesSharedEmptyText());
    EXPECT_TRUE(ZString("-+!").KeepIdentifierChars().UsesSharedEmptyText());
}

TEST(ZString, ConstructionTakesAtMostTheGivenBytes) {
    struct Case {
        const char* text;
        int32_t n;
        const char* expected;
    };
    const Case cases[] = {
        {"hello", -1, "hello"}, {"hello", 2, "he"}, {"hello", 0, ""}, {"hi", 50, "hi"}, {nullptr, 3, ""},
    };
    for (const Case& c : cases) {
        const ZString s(c.text, c.n);
        EXPECT_EQ(Bytes(s), c.expected) << (c.text ? c.text : "(null)") << " n=" << c.n;
    }
    // A count larger than the buffer stops at the buffer's zero, never past it.
    const char shortText[3] = {'a', 'b', 0};
    EXPECT_EQ(Bytes(ZString(shortText, 1000)), "ab");
}

TEST(ZString, CopiesAreDeepAndCarryTheEncodingFlag) {
    ZString a("h\xC3\xA9llo");
    a.DetectEncoding();
    ZString b(a);
    EXPECT_NE(a.GetText(), b.GetText());
    EXPECT_EQ(b, a);
    EXPECT_EQ(b.GetEncoding(), ZString::kEncodingMultiByte);
    EXPECT_EQ(b.GetCharCount(), 5);

    ZString c;
    c = a;
    EXPECT_EQ(c.GetEncoding(), ZString::kEncodingMultiByte);
    c = "plain";  // a character text resets the flag
    EXPECT_EQ(c.GetEncoding(), ZString::kEncodingUnknown);
    EXPECT_EQ(c.GetCharCount(), 5);

    ZString& same = c;
    c = same;  // self-assignment keeps the text
    EXPECT_EQ(Bytes(c), "plain");
    c = c.GetText() + 2;  // assigning a text that lives inside the string
    EXPECT_EQ(Bytes(c), "ain");

    ZString moved(std::move(b));
    EXPECT_EQ(Bytes(moved), "h\xC3\xA9llo");
    EXPECT_TRUE(b.UsesSharedEmptyText());  // NOLINT: a moved-from string is empty

    // Escapes hold zero bytes; copies keep every byte.
    const ZString escaped = Raw(kColonEscape + "x");
    EXPECT_EQ(Bytes(ZString(escaped)), kColonEscape + "x");
}

TEST(ZString, FromHashedName) {
    EXPECT_EQ(Bytes(ZString(ZHashedString("Widget"))), "Widget");
    EXPECT_EQ(Bytes(ZString(ZHashedString())), "NULL");
    // An id that names no entry of the table reads as the empty string.
    EXPECT_TRUE(ZString(ZHashedString::FromId(0x7FFFFC00u | 5u)).UsesSharedEmptyText());
}

TEST(ZString, Concatenation) {
    ZString s("ab");
    s.DetectEncoding();
    s += "c\xC3\xA9";
    EXPECT_EQ(Bytes(s), "abc\xC3\xA9");
    EXPECT_EQ(s.GetCharCount(), 4);
    EXPECT_EQ(s.GetEncoding(), ZString::kEncodingAscii);  // appending keeps the flag
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(Bytes(s), "abc\xC3\xA9");

    ZString twice("xy");
    twice += twice;
    EXPECT_EQ(Bytes(twice), "xyxy");
    twice += twice.GetText() + 3;
    EXPECT_EQ(Bytes(twice), "xyxyy");

    const ZString left("left");
    const ZString joined = left + ZString("+") + "right";
    EXPECT_EQ(Bytes(joined), "left+right");
    EXPECT_EQ(Bytes(left), "left");
    EXPECT_EQ(joined.GetEncoding(), ZString::kEncodingUnknown);
    EXPECT_EQ(Bytes(Raw(kColonEscape) + Raw(kColonEscape)), kColonEscape + kColonEscape);
}

TEST(ZString, Comparison) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
        bool equalNoCase;
    };
    const Case cases[] = {
        {"abc", "abc", true, true},   {"abc", "ABC", false, true}, {"abc", "abd", false, false},
        {"abc", "ab", false, false},  {"ab", "abc", false, false}, {"", "", true, true},
        {"", nullptr, true, true},    {"a", nullptr, false, false}, {"[x]", "[X]", false, true},
        {"\xC3\xA9", "\xC3\x89", false, false},  // only ASCII letters fold
    };
    for (const Case& c : cases) {
        const ZString a(c.a);
        EXPECT_EQ(a == c.b, c.equal) << c.a << " == " << (c.b ? c.b : "(null)");
        EXPECT_EQ(a.EqualsNoCase(c.b), c.equalNoCase) << c.a;
        if (c.b != nullptr) {
            EXPECT_EQ(a == ZString(c.b), c.equal) << c.a;
            EXPECT_EQ(a != ZString(c.b), !c.equal) << c.a;
            EXPECT_EQ(a.EqualsNoCase(ZString(c.b)), c.equalNoCase) << c.a;
        }
    }
    // A string holding a zero byte never equals a character text.
    EXPECT_FALSE(Raw(std::string("a\0b", 3)) == "a");
}

TEST(ZString, Find) {
    struct Case {
        const char* text;
        const char* needle;
        int32_t start;
        int32_t expected;
    };
    const Case cases[] = {
        {"hello", "l", 0, 2},      {"hello", "l", 3, 3},     {"hello", "lo", 4, -1},
        {"hello", "", 0, -1},      {"hello", "h", 5, -1},    {"hello", "x", 0, -1},
        {"hello", "h", -3, 0},     {"hello", "hello!", 0, -1}, {"abcabc", "abc", 1, 3},
        {"hello", "o", 99, -1},    {"hello", nullptr, 0, -1}, {"", "a", 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZString(c.text).Find(c.needle, c.start), c.expected)
            << c.text << " / " << (c.needle ? c.needle : "(null)") << " from " << c.start;
    }
    // A match never starts inside an escape's id bytes.
    EXPECT_EQ(Raw(kColonEscape + "a:b").Find(":"), 10);
}

TEST(ZString, Substrings) {
    enum Op { kLeft, kRight, kMid };
    struct Case {
        Op op;
        int32_t a;
        int32_t b;
        const char* expected;
    };
    const Case cases[] = {
        {kLeft, 2, 0, "he"},     {kLeft, -1, 0, "hell"},  {kLeft, 10, 0, "hello"}, {kLeft, -10, 0, ""},
        {kLeft, 0, 0, ""},       {kRight, 2, 0, "lo"},    {kRight, 10, 0, "hello"}, {kRight, -1, 0, "ello"},
        {kRight, -9, 0, ""},     {kMid, 1, 3, "ell"},     {kMid, 3, 10, "lo"},     {kMid, -2, 2, "he"},
        {kMid, 9, 2, ""},        {kMid, 1, -1, ""},       {kMid, 0, 5, "hello"},
    };
    const ZString hello("hello");
    for (const Case& c : cases) {
        const ZString r = c.op == kLeft ? hello.Left(c.a) : c.op == kRight ? hello.Right(c.a) : hello.Mid(c.a, c.b);
        EXPECT_EQ(Bytes(r), c.expected) << int(c.op) << " " << c.a << " " << c.b;
    }
}

// Substrings are left uncounted; their character positions must still be right.
TEST(ZString, UncountedSubstringsStillMapCharactersToBytes) {
    const ZString text("x\xC3\xA9y\xE6\x97\xA5z");
    const ZString tail = text.Mid(1, 100);
    EXPECT_EQ(tail.GetStoredCharCount(), -1);
    EXPECT_EQ(tail.GetCharCount(), 4);
    EXPECT_EQ(tail.CharToByteOffset(2), 3);
    EXPECT_EQ(tail.CharToByteOffset(-1), 7);
    EXPECT_EQ(text.Trim().CharToByteOffset(3), 4);
}

TEST(ZString, Trim) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"  \tvalue \r\n", "value"}, {"   ", ""},        {"", ""},          {"a b", "a b"},
        {"\v\fx\v\f", "x"},          {" x y ", "x y"},    {"\xA0x\xA0", "\xA0x\xA0"},  // no other byte is blank
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bytes(ZString(c.text).Trim()), c.expected) << '"' << c.text << '"';
    }
}

TEST(ZString, Split) {
    struct Case {
        const char* text;
        const char* separator;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"a,,b", ",", {"a", "", "b"}},
        {",a", ",", {"", "a"}},
        {"abc", ",", {"abc"}},
        {"a,", ",", {"a", ""}},
        {"", ",", {""}},
        {"a::b:c", "::", {"a", "b:c"}},
        {"aaa", "aa", {"", "a"}},  // occurrences do not overlap
        {"abc", "", {}},
        {"abc", nullptr, {}},
    };
    for (const Case& c : cases) {
        ZArray<ZString> out;
        out.PushBack(ZString("stale"));
        const int32_t n = ZString(c.text).Split(c.separator, out);
        EXPECT_EQ(n, int32_t(c.expected.size())) << c.text;
        EXPECT_EQ(Pieces(out), c.expected) << c.text << " on " << (c.separator ? c.separator : "(null)");
    }
}

TEST(ZString, SplitKeepsEscapesWholeAndAllowsAliasing) {
    ZArray<ZString> out;
    Raw("a:" + kColonEscape + ":b").Split(":", out);
    EXPECT_EQ(Pieces(out), (std::vector<std::string>{"a", kColonEscape, "b"}));

    // The string being split, or the separator, may be an element of out.
    ZArray<ZString> list;
    list.PushBack(ZString("x;y"));
    list.PushBack(ZString(";"));
    list[0].Split(list[1], list);
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"x", "y"}));
}

TEST(ZString, Replace) {
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        const char* expected;
    };
    const Case cases[] = {
        {"abab", "ab", "x", "xx"},   {"aa", "a", "aa", "aaaa"},  // no rescanning
        {"a.b.c", ".", "", "abc"},   {"none", "x", "y", "none"}, {"", "a", "b", ""},
        {"My Course", " ", "_", "My_Course"},
        {"keep", "", "x", "keep"},  // an empty search text changes nothing
        {"keep", nullptr, "x", "keep"}, {"a-b", "-", nullptr, "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bytes(ZString(c.text).Replace(c.from, c.to)), c.expected) << c.text;
    }
    EXPECT_EQ(Bytes(ZString("abab").Replace(ZString("b"), ZString("BB"))), "aBBaBB");
    EXPECT_EQ(Bytes(Raw("1:" + kColonEscape).Replace(":", "-")), "1-" + kColonEscape);
    EXPECT_EQ(ZString("a\xC3\xA9").Replace("a", "bb").GetCharCount(), 3);
}

TEST(ZString, ExpandNewlines) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"one\\ntwo", "one\ntwo"}, {"\\n\\n", "\n\n"}, {"\\\\n", "\\\n"}, {"no break", "no break"}, {"\\", "\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bytes(ZString(c.text).ExpandNewlines()), c.expected) << c.text;
    }
}

TEST(ZString, CaseAndIdentifierFilters) {
    struct Case {
        std::string text;
        std::string upper;
        std::string lower;
        std::string identifier;
    };
    const Case cases[] = {
        {"abc-XYZ_09", "ABC-XYZ_09", "abc-xyz_09", "abcXYZ_09"},
        {"caf\xC3\xA9 [Z]", "CAF\xC3\xA9 [Z]", "caf\xC3\xA9 [z]", "cafZ"},
        {"", "", "", ""},
        // Escapes keep their id bytes through case changes and go whole when filtered.
        {"a" + kColonEscape + "b", "A" + kColonEscape + "B", "a" + kColonEscape + "b", "ab"},
    };
    for (const Case& c : cases) {
        const ZString s = Raw(c.text);
        EXPECT_EQ(Bytes(s.ToUpper()), c.upper) << c.text;
        EXPECT_EQ(Bytes(s.ToLower()), c.lower) << c.text;
        EXPECT_EQ(Bytes(s.KeepIdentifierChars()), c.identifier) << c.text;
    }
}

TEST(ZString, ToIntAndToFloat) {
    struct IntCase {
        const char* text;
        int32_t expected;
    };
    const IntCase ints[] = {
        {" 42 ", 42},           {"-17", -17},          {"+5", 5},       {"12abc", 12},
        {"abc", 0},             {"", 0},               {"3.9", 3},      {"\t-0\n", 0},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN},  // saturates, never overflows
    };
    for (const IntCase& c : ints) {
        EXPECT_EQ(ZString(c.text).ToInt(), c.expected) << c.text;
    }

    struct FloatCase {
        const char* text;
        float expected;
    };
    const FloatCase floats[] = {
        {"1.5", 1.5f},    {" -2.25 ", -2.25f}, {".5", 0.5f},     {"1e3", 1000.0f}, {"1E3", 1000.0f},
        {"abc", 0.0f},    {"2.5f", 2.5f},      {"+1.5", 1.5f},   {"", 0.0f},       {"-.75x", -0.75f},
        {"1e99", HUGE_VALF}, {"-1e99", -HUGE_VALF}, {"1e-99", 0.0f}, {"1e999", HUGE_VALF}, {"1e-999", 0.0f},
        {"0.1", 0.1f},
    };
    for (const FloatCase& c : floats) {
        EXPECT_EQ(ZString(c.text).ToFloat(), c.expected) << c.text;
    }
}

TEST(ZString, ParseBoolAndToBool) {
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"Yes", true},  {"ON", true},   {"t", true},    {"TRUE", true}, {"y", true},
        {"Off", false}, {"N", false},   {"f", false},   {"False", false}, {"no", false},
        {"2", true},    {"-1", true},   {"0", false},   {"abc", false}, {"", false},
        {"yess", false}, {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseBool(c.text), c.expected) << (c.text ? c.text : "(null)");
    }
    EXPECT_TRUE(ZString("  Yes\r\n").ToBool());
    EXPECT_FALSE(ZString(" off ").ToBool());
    EXPECT_TRUE(ZString(" 7 ").ToBool());
}

TEST(ZString, HexToInt) {
    struct Case {
        const char* text;
        uint32_t expected;
    };
    const Case cases[] = {
        {"FF", 255u},          {"ff80", 65408u},      {nullptr, 0u},         {"", 0u},
        {"1G", 0x10u},         {"#FF", 0xFFu},        {"0x10", 0x10u},       {"DeadBeef", 0xDEADBEEFu},
        {"123456789", 0x23456789u},  // shifts wrap modulo 2^32
        {"20002", 0x20002u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexToInt(c.text), c.expected) << (c.text ? c.text : "(null)");
    }
}

TEST(ZString, RomanNumerals) {
    struct Case {
        int32_t n;
        const char* expected;
    };
    const Case cases[] = {
        {1, "I"},       {4, "IV"},      {9, "IX"},       {14, "XIV"},       {40, "XL"},
        {90, "XC"},     {400, "CD"},    {900, "CM"},     {1994, "MCMXCIV"}, {2024, "MMXXIV"},
        {3888, "MMMDCCCLXXXVIII"},      {3999, "MMMCMXCIX"}, {0, ""},      {-5, ""},
        {4000, ""},
    };
    for (const Case& c : cases) {
        const ZString r = ToRomanNumerals(c.n);
        EXPECT_EQ(Bytes(r), c.expected) << c.n;
        EXPECT_EQ(r.GetCharCount(), r.GetLength()) << c.n;
    }
}

TEST(ZString, CountCharsOnMultiByteAndMalformedText) {
    struct Case {
        const char* name;
        std::string bytes;
        int32_t limit;
        int32_t expected;
    };
    const std::string escape = Escape("ui", "s_l");
    const Case cases[] = {
        {"ascii", "abc", -1, 3},
        {"e-acute", "a\xC3\xA9", -1, 2},
        {"CJK", "\xE6\x97\xA5\xE6\x9C\xAC", -1, 2},
        {"four-byte", "\xF0\x9F\x98\x80!", -1, 2},
        {"escape", escape + "x", -1, 2},
        {"limit inside a sequence", "a\xC3\xA9", 2, 2},
        {"limit one", "a\xC3\xA9", 1, 1},
        {"limit zero", "abc", 0, 0},
        {"limit past the end", "abc", 99, 3},
        {"stray continuations", "\x80\x80" "a", -1, 2},
        {"lead byte at the end", "a\xE6", -1, 2},
        {"truncated escape", "a\x7F" "bc", -1, 2},
        {"escape cut by the limit", escape + "x", 3, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Raw(c.bytes).CountChars(c.limit), c.expected) << c.name;
    }
    EXPECT_EQ(Raw(escape + "x").GetLength(), 10);
    EXPECT_EQ(Raw(escape + "x").GetCharCount(), 2);
}

TEST(ZString, CharToByteOffset) {
    struct Case {
        std::string bytes;
        int32_t n;
        int32_t expected;
    };
    const std::string text = "a\xC3\xA9\xE6\x97\xA5x";  // a, e-acute, a CJK character, x
    const std::string escape = Escape("ui", "s_m");
    const Case cases[] = {
        {text, 0, 0},  {text, 1, 1},  {text, 2, 3},  {text, 3, 6},  {text, 4, 7},
        {text, -1, 7}, {text, 99, 7}, {"", 3, 0},
        {"x" + escape + "y", 2, 10},
        {"a\x7F" "bc", -1, 4},  // a truncated escape ends at the end of the text
        {"ab\xE6", 3, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Raw(c.bytes).CharToByteOffset(c.n), c.expected) << c.n;
    }
}

TEST(ZString, DetectEncoding) {
    struct Case {
        std::string bytes;
        int32_t expected;
    };
    const Case cases[] = {
        {"", ZString::kEncodingAscii},
        {"plain text", ZString::kEncodingAscii},
        {"caf\xC3\xA9", ZString::kEncodingMultiByte},
        {"\x7F", ZString::kEncodingAscii},
    };
    for (const Case& c : cases) {
        ZString s = Raw(c.bytes);
        EXPECT_EQ(s.GetEncoding(), ZString::kEncodingUnknown);
        s.DetectEncoding();
        EXPECT_EQ(s.GetEncoding(), c.expected) << c.bytes;
    }
}

TEST(ZString, EncodeImageTags) {
    struct Case {
        const char* markup;
        std::string expected;
    };
    const Case cases[] = {
        {"A<img>ui:s_l<img>B", "A" + Escape("ui", "s_l") + "B"},
        {"<img>UI:S_L<img>", Escape("ui", "s_l")},  // names ignore case
        {"<img>ui<img>", Escape("ui", nullptr)},      // no glyph part: the none id
        {"<img>:<img>", Escape("", "")},              // empty parts: the empty name
        {"<img>a:b:c<img>", Escape("a", "b")},        // further parts ignored
        {"go<img>pad:a", "go" + Escape("pad", "a")},  // unclosed: the rest is the image
        {"no images", "no images"},
        {"", ""},
        {"<img>x:y<img><img>x:z<img>", Escape("x", "y") + Escape("x", "z")},
    };
    for (const Case& c : cases) {
        const ZString r = ZString(c.markup).EncodeImageTags();
        EXPECT_EQ(Bytes(r), c.expected) << c.markup;
        EXPECT_EQ(r.GetEncoding(), ZString::kEncodingUnknown);
    }
    const ZString bar = ZString("<img>ui:s_l<img><img>ui:s_m<img>!").EncodeImageTags();
    EXPECT_EQ(bar.GetLength(), 19);
    EXPECT_EQ(bar.GetCharCount(), 3);
}

TEST(ZString, ReadWholeFile) {
    korvtest::TempDir dir;
    dir.Write("data.bin", std::string("abc\0def", 7));
    dir.Write("empty.txt", "");

    struct Case {
        const char* name;
        const char* mode;
        int32_t expected;
        std::string content;
    };
    const Case cases[] = {
        {"data.bin", "rb", 7, std::string("abc\0def", 7)},
        {"empty.txt", "rb", 0, ""},
        {"data.bin", "ab", -1, ""},  // open without read access: nothing can be read
    };
    for (const Case& c : cases) {
        std::FILE* f = std::fopen(dir.File(c.name).c_str(), c.mode);
        ASSERT_NE(f, nullptr) << c.name;
        if (c.mode[0] == 'r') {
            std::fgetc(f);  // the read starts at the beginning wherever the file stood
        }
        char* buffer = reinterpret_cast<char*>(1);
        const int32_t n = ReadWholeFile(f, &buffer);
        std::fclose(f);
        EXPECT_EQ(n, c.expected) << c.name << " " << c.mode;
        if (n < 0) {
            EXPECT_EQ(buffer, nullptr);
            continue;
        }
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(std::string(buffer, size_t(n)), c.content);
        EXPECT_EQ(buffer[n], 0);
        delete[] buffer;
    }
    char* buffer = nullptr;
    EXPECT_EQ(ReadWholeFile(nullptr, &buffer), -1);
    EXPECT_EQ(buffer, nullptr);
}
