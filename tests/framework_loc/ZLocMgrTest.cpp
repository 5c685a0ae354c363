#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LocFixture.h"

namespace {

using loctest::H;
using loctest::Str;

class ZLocMgrTest : public loctest::LocTest {
protected:
    // A default language and a German translation that lacks some keys.
    void WriteData() {
        m_data.Write("Language List.ini", "[Prefixes]\nGerman: Localization\\German\\\n");
        m_data.Write("Startup.txt", "Autoglottonym: English\nSplashText: Hello there\n");
        m_data.Write("General.txt",
                     "Title: Skyreach\n"
                     "[Menu]\nStart: Start\nQuit: Quit\nOnly: Default only\nGreeting: Hello,\tworld\n"
                     "[Fmt]\nCount: %d coins\n");
        m_data.Write("Localization/German/Startup.txt", "Autoglottonym: Deutsch\n");
        m_data.Write("Localization/German/General.txt",
                     "Title: Himmelsweite\n[Menu]\nStart: Los\nQuit: Ende\n[Fmt]\nCount: %d Münzen\n");
    }

    // The start-up order: languages, files, then both passes.
    void StartUp(const char* language) {
        WriteData();
        m_loc->AddLanguageList("Language List.ini");
        m_loc->AddStringFile("Startup.txt");
        m_loc->AddStringFile("General.txt");
        m_loc->SetDefaultPath(true);
        m_loc->ApplyStartupLanguage(language, true);
        m_loc->SetDefaultPath(false);
        m_loc->ApplyStartupLanguage(language, false);
    }
};

TEST_F(ZLocMgrTest, LookupsTryTheLanguageThenTheDefaultThenAVisibleText) {
    StartUp("German");
    struct Case {
        const char* file;
        const char* section;  // null: the none name
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"General", "Menu", "Start", "Los"},
        {"General", "Menu", "Only", "Default only"},  // missing from the translation
        {"General", nullptr, "Title", "Himmelsweite"},
        {"General", "", "Title", "Himmelsweite"},  // the empty name finds header-less keys too
        {"Startup", "", "SplashText", "Hello there"},
        {"General", "Menu", "Title", "[String General.Menu.Title not found]"},
        {"Nope", "Menu", "Title", "[File Nope for string Menu.Title not found]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Get(c.file, c.section, c.key), c.expected) << c.file << "." << (c.section ? c.section : "") << "."
                                                             << c.key;
    }
    bool found = true;
    EXPECT_FALSE(m_loc->HasString(H("General"), H("Menu"), H("Title"), found));
    EXPECT_FALSE(found);
    EXPECT_TRUE(m_loc->HasString(H("General"), H("Menu"), H("Only")));
}

TEST_F(ZLocMgrTest, StartUpPassesLoadStartupFilesFirst) {
    WriteData();
    m_loc->AddLanguageList("Language List.ini");
    m_loc->AddStringFile("Startup.txt");
    m_loc->AddStringFile("General.txt");
    m_loc->SetDefaultPath(true);
    m_loc->ApplyStartupLanguage("German", true);
    EXPECT_EQ(Get("Startup", "", "Autoglottonym"), "Deutsch");
    EXPECT_EQ(Get("General", "Menu", "Start"), "[File General for string Menu.Start not found]");

    m_loc->SetDefaultPath(false);
    EXPECT_EQ(Get("General", "Menu", "Start"), "Start");  // no localised copy yet
    m_loc->ApplyStartupLanguage("German", false);
    EXPECT_EQ(Get("General", "Menu", "Start"), "Los");
    EXPECT_EQ(Get("Startup", "", "Autoglottonym"), "Deutsch");
}

TEST_F(ZLocMgrTest, StartupFileIsNamedExactlyStartup) {
    struct Case {
        const char* name;
        bool loadedByStartupPass;
    };
    const Case cases[] = {
        {"Startup.txt", true},
        {"Startup.ini", true},
        {"startup.txt", false},
        {"STARTUP.txt", false},
    };
    m_data.Write("Startup.txt", "Autoglottonym: English\n");
    m_data.Write("Startup.ini", "Autoglottonym: English\n");
    for (const Case& c : cases) {
        ZLocMgr loc;
        loc.AddStringFile(c.name);
        loc.SetDefaultPath(true);
        EXPECT_EQ(loc.HasString(H("Startup"), ZHashedString(), H("Autoglottonym")), c.loadedByStartupPass) << c.name;
        loc.SetDefaultPath(false);
        EXPECT_TRUE(loc.HasString(H("Startup"), ZHashedString(), H("Autoglottonym"))) << c.name;
    }
}

TEST_F(ZLocMgrTest, PseudoLocalisationMasksFoundStringsOnly) {
    StartUp("xXx");
    EXPECT_TRUE(m_loc->IsPseudoLocalized());
    EXPECT_FALSE(m_loc->IsLocalized());  // "xxx" is not loaded as a language
    EXPECT_EQ(Get("General", "Menu", "Greeting"), "XXXXXX\tXXXXX");
    EXPECT_EQ(Get("General", "Menu", "Title"), "[String General.Menu.Title not found]");
    EXPECT_EQ(Get("Nope", "A", "B"), "[File Nope for string A.B not found]");
}

TEST_F(ZLocMgrTest, PseudoLocalisationByteRule) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Hello, world\n", "XXXXXX XXXXX\n"},
        {"\x01\x1F\x20\x21", "\x01\x1F\x20X"},
        {"\x7F\x81\x8D\x8F\x90\x9D", "\x7F\x81\x8D\x8F\x90\x9D"},
        {"\x7E\x80\x82\xC3\xA9\xFF", "XXXXXX"},  // UTF-8 bytes are masked one by one
        {"", ""},
    };
    for (const Case& c : cases) {
        const ZString masked =
            ZLocMgr::PseudoLocalize(ZString::FromBytes(c.in.data(), static_cast<int32_t>(c.in.size())));
        EXPECT_EQ(Str(masked), c.out);
    }
}

