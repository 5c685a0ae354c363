// The command language: the word splitter, the resolution reader, dispatch,
// the completion query and the command-line passes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleFixture.h"
#include "framework/ZConsoleCommand.h"

namespace consoletest {
namespace {

std::vector<std::string> Words(const ZConsoleWordList& list) {
    std::vector<std::string> words;
    for (const ZString& word : list) {
        words.emplace_back(word.GetText(), static_cast<size_t>(word.GetLength()));
    }
    return words;
}

TEST(TokenizeCommandLine, SplitsAtBlanksAndKeepsQuotedBlanks) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
        bool blankEnded;
    };
    const Case cases[] = {
        {"", {}, false},
        {"   \t\r\n\v\f", {}, false},
        {"quit", {"quit"}, false},
        {"quit ", {"quit"}, true},
        {"  set\tVideo\nVSync\r0", {"set", "Video", "VSync", "0"}, true},
        {"set Video \"Window Title\" 3", {"set", "Video", "Window Title", "3"}, true},
        {"say 'it''s'", {"say", "it", "s"}, true},
        // No closing quote: the word runs to the end.
        {"\"a b", {"a b"}, false},
        // A closing quote ends the word as a blank does.
        {"\"set\"", {"set"}, true},
        {"\"\"", {""}, true},
        // Quotes inside a word are plain bytes.
        {"ab\"cd\"", {"ab\"cd\""}, false},
        {"\"ab\"cd", {"ab", "cd"}, true},
    };
    for (const Case& c : cases) {
        ZConsoleWordList words;
        EXPECT_EQ(TokenizeCommandLine(words, c.text), c.blankEnded) << c.text;
        EXPECT_EQ(Words(words), c.words) << c.text;
    }
    ZConsoleWordList words;
    EXPECT_FALSE(TokenizeCommandLine(words, nullptr));
    EXPECT_TRUE(words.IsEmpty());
}

// No fixed word buffer: a process command line can be far longer than a
// console line, and every byte must survive.
TEST(TokenizeCommandLine, SplitsLinesOfAnyLength) {
    const std::string longWord(5000, 'w');
    const std::string text = "TestLoc \"" + longWord + " x\" " + longWord;
    ZConsoleWordList words;
    EXPECT_TRUE(TokenizeCommandLine(words, text.c_str()));
    EXPECT_EQ(Words(words), (std::vector<std::string>{"TestLoc", longWord + " x", longWord}));
    // A second split replaces the first one's words.
    TokenizeCommandLine(words, "one");
    EXPECT_EQ(Words(words), std::vector<std::string>{"one"});
}

TEST(ParseResolutionText, ReadsWidthSeparatorHeight) {
    struct Case {
        const char* text;
        bool ok;
        int32_t width, height;
    };
    const Case cases[] = {
        {" 1280x720", true, 1280, 720},
        {" 1280X720", true, 1280, 720},
        {" 1280\xD7"
         "720",
         true, 1280, 720},
        {" 1280 720", true, 1280, 720},
        {"1280x720", true, 1280, 720},
        {" 1280x 720", true, 1280, 720},
        {" 1280x720x5", true, 1280, 720},  // stops once both are read
        {" 1280 x 720", true, 1280, 720},  // as the usage text shows it
        {" 1280  x\t720 ", true, 1280, 720},
        {" 1280 x x 720", false, 0, 0},
        {" x720", false, 0, 0},
        {"x720", false, 0, 0},
        {" 1280x", false, 0, 0},
        {" 1280", false, 0, 0},
        {" 1280xx720", false, 0, 0},
        {" -1280x720", false, 0, 0},
        {" 1280,720", false, 0, 0},
        {"", false, 0, 0},
        {" 99999999999x1", true, INT32_MAX, 1},
    };
    for (const Case& c : cases) {
        int32_t width = 0;
        int32_t height = 0;
        EXPECT_EQ(ParseResolutionText(c.text, width, height), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(width, c.width) << c.text;
            EXPECT_EQ(height, c.height) << c.text;
        }
    }
}

