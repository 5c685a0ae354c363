#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ConfigFixture.h"
#include "framework/ZConfigVar.h"

namespace {

using configtest::ConfigTest;

// One variable of each type in the base section, a ranged float, and the
// number of times each callback ran.
struct Values {
    int32_t i = 0;
    float f = 0.0f;
    bool b = false;
    ZHashedString n;
    float v[4] = {};
    float ranged = 0.0f;
};

Values g_values;
int g_calls[6];
std::vector<std::string> g_order;

void OnInt() {
    ++g_calls[0];
}
void OnFloat() {
    ++g_calls[1];
}
void OnBool() {
    ++g_calls[2];
}
void OnName() {
    ++g_calls[3];
}
void OnTint() {
    ++g_calls[4];
}
void OnRanged() {
    ++g_calls[5];
}

const ZHashedString kBase = ZHashedString::None();

class ConfigVarTest : public ConfigTest {
protected:
    void SetUp() override {
        ConfigTest::SetUp();
        g_values = Values();
        std::memset(g_calls, 0, sizeof(g_calls));
        g_order.clear();
        RegisterConfigVarInt(kBase, ZHashedString("Count"), &g_values.i, 5, OnInt);
        RegisterConfigVarFloat(kBase, ZHashedString("Speed"), &g_values.f, 2.5f, OnFloat);
        RegisterConfigVarBool(kBase, ZHashedString("Enabled"), &g_values.b, true, OnBool);
        RegisterConfigVarString(kBase, ZHashedString("Who"), &g_values.n, ZHashedString("Alpha"), OnName);
        RegisterConfigVarVector4(kBase, ZHashedString("Tint"), g_values.v, 1.0f, 1.0f, 1.0f, 1.0f);
        // Four-float variables register without a callback; one can be attached.
        FindOrAddConfigVar(kBase, ZHashedString("Tint")).onChange = OnTint;
        RegisterConfigVarFloat(ZHashedString("Video"), ZHashedString("Gamma"), &g_values.ranged, 0.0f,
                               OnRanged);
        ZConfigVar& gamma = FindOrAddConfigVar(ZHashedString("Video"), ZHashedString("Gamma"));
        gamma.hasRange = true;
        gamma.step = 0.05f;
        gamma.minimum = -1.0f;
        gamma.maximum = 1.0f;
        std::memset(g_calls, 0, sizeof(g_calls));
    }