TEST_F(ZLocMgrTest, ChangingTheLanguageAtRunTime) {
    StartUp("");
    struct Case {
        const char* language;
        const char* start;
        bool pseudo;
        bool localized;
    };
    const Case cases[] = {
        {"German", "Los", false, true},
        {"XXX", "XXXXX", true, false},  // default texts, masked
        {"German", "Los", false, true},
        {"", "Start", false, false},
    };
    for (const Case& c : cases) {
        m_loc->ChangeLanguage(c.language);
        EXPECT_EQ(Get("General", "Menu", "Start"), c.start) << c.language;
        EXPECT_EQ(m_loc->IsPseudoLocalized(), c.pseudo) << c.language;
        EXPECT_EQ(m_loc->IsLocalized(), c.localized) << c.language;
    }
}

// Records what a text holder would show at the moment it is told.
class TitleLabel : public ZLocListener {
public:
    explicit TitleLabel(const ZLocMgr& loc) : m_loc(loc) {}
    void OnLanguageChanged() override {
        ++calls;
        shown = Str(m_loc.GetString(H("General"), H("Menu"), H("Start")));
    }
    int calls = 0;
    std::string shown;

private:
    const ZLocMgr& m_loc;
};

TEST_F(ZLocMgrTest, ListenersAreToldOnceWithTheNewTextsInPlace) {
    StartUp("");
    TitleLabel label(*m_loc);

    m_loc->ChangeLanguage("German");
    EXPECT_EQ(label.calls, 1);
    EXPECT_EQ(label.shown, "Los");

    // Pseudo-localisation is already on when the listener hears of the switch.
    m_loc->ChangeLanguage("xxx");
    EXPECT_EQ(label.calls, 2);
    EXPECT_EQ(label.shown, "XXXXX");

    m_loc->SetPseudoLocalization(false);
    EXPECT_EQ(label.calls, 3);
    EXPECT_EQ(label.shown, "Start");
    m_loc->SetPseudoLocalization(false);  // no change, nothing to tell
    EXPECT_EQ(label.calls, 3);

    m_loc->SetLocalizedPath("German", false);
    EXPECT_EQ(label.calls, 4);
    EXPECT_EQ(label.shown, "Los");
}

TEST_F(ZLocMgrTest, EmptyLanguageDropsLocalisedCopiesAndCoverage) {
    StartUp("German");
    int32_t total = 0;
    int32_t translated = 0;
    EXPECT_GT(m_loc->GetCoverage(total, translated), 0.0f);

    m_loc->SetLocalizedPath("", false);
    EXPECT_FALSE(m_loc->IsLocalized());
    EXPECT_EQ(m_loc->GetCoverage(total, translated), 0.0f);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(translated, 0);
    EXPECT_EQ(Get("General", "Menu", "Start"), "Start");
}

TEST_F(ZLocMgrTest, CoverageCountsDefaultKeysTheLanguageTranslates) {
    int32_t total = -1;
    int32_t translated = -1;
    EXPECT_EQ(m_loc->GetCoverage(total, translated), 0.0f);  // nothing loaded: no division by zero
    EXPECT_EQ(total, 0);

    StartUp("German");
    // Startup: 2 keys, 1 translated. General: 6 keys (Title, 4 of Menu, Count), 4 translated.
    const float share = m_loc->GetCoverage(total, translated);
    EXPECT_EQ(total, 8);
    EXPECT_EQ(translated, 5);
    EXPECT_FLOAT_EQ(share, 5.0f / 8.0f);
}