TEST(EqualsNoCaseASCII, FoldsOnlyASCIILetters) {
    EXPECT_TRUE(EqualsNoCaseASCII("ResetAll", "resetall"));
    EXPECT_FALSE(EqualsNoCaseASCII("reset", "resetall"));
    EXPECT_TRUE(EqualsNoCaseASCII("reset", "RESETALL", 5));
    EXPECT_FALSE(EqualsNoCaseASCII("\xC4", "\xE4"));
    EXPECT_TRUE(EqualsNoCaseASCII(nullptr, ""));
}

using ConsoleDispatch = ConsoleTest;

TEST_F(ConsoleDispatch, NamesIgnoreCase) {
    int runs = 0;
    static int* counter = nullptr;
    counter = &runs;
    game->RegisterConsoleCommand(
        "Probe",
        [](const ZConsoleWordList& words, uintptr_t argument) {
            EXPECT_EQ(argument, 0u);
            EXPECT_FALSE(words.IsEmpty());
            ++*counter;
        },
        "", false);
    for (const char* line : {"probe", "PROBE", "pRoBe x y", "  probe  "}) {
        EXPECT_TRUE(Run(line).empty()) << line;
    }
    EXPECT_EQ(runs, 4);
    Run("QUIT");
    Run("Exit");
    EXPECT_EQ(game->exits, 2);
}

TEST_F(ConsoleDispatch, UnknownVerbsAndBlankLinesAreReported) {
    EXPECT_EQ(Run("nosuchcommand 1 2"), std::vector<std::string>{"command \"nosuchcommand\" unrecognized"});
    // The verb prints as it was first interned.
    EXPECT_EQ(Run("NOSUCHCOMMAND"), std::vector<std::string>{"command \"nosuchcommand\" unrecognized"});
    EXPECT_EQ(Run("   "), std::vector<std::string>{"command \"NULL\" unrecognized"});
}

TEST_F(ConsoleDispatch, EveryBuiltInNameIsRegistered) {
    struct Case {
        const char* name;
        const char* usage;
        bool developerOnly;
    };
    const Case cases[] = {
        {"quit", "", false},
        {"exit", "", false},
        {"end", "", false},
        {"close", "", false},
        {"crash", "", false},
        {"softcrash", "", false},
        {"hardcrash", "", false},
        {"resetrenderer", "", false},
        {"applyvideooptions", "", false},
        {"clear", "", false},
        {"cls", "", false},
        {"set", "[section] variable value", false},
        {"unset", "[section] variable", false},
        {"reset", "[section] variable", false},
        {"unsetall", "section", false},
        {"resetall", "section", false},
        {"show", "[section] variable", false},
        {"setres", "width x height", false},
        {"screenshot", "", false},
        {"hitch", "duration", false},
        {"dumpstrings", "", false},
        {"dumpstringtable", "", false},
        {"dumpcontent", "", false},
        {"dumpallcontent", "", false},
        {"dumprenderinfo", "", false},
        {"edit", "", false},
        {"editmode", "", false},
        {"editor", "", false},
        {"slomo", "rate", false},
        {"debugname", "[name]", true},
        {"showname", "", false},
        {"clipboard", "copy|paste", false},
        {"uitest", "", true},
        {"testui", "", true},
        {"thread", "", false},
        {"currentthread", "", false},
        {"threads", "", false},
        {"allthreads", "", false},
        {"listconfig", "[section]", false},
        {"listconfigsections", "", false},
        {"listconfigdeltas", "", false},
        {"language", "[path]", false},
        {"setlanguage", "[path]", false},
        {"stringcount", "", false},
        {"fullscreenmode", "", false},
        {"videostats", "", false},
        {"videotests", "", false},
        {"open", "[subfolder]", false},
        {"goto", "[subfolder]", false},
        {"folder", "[subfolder]", false},
        {"files", "[subfolder]", false},
        {"appdata", "[subfolder]", false},
        {"config", "", false},
        {"unlockachievement", "name", true},
        {"resetachievements", "", true},
        {"displayachievements", "", true},
        {"platformtests", "", false},
        {"outputrendertargets", "", false},
        {"version", "", false},
        {"libconfig", "", false},
        {"locstats", "", false},
        {"sound", "FILE | loop FILE | stop", false},
    };
    EXPECT_EQ(std::size(cases), 62u);
    EXPECT_EQ(game->GetConsoleCommands().Count(), 62u);
    for (const Case& c : cases) {
        const auto* node = game->GetConsoleCommands().Find(ZHashedString(c.name));
        ASSERT_NE(node, nullptr) << c.name;
        EXPECT_NE(node->value.handler, nullptr) << c.name;
        EXPECT_STREQ(node->value.usage.GetText(), c.usage) << c.name;
        EXPECT_EQ(node->value.developerOnly, c.developerOnly) << c.name;
    }
}