    // The callback counter of the variable a case names.
    static int CallsOf(const char* name) {
        const std::string n = name;
        if (n == "Count") return g_calls[0];
        if (n == "Speed") return g_calls[1];
        if (n == "Enabled") return g_calls[2];
        if (n == "Who") return g_calls[3];
        if (n == "Tint") return g_calls[4];
        if (n == "Gamma") return g_calls[5];
        return 0;
    }
};

TEST_F(ConfigVarTest, RegistrationStoresTheDefaultAndRunsTheCallbackOnce) {
    ClearConfigRegistry();
    Values values;
    std::memset(g_calls, 0, sizeof(g_calls));
    RegisterConfigVarInt(kBase, ZHashedString("Count"), &values.i, 5, OnInt);
    RegisterConfigVarFloat(kBase, ZHashedString("Speed"), &values.f, 2.5f, OnFloat);
    RegisterConfigVarBool(kBase, ZHashedString("Enabled"), &values.b, true, OnBool);
    RegisterConfigVarString(kBase, ZHashedString("Who"), &values.n, ZHashedString("Alpha"), nullptr);
    RegisterConfigVarVector4(kBase, ZHashedString("Tint"), values.v, 0.0f, 0.5f, 1.0f, 2.0f);

    EXPECT_EQ(values.i, 5);
    EXPECT_EQ(values.f, 2.5f);
    EXPECT_TRUE(values.b);
    EXPECT_STREQ(values.n.GetText(), "Alpha");
    EXPECT_EQ(values.v[1], 0.5f);
    EXPECT_EQ(values.v[3], 2.0f);
    EXPECT_EQ(g_calls[0], 1);
    EXPECT_EQ(g_calls[1], 1);
    EXPECT_EQ(g_calls[2], 1);

    const ZArray<ZConfigSection>& sections = GetConfigSections();
    ASSERT_EQ(sections.Count(), 1u);
    EXPECT_TRUE(sections[0].id.IsNone());
    ASSERT_EQ(sections[0].vars.Count(), 5u);
    const ZConfigVar& tint = sections[0].vars[4];
    EXPECT_EQ(tint.type, ZConfigVar::kTypeVector4);
    EXPECT_EQ(tint.onChange, nullptr);
    EXPECT_FALSE(tint.hasRange);
    EXPECT_EQ(tint.step, 0.0f);
}

// Set from text: good values, values of the wrong type and numbers out of
// range. A refused value leaves the variable and runs no callback.
struct SetCase {
    const char* name;
    const char* text;
    bool accepted;
    double expected[4];    // int, float, bool (0/1) or the four floats
    const char* nameText;  // for the name variable
};

const SetCase kSetCases[] = {
    {"Count", "42", true, {42}, nullptr},
    {"Count", "  -7", true, {-7}, nullptr},
    {"Count", "+3", true, {3}, nullptr},
    {"Count", "12abc", true, {12}, nullptr},
    {"Count", "2147483647", true, {2147483647.0}, nullptr},
    {"Count", "-2147483648", true, {-2147483648.0}, nullptr},
    {"Count", "2147483648", false, {5}, nullptr},
    {"Count", "abc", false, {5}, nullptr},
    {"Count", "", false, {5}, nullptr},
    {"Count", "- 4", false, {5}, nullptr},
    {"Speed", "1.5", true, {1.5}, nullptr},
    {"Speed", " -0.25", true, {-0.25}, nullptr},
    {"Speed", "1e2", true, {100}, nullptr},
    {"Speed", "+.5", true, {0.5}, nullptr},
    {"Speed", "3.5kg", true, {3.5}, nullptr},
    {"Speed", "1,5", true, {1}, nullptr},
    {"Speed", "1e999", false, {2.5}, nullptr},
    {"Speed", "1e39", false, {2.5}, nullptr},
    {"Speed", "nan", false, {2.5}, nullptr},
    {"Speed", "-inf", false, {2.5}, nullptr},
    {"Speed", "+-1", false, {2.5}, nullptr},
    {"Speed", "fast", false, {2.5}, nullptr},
    {"Enabled", "false", true, {0}, nullptr},
    {"Enabled", "OFF", true, {0}, nullptr},
    {"Enabled", "n", true, {0}, nullptr},
    {"Enabled", "0", true, {0}, nullptr},
    {"Enabled", "Yes", true, {1}, nullptr},
    {"Enabled", "5", true, {1}, nullptr},
    {"Enabled", "maybe", false, {1}, nullptr},
    {"Enabled", "", false, {1}, nullptr},
    {"Who", "Beta", true, {}, "Beta"},
    {"Who", "", true, {}, ""},
    {"Tint", "1,2", true, {1, 2, 0, 0}, nullptr},
    {"Tint", "0.5, 0.25, 0.125, 4", true, {0.5, 0.25, 0.125, 4}, nullptr},
    {"Tint", "1,2,3,4,5", true, {1, 2, 3, 4}, nullptr},
    {"Tint", "1 ,2", true, {1, 0, 0, 0}, nullptr},
    {"Tint", "red", false, {1, 1, 1, 1}, nullptr},
    {"Tint", "1,inf", false, {1, 1, 1, 1}, nullptr},
    {"Gamma", "1", true, {1}, nullptr},
    {"Gamma", "-1", true, {-1}, nullptr},
    {"Gamma", "1.01", false, {0}, nullptr},
    {"Gamma", "-5", false, {0}, nullptr},
};

TEST_F(ConfigVarTest, SetFromTextStoresWhatReadsAndRefusesTheRest) {
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(std::string(c.name) + " <- \"" + c.text + "\"");
        SetUp();
        const ZHashedString section = std::strcmp(c.name, "Gamma") == 0 ? ZHashedString("Video") : kBase;
        EXPECT_TRUE(ZConfigVar::SetFromString(c.text, section, ZHashedString(c.name)));
        EXPECT_EQ(CallsOf(c.name), c.accepted ? 1 : 0);
        const std::string name = c.name;
        if (name == "Count") {
            EXPECT_EQ(g_values.i, static_cast<int32_t>(c.expected[0]));
        } else if (name == "Speed") {
            EXPECT_EQ(g_values.f, static_cast<float>(c.expected[0]));
        } else if (name == "Enabled") {
            EXPECT_EQ(g_values.b, c.expected[0] != 0);
        } else if (name == "Who") {
            EXPECT_STREQ(g_values.n.GetText(), c.nameText);
        } else if (name == "Tint") {
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(g_values.v[k], static_cast<float>(c.expected[k])) << "component " << k;
            }
        } else {
            EXPECT_EQ(g_values.ranged, static_cast<float>(c.expected[0]));
        }
        TearDown();
    }
}

