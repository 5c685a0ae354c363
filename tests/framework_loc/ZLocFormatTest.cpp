#include <gtest/gtest.h>

#include <string>

#include "framework/ZLocFormat.h"

namespace {

std::string Str(const ZString& s) { return std::string(s.GetText(), static_cast<size_t>(s.GetLength())); }

// Arguments of the table: one integer, one number and one text.
const ZLocFormat::Arg kArgs[] = {ZLocFormat::MakeArg(42), ZLocFormat::MakeArg(2.5), ZLocFormat::MakeArg("Ann")};

TEST(ZLocFormatTest, ConversionsMustMatchTheArguments) {
    struct Case {
        const char* pattern;
        uint32_t count;  // the first count of kArgs
        const char* expected;  // null: refused
    };
    const Case cases[] = {
        {"%d coins", 1, "42 coins"},
        {"%1$-4d|%1$+d|%1$ d|%1$#x|%1$X|%1$o", 1, "42  |+42| 42|0x2a|2A|52"},
        {"%05d", 1, "00042"},
        {"%x %X", 1, nullptr},  // more conversions than arguments
        {"%d, %.2f, %s", 3, "42, 2.50, Ann"},
        {"%3$s has %1$d coins (%2$.1f)", 3, "Ann has 42 coins (2.5)"},
        {"%1$d and %1$d", 1, "42 and 42"},
        {"100%% of %d", 1, "100% of 42"},
        {"no conversions", 0, "no conversions"},
        {"no conversions", 1, nullptr},  // an argument would be lost
        {"%s", 1, nullptr},              // text for an integer
        {"%d", 0, nullptr},              // nothing to take
        {"%d %s", 3, nullptr},           // the number is left over
        {"%1$d %s", 3, nullptr},         // positional and plain mixed
        {"%4$d", 3, nullptr},            // no fourth argument
        {"%n", 1, nullptr},
        {"%p", 1, nullptr},
        {"%ld", 1, nullptr},
        {"%lld", 1, nullptr},
        {"%hd", 1, nullptr},
        {"%*d", 1, nullptr},
        {"%.*d", 1, nullptr},
        {"%65d", 1, nullptr},  // width above the limit
        {"%.99999999999f", 2, nullptr},
        {"ends in %", 0, nullptr},
        {"%5%", 0, nullptr},
        {"%0$d", 1, nullptr},
    };
    for (const Case& c : cases) {
        const ZString pattern(c.pattern);
        ZString out("untouched");
        const bool ok = ZLocFormat::Format(pattern, kArgs, c.count, false, out);
        EXPECT_EQ(ok, c.expected != nullptr) << c.pattern;
        EXPECT_EQ(ZLocFormat::Check(pattern, kArgs, c.count), ok) << c.pattern;
        EXPECT_EQ(Str(out), c.expected != nullptr ? c.expected : "untouched") << c.pattern;
    }
}

TEST(ZLocFormatTest, WidthUpToTheLimitIsKept) {
    ZString out;
    ASSERT_TRUE(ZLocFormat::Format(ZString("[%64d]"), kArgs, 1, false, out));
    EXPECT_EQ(out.GetLength(), 66);
    ASSERT_TRUE(ZLocFormat::Format(ZString("%.64f"), kArgs + 1, 1, false, out));
    EXPECT_EQ(out.GetLength(), 66);
}

TEST(ZLocFormatTest, TextArgumentsKeepEveryByte) {
    // An inline-image escape holds zero bytes; a plain %s copies them all.
    const char bytes[] = {'A', 0x7F, 1, 0, 0, 0, 2, 0, 0, 0, 'B'};
    const ZString name = ZString::FromBytes(bytes, sizeof(bytes));
    ZString out;
    ASSERT_TRUE(ZLocFormat::FormatWith(ZString("<%s>"), out, name));
    EXPECT_EQ(Str(out), std::string("<") + std::string(bytes, sizeof(bytes)) + ">");
    ASSERT_TRUE(ZLocFormat::FormatWith(ZString("<%.2s>"), out, name));
    EXPECT_EQ(Str(out), std::string("<A\x7F>"));
    const char* nothing = nullptr;
    ASSERT_TRUE(ZLocFormat::FormatWith(ZString("<%s>"), out, nothing));
    EXPECT_EQ(Str(out), "<>");
}

TEST(ZLocFormatTest, TypesOfArguments) {
    ZString out;
    EXPECT_TRUE(ZLocFormat::FormatWith(ZString("%d %u %d"), out, -7, 7u, int64_t{1} << 40));
    EXPECT_EQ(Str(out), "-7 7 1099511627776");
    EXPECT_TRUE(ZLocFormat::FormatWith(ZString("%c%c"), out, 'o', 'k'));
    EXPECT_EQ(Str(out), "ok");
    EXPECT_TRUE(ZLocFormat::FormatWith(ZString("%.1f %g"), out, 0.25f, 1e300));
    EXPECT_EQ(Str(out), "0.2 1e+300");
    EXPECT_FALSE(ZLocFormat::FormatWith(ZString("%f"), out, 1));
}

TEST(ZLocFormatTest, PseudoLocalisationMasksThePatternNotTheArguments) {
    const ZLocFormat::Arg args[] = {ZLocFormat::MakeArg("Ann"), ZLocFormat::MakeArg(3)};
    ZString out;
    ASSERT_TRUE(ZLocFormat::Format(ZString("%s has %d%% more"), args, 2, true, out));
    EXPECT_EQ(Str(out), "Ann XXX 3X XXXX");
}

}  // namespace