TEST_F(ZLocMgrTest, UserLocalizationFolderOffersItsSubFoldersAsLanguages) {
    WriteData();
    WriteUserFile("Klingon/General.txt", "[Menu]\nStart: Qapla\n");
    WriteUserFile("english/General.txt", "[Menu]\nStart: Exported\n");
    WriteUserFile("German/General.txt", "[Menu]\nStart: Never read\n");
    WriteUserFile("Pirate/Old/General.txt", "[Menu]\nStart: Arr\n");
    m_loc->AddLanguageList("Language List.ini");
    m_loc->AddStringFile("General.txt");
    m_loc->SetDefaultPath(false);

    ZArray<ZString> languages;
    m_loc->ListLanguages(languages);
    std::vector<std::string> names;
    for (const ZString& name : languages) {
        names.push_back(Str(name));
    }
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "German");  // the list's languages come first
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"German", "Klingon", "Pirate", "Pirate\\Old"}));

    struct Case {
        const char* language;
        const char* start;
    };
    const Case cases[] = {
        {"Klingon", "Qapla"},
        {"Pirate\\Old", "Arr"},
        {"German", "Los"},  // a listed language is read from the data, not the folder
        {"Vulcan", "Start"},  // no such folder: empty copies, default texts
    };
    for (const Case& c : cases) {
        m_loc->SetLocalizedPath(c.language, false);
        EXPECT_EQ(Get("General", "Menu", "Start"), c.start) << c.language;
    }
}

TEST_F(ZLocMgrTest, LoadStringFilesAnswersOnePerReferenceWithoutSwitching) {
    StartUp("");
    WriteUserFile("Klingon/General.txt", "[Menu]\nStart: Qapla\n");
    m_loc->SetLocalizedPath("Klingon", false);
    int32_t totalBefore = 0;
    int32_t translatedBefore = 0;
    m_loc->GetCoverage(totalBefore, translatedBefore);

    ZArray<ZLocMgr::StringRef> refs;
    refs.PushBack({H("Startup"), ZHashedString(), H("Autoglottonym")});
    refs.PushBack({H("Startup"), ZHashedString(), H("SplashText")});  // untranslated: default text
    refs.PushBack({H("General"), H("Menu"), H("Missing")});           // nowhere: empty
    refs.PushBack({H("Startup"), H(""), H("Autoglottonym")});
    const ZArray<ZString> texts = m_loc->LoadStringFiles(ZString("German"), refs);
    ASSERT_EQ(texts.Count(), 4u);
    EXPECT_EQ(Str(texts[0]), "Deutsch");
    EXPECT_EQ(Str(texts[1]), "Hello there");
    EXPECT_EQ(Str(texts[2]), "");
    EXPECT_EQ(Str(texts[3]), "Deutsch");

    // The current language, its texts and its coverage are untouched.
    EXPECT_EQ(Str(m_loc->GetCurrentLanguage()), "Klingon");
    EXPECT_EQ(Get("General", "Menu", "Start"), "Qapla");
    int32_t total = 0;
    int32_t translated = 0;
    m_loc->GetCoverage(total, translated);
    EXPECT_EQ(total, totalBefore);
    EXPECT_EQ(translated, translatedBefore);
}

TEST_F(ZLocMgrTest, ReplacedTextsCanBeDiscarded) {
    StartUp("German");
    m_data.Write("QXV_Strings.txt", "[NPC (Jeweller)]\nString0011: a <img>ui:gem<img>\nString0012: a <img>ui:gem<img>\n");
    m_loc->AddStringFile("QXV_Strings.txt");
    m_loc->SetDefaultPath(false);

    // The default copy answers; the localised copy changes too when it holds the text.
    EXPECT_TRUE(m_loc->ReplaceInString(H("General"), H("Menu"), H("Quit"), "Quit", "Leave"));
    EXPECT_FALSE(m_loc->ReplaceInString(H("General"), H("Menu"), H("Start"), "Los", "Auf"));
    EXPECT_EQ(Get("General", "Menu", "Start"), "Auf");
    EXPECT_TRUE(m_loc->ReplaceInString(H("General"), H(""), H("Title"), "Sky", "Cloud"));
    EXPECT_TRUE(m_loc->ReplaceInString(H("General"), H(""), H("Title"), "Cloud", "Rain"));

    EXPECT_FALSE(m_loc->ReplaceInString(H("QXV_Strings"), H("NPC (Jeweller)"), H("String0011"), "gem", "key"));
    EXPECT_TRUE(m_loc->ReplaceInString(H("QXV_Strings"), H("NPC (Jeweller)"), H("String0012"), "gem", "key"));
    EXPECT_EQ(Get("QXV_Strings", "NPC (Jeweller)", "String0011"), "a <img>ui:gem<img>");
    EXPECT_EQ(Get("QXV_Strings", "NPC (Jeweller)", "String0012"), "a <img>ui:key<img>");

    m_loc->DiscardStringChanges();
    EXPECT_EQ(Get("General", "Menu", "Start"), "Los");
    EXPECT_EQ(Get("QXV_Strings", "NPC (Jeweller)", "String0012"), "a <img>ui:gem<img>");
    m_loc->SetLocalizedPath("", false);
    EXPECT_EQ(Get("General", nullptr, "Title"), "Skyreach");
}

