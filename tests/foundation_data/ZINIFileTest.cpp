#include "foundation/ZINIFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "DataFilesFixture.h"
#include "foundation/ZINIFileParser.h"

namespace {

ZHashedString Name(const char* text) {
    return ZHashedString(text);
}

// Every entry the parser reports, one "section|key|value" line each.
std::string Entries(const std::string& text) {
    std::string out;
    ZINIFileParser::ParseINIFileText(
        text.data(), text.size(),
        [](const char* section, const char* key, const char* value, void* user) {
            *static_cast<std::string*>(user) +=
                std::string(section != nullptr ? section : "(none)") + "|" + key + "|" + value + "\n";
        },
        &out);
    return out;
}

TEST(ZINIFileParser, Entries) {
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"before any section", "a: 1\r\nb=2\n", "(none)|a|1\n(none)|b|2\n"},
        {"sections and trimming", "[Video]\n  Width :\t800 \n[Audio]\nVolume= 0.5\r\n",
         "Video|Width|800\nAudio|Volume|0.5\n"},
        {"split at the first separator", "url: http://x=y;z\n", "(none)|url|http://x=y;z\n"},
        {"a semicolon later in a line is text", "k: v ; note\n", "(none)|k|v ; note\n"},
        {"comments", "; c: 1\n\t ;x=2\n[S]\n;k=v\nk=w\n", "S|k|w\n"},
        {"entry on a section line", "[Sect] key=value\n", "Sect|[Sect] key|value\n"},
        {"blanks inside brackets stay", "[ My Section ]\nk: v\n", " My Section |k|v\n"},
        {"section without closing bracket", "[Open\nk: v\n", "Open|k|v\n"},
        {"lines without separator", "just words\n\n\n[S]\nmore words\n", ""},
        {"empty key and value", ":\n", "(none)||\n"},
        {"byte-order mark and comment", "\xEF\xBB\xBF; header\nk: v\n", "(none)|k|v\n"},
        {"byte-order mark only", "\xEF\xBB\xBF", ""},
        {"zero byte ends the text", std::string("a: 1\n\0b: 2\n", 11), "(none)|a|1\n"},
        {"last line without line end", "[S]\nk: v", "S|k|v\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Entries(c.text), c.expected) << c.what;
    }
}

TEST(ZINIFileParser, EveryPrefixStaysInItsBytes) {
    const std::string text = "\xEF\xBB\xBF; c\r\n[Video]\r\nWidth: 800\r\n[Audio] x=1\r\nVolume=0.5";
    for (size_t n = 0; n <= text.size(); ++n) {
        std::unique_ptr<char[]> exact(new char[n == 0 ? 1 : n]);
        std::memcpy(exact.get(), text.data(), n);
        ZINIFileParser::ParseINIFileText(
            exact.get(), n, [](const char*, const char*, const char*, void*) {}, nullptr);
    }
}

TEST(ZINIFile, LookupsIgnoreCaseAndTheLastLineWins) {
    ZINIFile ini;
    const std::string text = "top: 1\n[Video]\nWidth: 800\nWIDTH: 1024\n[video]\nHeight: 600\n";
    ini.LoadINIText(text.data(), text.size());
    ZString value;
    EXPECT_TRUE(ini.GetValue(Name("VIDEO"), Name("width"), value));
    EXPECT_EQ(value, "1024");
    EXPECT_TRUE(ini.HasKey(Name("Video"), Name("Height")));
    EXPECT_TRUE(ini.GetValue(ZHashedString::None(), Name("top"), value));
    EXPECT_EQ(value, "1");
    EXPECT_FALSE(ini.GetValue(Name("Audio"), Name("Width"), value));
    EXPECT_FALSE(ini.GetValue(Name("Video"), Name("Depth"), value));
    EXPECT_EQ(value, "1");  // untouched by a miss
}

TEST(ZINIFile, ReplaceInValue) {
    ZINIFile ini;
    const std::string text = "[S]\nk: a-b-a\n";
    ini.LoadINIText(text.data(), text.size());
    EXPECT_TRUE(ini.ReplaceInValue(Name("S"), Name("k"), "a", "xy"));
    ZString value;
    ini.GetValue(Name("S"), Name("k"), value);
    EXPECT_EQ(value, "xy-b-xy");
    EXPECT_FALSE(ini.ReplaceInValue(Name("S"), Name("k"), "zz", "1"));
    EXPECT_FALSE(ini.ReplaceInValue(Name("S"), Name("missing"), "a", "1"));
    EXPECT_FALSE(ini.ReplaceInValue(Name("T"), Name("k"), "a", "1"));
}