TEST_F(ConfigVarTest, DefaultInAnyCaseRestoresTheDefaultAndRunsTheCallback) {
    const char* const words[] = {"default", "DEFAULT", "Def", "def"};
    for (const char* word : words) {
        SCOPED_TRACE(word);
        ASSERT_TRUE(ZConfigVar::SetFromString("42", kBase, ZHashedString("Count")));
        ASSERT_TRUE(ZConfigVar::SetFromString("Beta", kBase, ZHashedString("Who")));
        ASSERT_TRUE(ZConfigVar::SetFromString("3,3,3,3", kBase, ZHashedString("Tint")));
        std::memset(g_calls, 0, sizeof(g_calls));
        EXPECT_TRUE(ZConfigVar::SetFromString(word, kBase, ZHashedString("Count")));
        EXPECT_TRUE(ZConfigVar::SetFromString(word, kBase, ZHashedString("Who")));
        EXPECT_TRUE(ZConfigVar::SetFromString(word, kBase, ZHashedString("Tint")));
        EXPECT_EQ(g_values.i, 5);
        EXPECT_STREQ(g_values.n.GetText(), "Alpha");
        EXPECT_EQ(g_values.v[0], 1.0f);
        EXPECT_EQ(g_calls[0], 1);
        EXPECT_EQ(g_calls[3], 1);
    }
}

TEST_F(ConfigVarTest, NamesAreFoundIgnoringCase) {
    EXPECT_TRUE(ZConfigVar::SetFromString("9", ZHashedString(nullptr), ZHashedString("COUNT")));
    EXPECT_EQ(g_values.i, 9);
    EXPECT_TRUE(ZConfigVar::SetFromString("0.5", ZHashedString("video"), ZHashedString("gamma")));
    EXPECT_EQ(g_values.ranged, 0.5f);
}

TEST_F(ConfigVarTest, UnknownNamesChangeNothingButAnUnknownSectionIsAdded) {
    EXPECT_FALSE(ZConfigVar::SetFromString("1", kBase, ZHashedString("Nobody")));
    EXPECT_FALSE(ZConfigVar::SetFromString("1", ZHashedString("Video"), ZHashedString("Count")));
    EXPECT_FALSE(ZConfigVar::SetFromString("1", ZHashedString("Mystery"), ZHashedString("Count")));
    EXPECT_FALSE(ResetConfigVar(kBase, ZHashedString("Nobody")));
    EXPECT_EQ(g_values.i, 5);
    EXPECT_EQ(g_calls[0], 0);

    const std::string text = ConfigText();
    EXPECT_NE(text.find("\r\n[Mystery]\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Nobody"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 11), "[Mystery]\r\n");
}

TEST_F(ConfigVarTest, ASecondRegistrationOfANameIsASecondVariable) {
    ClearConfigRegistry();
    int32_t first = 0;
    int32_t second = 0;
    RegisterConfigVarInt(kBase, ZHashedString("Twin"), &first, 1, [] { g_order.push_back("first"); });
    RegisterConfigVarInt(kBase, ZHashedString("Twin"), &second, 2, [] { g_order.push_back("second"); });
    g_order.clear();

    EXPECT_TRUE(ZConfigVar::SetFromString("7", kBase, ZHashedString("Twin")));
    EXPECT_EQ(first, 7);
    EXPECT_EQ(second, 7);
    EXPECT_EQ(g_order, (std::vector<std::string>{"first", "second"}));

    g_order.clear();
    EXPECT_TRUE(ResetConfigVar(kBase, ZHashedString("Twin")));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(g_order, (std::vector<std::string>{"first", "second"}));
}