TEST_F(ZLocMgrTest, CountsStringsAndWordsOfTheDefaultTexts) {
    m_data.Write("Words.txt", "A: one two  three\n[S]\nB: x\nC:\n");
    m_loc->AddStringFile("Words.txt");
    m_loc->SetDefaultPath(false);
    int32_t strings = -1;
    int32_t words = -1;
    m_loc->CountStringsAndWords(strings, words);
    EXPECT_EQ(strings, 3);
    EXPECT_EQ(words, 4);  // runs of blanks and empty values count no word
}

TEST_F(ZLocMgrTest, LanguageListAddsOneLanguagePerPrefixEntry) {
    struct Case {
        const char* text;  // null: no file at all
        std::vector<std::string> languages;
    };
    const Case cases[] = {
        {"[Prefixes]\nGerman: Localization\\German\\\nFrench: Loc\\Fr\\\n", {"French", "German"}},
        {"[Other]\nGerman: Localization\\German\\\n", {}},
        {"German: Localization\\German\\\n", {}},
        {nullptr, {}},
    };
    for (const Case& c : cases) {
        korvtest::TempDir data;
        if (c.text != nullptr) {
            data.Write("Language List.ini", c.text);
        }
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(data.Path().c_str());
        ZLocMgr loc;
        EXPECT_EQ(loc.AddLanguageList("Language List.ini"), c.languages.size());
        ZArray<ZString> listed;
        loc.ListLanguages(listed);
        std::vector<std::string> names;
        for (const ZString& name : listed) {
            names.push_back(Str(name));
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.languages) << (c.text ? c.text : "(no file)");
    }
}

TEST_F(ZLocMgrTest, EngineStringFilesComeFirstInTheirOrder) {
    m_loc->AddEngineStringFiles();
    m_loc->AddStringFile("KorvanthGame.txt");
    ZArray<ZString> files;
    EXPECT_EQ(m_loc->ListStringFiles(files), 6u);
    const char* const expected[] = {"Startup.txt",        "General.txt", "Input.txt",
                                    "EngineControls.txt", "Menus.txt",   "KorvanthGame.txt"};
    for (uint32_t i = 0; i < files.Count(); ++i) {
        EXPECT_EQ(Str(files[i]), expected[i]);
    }
}

TEST_F(ZLocMgrTest, FormattedStringsFallBackWhenATranslationDoesNotFit) {
    StartUp("");
    m_data.Write("Localization/German/Fmt.txt", "[Fmt]\nGood: %d Münzen\nBad: %s Münzen\nBoth: %d und %d\n");
    m_data.Write("Fmt.txt", "[Fmt]\nGood: %d coins\nBad: %d coins\nBoth: %s\nPlain: no conversions\n");
    m_loc->AddStringFile("Fmt.txt");
    m_loc->SetDefaultPath(false);
    m_loc->ChangeLanguage("German");

    struct Case {
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Good", "3 Münzen"},
        {"Bad", "3 coins"},  // the translation wants a text: the default text is used
        {"Both", "[String Fmt.Fmt.Both has a bad format]"},
        {"Plain", "[String Fmt.Fmt.Plain has a bad format]"},  // the number would be lost
        {"Missing", "[String Fmt.Fmt.Missing not found]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Str(m_loc->FormatString(H("Fmt"), H("Fmt"), H(c.key), 3)), c.expected) << c.key;
    }

    m_loc->ChangeLanguage("xxx");
    EXPECT_EQ(Str(m_loc->FormatString(H("Fmt"), H("Fmt"), H("Good"), 3)), "3 XXXXX");
}

}  // namespace