TEST(ZINIFile, WritesSectionsAndKeysInIdOrderAndReadsBackTheSame) {
    ZINIFile ini;
    const std::string text = "; settings\n[Zeta]\nb: 2\na: 1\n[Alpha]\nc=3\n";
    ini.LoadINIText(text.data(), text.size());

    // Build the expected text from the id order, which is not the text's order.
    const ZHashedString zeta = Name("Zeta");
    const ZHashedString alpha = Name("Alpha");
    auto keys = [](const char* first, const char* second, const char* a, const char* b) {
        return Name(first) < Name(second) ? std::string(a) + b : std::string(b) + a;
    };
    const std::string zetaText = "[Zeta]\r\n" + keys("a", "b", "a: 1\r\n", "b: 2\r\n");
    const std::string alphaText = "[Alpha]\r\nc: 3\r\n";
    const std::string expected = alpha < zeta ? alphaText + "\r\n" + zetaText : zetaText + "\r\n" + alphaText;
    EXPECT_EQ(std::string(ini.ToText().GetText()), expected);

    ZINIFile back;
    const ZString written = ini.ToText();
    back.LoadINIText(written.GetText(), size_t(written.GetLength()));
    EXPECT_EQ(std::string(back.ToText().GetText()), expected);
}

TEST(ZINIFile, KeysWithoutASectionAreWrittenFirstSoTheyReadBackUnderNoSection) {
    ZINIFile ini;
    ini.SetValue(Name("Section"), Name("inside"), ZString("1"));
    ini.SetValue(ZHashedString::None(), Name("MemoryLine00"), ZString("set Video Width 800"));
    const ZString text = ini.ToText();
    EXPECT_EQ(std::string(text.GetText()),
              "MemoryLine00: set Video Width 800\r\n\r\n[Section]\r\ninside: 1\r\n");

    ZINIFile back;
    back.LoadINIText(text.GetText(), size_t(text.GetLength()));
    EXPECT_TRUE(back.HasKey(ZHashedString::None(), Name("MemoryLine00")));
    EXPECT_FALSE(back.HasKey(Name("Section"), Name("MemoryLine00")));
}

class ZINIFileDisk : public datatest::DataFilesTest {};

TEST_F(ZINIFileDisk, LoadFromStreamsOrDiskAndSaveAtomically) {
    m_data.Write("Version.ini", "[Version]\r\nEngineVersion: 42\r\n");
    ZINIFile ini;
    EXPECT_TRUE(ini.LoadINIFile("Version.ini"));
    ZString value;
    EXPECT_TRUE(ini.GetValue(Name("Version"), Name("EngineVersion"), value));
    EXPECT_EQ(value, "42");

    // A missing file empties what was loaded.
    EXPECT_FALSE(ini.LoadINIFile("Missing.ini"));
    EXPECT_FALSE(ini.HasKey(Name("Version"), Name("EngineVersion")));
    EXPECT_FALSE(ini.LoadINIFile(m_data.File("Missing.ini").c_str(), true));

    const std::string path = m_documents.File("Saved.ini");
    EXPECT_TRUE(ini.LoadINIFile(m_data.File("Version.ini").c_str(), true));
    ini.SetValue(Name("Version"), Name("Extra"), ZString("yes"));
    EXPECT_TRUE(ini.SaveINIFile(path.c_str()));
    ZINIFile back;
    EXPECT_TRUE(back.LoadINIFile(path.c_str(), true));
    EXPECT_EQ(std::string(back.ToText().GetText()), std::string(ini.ToText().GetText()));

    // A save that cannot be written leaves the old file and says so.
    EXPECT_FALSE(ini.SaveINIFile(m_documents.File("no such folder/Saved.ini").c_str()));
    EXPECT_NE(LogText().find("could not be written"), std::string::npos);

    m_data.Write("Empty.ini", "");
    EXPECT_FALSE(ini.LoadINIFile(m_data.File("Empty.ini").c_str(), true));
}

}  // namespace