std::vector<std::string> Names(const ZArray<ZConsoleCompletion>& candidates) {
    std::vector<std::string> names;
    for (const ZConsoleCompletion& c : candidates) {
        names.emplace_back(c.name.GetText());
    }
    return names;
}

bool Has(const std::vector<std::string>& names, const char* name) {
    for (const std::string& n : names) {
        if (n == name) {
            return true;
        }
    }
    return false;
}

TEST_F(ConsoleDispatch, CompletionMatchesThePrefixUntilABlankEndsTheWord) {
    ZArray<ZConsoleCompletion> candidates;
    EXPECT_EQ(game->CollectConsoleCompletions("SE", candidates), 2);
    const std::vector<std::string> names = Names(candidates);
    for (const char* name : {"set", "setres", "setlanguage"}) {
        EXPECT_TRUE(Has(names, name)) << name;
    }
    for (const std::string& name : names) {
        EXPECT_TRUE(EqualsNoCaseASCII(name.c_str(), "se", 2)) << name;
    }
    // Ordered by id as a signed number, as the registry walks.
    for (uint32_t i = 1; i < candidates.Count(); ++i) {
        EXPECT_LT(static_cast<int32_t>(candidates[i - 1].name.GetId()),
                  static_cast<int32_t>(candidates[i].name.GetId()));
    }

    EXPECT_EQ(game->CollectConsoleCompletions("set ", candidates), 3);
    EXPECT_EQ(Names(candidates), std::vector<std::string>{"set"});
    EXPECT_STREQ(candidates[0].usage.GetText(), "[section] variable value");

    EXPECT_EQ(game->CollectConsoleCompletions("set Video Vs", candidates), 3);
    EXPECT_EQ(Names(candidates), std::vector<std::string>{"set"});

    EXPECT_EQ(game->CollectConsoleCompletions("   ", candidates), 0);
    EXPECT_TRUE(candidates.IsEmpty());
    EXPECT_EQ(game->CollectConsoleCompletions("zzz", candidates), 3);
    EXPECT_TRUE(candidates.IsEmpty());
}

TEST_F(ConsoleDispatch, DeveloperCommandsAreOfferedOnlyInDevMode) {
    ZArray<ZConsoleCompletion> candidates;
    game->CollectConsoleCompletions("debug", candidates);
    EXPECT_TRUE(candidates.IsEmpty());
    game->m_devMode = true;
    game->CollectConsoleCompletions("debug", candidates);
    EXPECT_EQ(Names(candidates), std::vector<std::string>{"debugname"});
    game->m_devMode = false;
    // Typed in full it runs whatever DevMode says.
    const std::vector<std::string> out = Run("debugname tester");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].rfind("Set debug PC name to \"tester\" with hash 0x", 0), 0u) << out[0];
}

// The command line splits like a console line; TestLoc acts in the first pass only.
TEST_F(ConsoleDispatch, CommandLinePassesSplitLikeConsoleLines) {
    class Recorder : public TestGame {
    public:
        void HandleCommandLineArgs(const ZArray<ZString>& words, int32_t pass) override {
            passes.push_back(pass);
            seen = Words(words);
            ZBaseGame::HandleCommandLineArgs(words, pass);
        }
        std::vector<int32_t> passes;
        std::vector<std::string> seen;
    };
    game.reset();
    Recorder recorder;
    recorder.SetLogging(false);
    recorder.RunCommandLineText("", false);
    recorder.RunCommandLineText(nullptr, false);
    EXPECT_TRUE(recorder.passes.empty());

    recorder.RunCommandLineText("-window \"My Save\" testloc", true);
    EXPECT_EQ(recorder.passes, std::vector<int32_t>{1});
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"-window", "My Save", "testloc"}));
    EXPECT_FALSE(ZLocMgr::GetInstance()->IsPseudoLocalized());
    recorder.RunCommandLineText("FontGen TestLoc", false);
    EXPECT_TRUE(ZLocMgr::GetInstance()->IsPseudoLocalized());
}

}  // namespace
}  // namespace consoletest