TEST_F(ConfigVarTest, ResetSectionRestoresEveryVariableOfThatSectionOnly) {
    ZConfigVar::SetFromString("42", kBase, ZHashedString("Count"));
    ZConfigVar::SetFromString("9", kBase, ZHashedString("Speed"));
    ZConfigVar::SetFromString("0.5", ZHashedString("Video"), ZHashedString("Gamma"));
    std::memset(g_calls, 0, sizeof(g_calls));

    ResetConfigSection(kBase);
    EXPECT_EQ(g_values.i, 5);
    EXPECT_EQ(g_values.f, 2.5f);
    EXPECT_EQ(g_values.ranged, 0.5f);
    EXPECT_EQ(g_calls[0], 1);
    EXPECT_EQ(g_calls[1], 1);
    EXPECT_EQ(g_calls[5], 0);
}

TEST_F(ConfigVarTest, AFailedLookupAddsABlankRecordThatIsNeverWrittenOrListed) {
    ZConfigVar& blank = FindOrAddConfigVar(ZHashedString("Video"), ZHashedString("Missing"));
    EXPECT_EQ(blank.type, ZConfigVar::kTypeNone);
    EXPECT_EQ(blank.storage, nullptr);
    EXPECT_FALSE(ZConfigVar::IsModified(blank));

    ZArray<ZString> lines;
    ListConfigSection(ZHashedString("Video"), lines);
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(lines[0], "    Gamma: 0.000000");
    EXPECT_EQ(ConfigText().find("Missing"), std::string::npos);
}

struct ModifiedCase {
    const char* name;
    const char* text;
    bool modified;
};

const ModifiedCase kModifiedCases[] = {
    {"Count", "5", false},         {"Count", "6", true},
    {"Speed", "2.5000200", false},  // within 1e-5 of 2.5, relatively
    {"Speed", "2.5001", true},     {"Enabled", "true", false},
    {"Enabled", "false", true},    {"Who", "ALPHA", false},         // names compare ignoring case
    {"Who", "Omega", true},        {"Tint", "1.002,1,1,1", false},  // squared distance 4e-6
    {"Tint", "1.004,1,1,1", true},                                  // 1.6e-5
};

TEST_F(ConfigVarTest, ModifiedMeansDifferentFromTheDefault) {
    for (const ModifiedCase& c : kModifiedCases) {
        SCOPED_TRACE(std::string(c.name) + " <- " + c.text);
        ASSERT_TRUE(ZConfigVar::SetFromString(c.text, kBase, ZHashedString(c.name)));
        EXPECT_EQ(ZConfigVar::IsModified(FindOrAddConfigVar(kBase, ZHashedString(c.name))), c.modified);
        ResetConfigSection(kBase);
    }
}

TEST_F(ConfigVarTest, AFloatIsModifiedOnlyBeyondARelativeEpsilon) {
    ClearConfigRegistry();
    float fov = 0.0f;
    RegisterConfigVarFloat(kBase, ZHashedString("FOV"), &fov, 75.0f, nullptr);
    const ZConfigVar& var = FindOrAddConfigVar(kBase, ZHashedString("FOV"));
    fov = 75.0005f;
    EXPECT_FALSE(ZConfigVar::IsModified(var));
    fov = 75.001f;
    EXPECT_TRUE(ZConfigVar::IsModified(var));
}

// Write-back format: base section first without a header, then every other
// section after an empty line, one line per variable by type.
TEST_F(ConfigVarTest, WritesEveryVariableByteForByte) {
    ZConfigVar::SetFromString("0, 0.5, 0.25, 1", kBase, ZHashedString("Tint"));
    int32_t volume = 0;
    RegisterConfigVarInt(ZHashedString("Audio"), ZHashedString("Volume"), &volume, -2, nullptr);
    EXPECT_EQ(ConfigText(),
              "Count: 5\r\n"
              "Speed: 2.500000\r\n"
              "Enabled: true\r\n"
              "Who: Alpha\r\n"
              "Tint: 0.000000, 0.500000, 0.250000, 1.000000\r\n"
              "\r\n"
              "[Video]\r\n"
              "Gamma: 0.000000\r\n"
              "\r\n"
              "[Audio]\r\n"
              "Volume: -2\r\n");
}

TEST_F(ConfigVarTest, HeadersFollowTheBaseSectionWhereverItWasFirstUsed) {
    struct Case {
        const char* what;
        bool baseFirst;
        bool withBase;
        const char* expected;
    };
    const Case cases[] = {
        {"no base section", false, false, "[Video]\r\nA: 1\r\n\r\n[Audio]\r\nB: 2\r\n"},
        {"base first", true, true, "C: 3\r\n\r\n[Video]\r\nA: 1\r\n\r\n[Audio]\r\nB: 2\r\n"},
        {"base later", false, true, "C: 3\r\n\r\n[Video]\r\nA: 1\r\n\r\n[Audio]\r\nB: 2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearConfigRegistry();
        int32_t a = 0, b = 0, base = 0;
        if (c.baseFirst) {
            RegisterConfigVarInt(kBase, ZHashedString("C"), &base, 3, nullptr);
        }
        RegisterConfigVarInt(ZHashedString("Video"), ZHashedString("A"), &a, 1, nullptr);
        RegisterConfigVarInt(ZHashedString("Audio"), ZHashedString("B"), &b, 2, nullptr);
        if (c.withBase && !c.baseFirst) {
            RegisterConfigVarInt(kBase, ZHashedString("C"), &base, 3, nullptr);
        }
        EXPECT_EQ(ConfigText(), c.expected);

        // What was written reads back into the same variables.
        a = b = base = 0;
        LoadConfigText(c.expected, std::strlen(c.expected));
        EXPECT_EQ(a, 1);
        EXPECT_EQ(b, 2);
        EXPECT_EQ(base, c.withBase ? 3 : 0);
    }
}

TEST_F(ConfigVarTest, AMessyFileLoadsWhatItCanAndKeepsTheDefaultsForTheRest) {
    const std::string file =
        "\xEF\xBB\xBF; written by hand\r\n"
        "count = 12\r\n"
        "Speed: fast\r\n"
        "   ; Speed: 9\n"
        "\n"
        "Enabled: perhaps\r\n"
        "Who:   Gamma Ray  \r\n"
        "Tint: 0.5, 0.5\r\n"
        "[Nowhere]\r\n"
        "Count: 99\r\n"
        "Stray line without a separator\r\n"
        "[Video]\r\n"
        "Gamma: 3\r\n"
        "Unknown: 1\r\n"
        "[]\r\n"
        "Speed: 7\r\n";
    m_temp.Write("Config.ini", file);
    std::memset(g_calls, 0, sizeof(g_calls));

    EXPECT_TRUE(LoadConfigFile(m_temp.File("Config.ini").c_str()));

    EXPECT_EQ(g_values.i, 12);    // before any header: the base section, key case ignored
    EXPECT_EQ(g_values.f, 2.5f);  // not a number: default kept
    EXPECT_TRUE(g_values.b);      // not a boolean: default kept
    EXPECT_STREQ(g_values.n.GetText(), "Gamma Ray");
    EXPECT_EQ(g_values.v[0], 0.5f);
    EXPECT_EQ(g_values.v[2], 0.0f);
    EXPECT_EQ(g_values.ranged, 0.0f);  // outside -1..1: default kept

    // A callback for every value taken from the file, none for a refused one.
    EXPECT_EQ(g_calls[0], 1);
    EXPECT_EQ(g_calls[1], 0);
    EXPECT_EQ(g_calls[2], 0);
    EXPECT_EQ(g_calls[3], 1);
    EXPECT_EQ(g_calls[5], 0);

    // Unknown names are dropped; unknown sections come back as bare headers.
    const std::string text = ConfigText();
    EXPECT_EQ(text.find("Unknown"), std::string::npos);
    EXPECT_NE(text.find("Gamma: 0.000000\r\n\r\n[Nowhere]\r\n\r\n[]\r\n"), std::string::npos);
}

TEST_F(ConfigVarTest, ValuesReadFromTheFileRunTheCallbacksEachTime) {
    const std::string file =
        "Count: 1\r\nCount: 2\r\nCount: default\r\nSpeed: 3\r\n[Video]\r\nGamma: -0.5\r\n";
    LoadConfigText(file.data(), file.size());
    EXPECT_EQ(g_calls[0], 3);
    EXPECT_EQ(g_calls[1], 1);
    EXPECT_EQ(g_calls[5], 1);
    EXPECT_EQ(g_values.i, 5);
    EXPECT_EQ(g_values.ranged, -0.5f);
}

TEST_F(ConfigVarTest, WhatIsSavedLoadsBackUnchanged) {
    ZConfigVar::SetFromString("-12", kBase, ZHashedString("Count"));
    ZConfigVar::SetFromString("0.125", kBase, ZHashedString("Speed"));
    ZConfigVar::SetFromString("off", kBase, ZHashedString("Enabled"));
    ZConfigVar::SetFromString("Gamma Ray", kBase, ZHashedString("Who"));
    ZConfigVar::SetFromString("0.1, 0.2, 0.3, 0.4", kBase, ZHashedString("Tint"));
    ZConfigVar::SetFromString("-0.75", ZHashedString("Video"), ZHashedString("Gamma"));
    const Values saved = g_values;
    const std::string path = m_temp.File("Config.ini");
    ASSERT_TRUE(SaveConfigFile(path.c_str()));

    ResetConfigSection(kBase);
    ResetConfigSection(ZHashedString("Video"));
    ASSERT_TRUE(LoadConfigFile(path.c_str()));
    EXPECT_EQ(g_values.i, saved.i);
    EXPECT_EQ(g_values.f, saved.f);
    EXPECT_EQ(g_values.b, saved.b);
    EXPECT_EQ(g_values.n, saved.n);
    EXPECT_EQ(std::memcmp(g_values.v, saved.v, sizeof(saved.v)), 0);
    EXPECT_EQ(g_values.ranged, saved.ranged);
    EXPECT_EQ(m_temp.Read("Config.ini"), ConfigText());
}

TEST_F(ConfigVarTest, AMissingFileIsWrittenAtOnceFromTheDefaults) {
    // What the caller switched for the load (start-up turns logging off while
    // it reads the file) is neither written nor kept: the run goes on from
    // the defaults, as a run that reads the written file would.
    const std::string path = m_temp.File("Config.ini");
    g_values.b = false;
    g_values.i = 9;
    std::memset(g_calls, 0, sizeof(g_calls));
    EXPECT_FALSE(LoadConfigFile(path.c_str()));
    const std::string written = m_temp.Read("Config.ini");
    EXPECT_EQ(written.substr(0, 10), "Count: 5\r\n");
    EXPECT_NE(written.find("Enabled: true\r\n"), std::string::npos);
    EXPECT_EQ(written, ConfigText());
    EXPECT_TRUE(g_values.b);
    EXPECT_EQ(g_values.i, 5);
    EXPECT_EQ(g_calls[0], 1);
}

TEST_F(ConfigVarTest, AMissingFileThatCannotBeWrittenStillGivesTheDefaults) {
    // The folder is a file: nothing can be written below it.
    m_temp.Write("Config", "not a folder");
    const std::string path = m_temp.File("Config/Config.ini");
    g_values.b = false;
    EXPECT_FALSE(LoadConfigFile(path.c_str()));
    EXPECT_TRUE(g_values.b);
    EXPECT_EQ(m_temp.Read("Config"), "not a folder");
}

TEST_F(ConfigVarTest, AFileThatExistsButCannotBeReadIsLeftAlone) {
    // A folder where the file should be: it opens but does not read.
    std::filesystem::create_directory(m_temp.Path() / "Config.ini");
    EXPECT_FALSE(LoadConfigFile(m_temp.File("Config.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(m_temp.Path() / "Config.ini"));
    EXPECT_EQ(g_values.i, 5);
}

TEST_F(ConfigVarTest, SavingReplacesTheFileWholeOrNotAtAll) {
    m_temp.Write("Config.ini", "old text that is longer than the new text will be, by quite a margin\r\n");
    ASSERT_TRUE(SaveConfigFile(m_temp.File("Config.ini").c_str()));
    EXPECT_EQ(m_temp.Read("Config.ini"), ConfigText());
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_temp.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    EXPECT_FALSE(SaveConfigFile(m_temp.File("no such folder/Config.ini").c_str()));
}

// Switches LC_NUMERIC to a locale whose decimal point is a comma: an
// installed one, or one built into the test's folder when localedef exists.
// False when neither works.
bool UseCommaLocale(const korvtest::TempDir& temp) {
    const char* const installed[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    for (const char* name : installed) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            return true;
        }
    }
    const std::string folder = temp.File("locales");
    std::filesystem::create_directories(folder);
    const std::string command = "localedef -i de_DE -f UTF-8 -c '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || !std::filesystem::exists(folder + "/de_DE.UTF-8")) {
        return false;
    }
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(ConfigVarTest, NumbersAreWrittenAndReadInTheCLocale) {
    const bool switched = UseCommaLocale(m_temp);
    char probe[16] = "";
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    if (!switched || std::string(probe) != "1,5") {
        std::setlocale(LC_NUMERIC, "C");
        unsetenv("LOCPATH");
        GTEST_SKIP() << "no locale with a decimal comma is available";
    }
    ZConfigVar::SetFromString("0.75", kBase, ZHashedString("Speed"));
    ZConfigVar::SetFromString("0.5, 0.25, 1, 1", kBase, ZHashedString("Tint"));
    const std::string text = ConfigText();
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");

    EXPECT_EQ(g_values.f, 0.75f);
    EXPECT_EQ(g_values.v[1], 0.25f);
    EXPECT_NE(text.find("Speed: 0.750000\r\n"), std::string::npos);
    EXPECT_NE(text.find("Tint: 0.500000, 0.250000, 1.000000, 1.000000\r\n"), std::string::npos);
}

struct DescribeCase {
    const char* name;
    const char* value;  // null: left at the default
    bool withSection;
    const char* expected;
};

const DescribeCase kDescribeCases[] = {
    {"Count", nullptr, false, "    Count: 5"},
    {"Count", "8", true, "NULL.Count: 8* (default: 5)"},
    {"Speed", "0.5", false, "    Speed: 0.500000* (default: 2.500000)"},
    {"Enabled", "no", false, "    Enabled: false* (default: true)"},
    {"Who", "Beta", true, "NULL.Who: Beta* (default: Alpha)"},
    {"Tint", "0,0.5,1,1", false,
     "    Tint: 0.000000,0.500000,1.000000,1.000000* (default: 1.000000,1.000000,1.000000,1.000000)"},
};

TEST_F(ConfigVarTest, DescribesAVariableOnOneLine) {
    for (const DescribeCase& c : kDescribeCases) {
        SCOPED_TRACE(c.expected);
        if (c.value != nullptr) {
            ASSERT_TRUE(ZConfigVar::SetFromString(c.value, kBase, ZHashedString(c.name)));
        }
        EXPECT_EQ(DescribeConfigVar(kBase, FindOrAddConfigVar(kBase, ZHashedString(c.name)), c.withSection),
                  c.expected);
        ResetConfigSection(kBase);
    }
}

TEST_F(ConfigVarTest, ListsSectionsAndModifiedVariablesInRegistryOrder) {
    ZArray<ZString> sections;
    ListConfigSections(sections);
    ASSERT_EQ(sections.Count(), 2u);
    EXPECT_EQ(sections[0], "    NULL");
    EXPECT_EQ(sections[1], "    Video");

    ZConfigVar::SetFromString("0.5", ZHashedString("Video"), ZHashedString("Gamma"));
    ZConfigVar::SetFromString("1", kBase, ZHashedString("Count"));
    ZArray<ZString> modified;
    ListModifiedConfigVars(modified);
    ASSERT_EQ(modified.Count(), 2u);
    EXPECT_EQ(modified[0], "NULL.Count: 1* (default: 5)");
    EXPECT_EQ(modified[1], "Video.Gamma: 0.500000* (default: 0.000000)");

    ZArray<ZString> lines;
    ListConfigSection(kBase, lines);
    EXPECT_EQ(lines.Count(), 5u);
    ListConfigSection(ZHashedString("Nowhere"), lines);
    EXPECT_EQ(lines.Count(), 5u);
}

}  // namespace
