// The console's input line as the keyboard drives it: typing with repeat,
// editing, history, Enter, the clipboard and Tab completion.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ConsoleFixture.h"

namespace consoletest {
namespace {

using namespace platform;
using ZConsoleInput = ConsoleTest;

std::string Input(ZConsole& console) {
    return console.GetInputLine();
}

TEST_F(ZConsoleInput, TypesCharactersForShiftAndCapsLock) {
    Type("set 1");
    EXPECT_EQ(Input(Console()), "set 1");
    EXPECT_EQ(Console().GetCursor(), 5);
    EXPECT_EQ(Console().GetInputLength(), 5);

    Down(DIK_LSHIFT);
    Type("a1");
    Up(DIK_LSHIFT);
    EXPECT_EQ(Input(Console()), "set 1A!");
    Tap(DIK_CAPITAL);
    Type("b");
    Tap(DIK_CAPITAL);
    Type("c");
    EXPECT_EQ(Input(Console()), "set 1A!Bc");

    // Ctrl and Alt chords type nothing; the console key belongs to its control.
    Down(DIK_LCONTROL);
    Type("x");
    Up(DIK_LCONTROL);
    Down(DIK_RMENU);
    Type("x");
    Up(DIK_RMENU);
    Tap(DIK_GRAVE);
    EXPECT_EQ(Input(Console()), "set 1A!Bc");
}

TEST_F(ZConsoleInput, EditsAtTheCursor) {
    Type("abcd");
    Tap(DIK_HOME);
    Tap(DIK_DELETE);
    EXPECT_EQ(Input(Console()), "bcd");
    EXPECT_EQ(Console().GetCursor(), 0);
    Tap(DIK_RIGHT);
    Type("x");
    EXPECT_EQ(Input(Console()), "bxcd");
    Tap(DIK_END);
    Tap(DIK_LEFT);
    Tap(DIK_BACK);
    EXPECT_EQ(Input(Console()), "bxd");
    EXPECT_EQ(Console().GetCursor(), 2);
    Tap(DIK_END);
    Tap(DIK_DELETE);
    Tap(DIK_RIGHT);
    EXPECT_EQ(Console().GetCursor(), 3);
    Tap(DIK_HOME);
    Tap(DIK_BACK);
    Tap(DIK_LEFT);
    EXPECT_EQ(Console().GetCursor(), 0);
    EXPECT_EQ(Input(Console()), "bxd");
}

// A held key acts once, again after 0.25 s, then every 0.05 s.
TEST_F(ZConsoleInput, HeldBackspaceRepeats) {
    Type("abcdefghij");
    const float dt = 1.0f / 64.0f;
    Down(DIK_BACK);
    std::vector<int> deletedAt;
    int length = Console().GetInputLength();
    for (int frame = 0; frame <= 25; ++frame) {
        Frame(dt);
        if (Console().GetInputLength() != length) {
            deletedAt.push_back(frame);
            length = Console().GetInputLength();
        }
    }
    Up(DIK_BACK);
    EXPECT_EQ(deletedAt, (std::vector<int>{0, 16, 20, 24}));
}

TEST_F(ZConsoleInput, TypingStopsAtSixtyFourCharacters) {
    Type(std::string(70, 'q'));
    EXPECT_EQ(Console().GetInputLength(), ZConsole::kMaxInputLength);
    EXPECT_EQ(Input(Console()), std::string(64, 'q'));
}

TEST_F(ZConsoleInput, EnterRunsTheLineAndRemembersItOnce) {
    Console().Clear();
    Type("stringcount");
    Tap(DIK_RETURN);
    EXPECT_EQ(Input(Console()), "");
    EXPECT_EQ(Console().GetCursor(), 0);
    EXPECT_EQ(Console().GetHistoryIndex(), -1);
    EXPECT_STREQ(Console().GetOutputLine(17), "> stringcount");
    EXPECT_STREQ(Console().GetMemoryLine(23), "stringcount");

    Type("stringcount");
    Tap(DIK_NUMPADENTER);
    Down(DIK_LSHIFT);
    Type("stringcount");
    Up(DIK_LSHIFT);
    Tap(DIK_RETURN);
    EXPECT_STREQ(Console().GetMemoryLine(23), "STRINGCOUNT");
    for (int i = 0; i < 23; ++i) {
        EXPECT_STREQ(Console().GetMemoryLine(i), "") << i;
    }

    // Enter on an empty line does nothing.
    Console().Clear();
    Tap(DIK_RETURN);
    EXPECT_STREQ(Console().GetOutputLine(23), "");
}

TEST_F(ZConsoleInput, AFullMemoryDropsItsOldestLine) {
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        Console().SetMemoryLine(i, ("version " + std::to_string(i)).c_str());
    }
    Type("version new");
    Tap(DIK_RETURN);
    EXPECT_STREQ(Console().GetMemoryLine(0), "version 1");
    EXPECT_STREQ(Console().GetMemoryLine(22), "version 23");
    EXPECT_STREQ(Console().GetMemoryLine(23), "version new");
    // A repeated line moves to the newest slot.
    Type("version 5");
    Tap(DIK_RETURN);
    EXPECT_STREQ(Console().GetMemoryLine(4), "version 6");
    EXPECT_STREQ(Console().GetMemoryLine(22), "version new");
    EXPECT_STREQ(Console().GetMemoryLine(23), "version 5");
}

TEST_F(ZConsoleInput, UpAndDownBrowseTheMemoryAroundItsGaps) {
    Console().SetMemoryLine(0, "oldest");
    Console().SetMemoryLine(23, "newest");
    struct Step {
        uint8_t key;
        const char* shown;
        int32_t index;
    };
    const Step steps[] = {
        {DIK_UP, "newest", 23},  {DIK_UP, "oldest", 0},    {DIK_UP, "newest", 23},
        {DIK_DOWN, "oldest", 0}, {DIK_DOWN, "newest", 23},
    };
    for (const Step& step : steps) {
        Tap(step.key);
        EXPECT_EQ(Input(Console()), step.shown);
        EXPECT_EQ(Console().GetHistoryIndex(), step.index);
        EXPECT_EQ(Console().GetCursor(), static_cast<int32_t>(std::strlen(step.shown)));
    }
    // From no position, Down starts at the oldest line.
    Console().SetMemoryLine(0, "");
    Tap(DIK_BACK);
    Type("x");
    Tap(DIK_RETURN);
    Tap(DIK_DOWN);
    EXPECT_EQ(Input(Console()), "newest");
}

TEST_F(ZConsoleInput, HintIsTheRestOfTheBestCandidate) {
    Type("se");
    EXPECT_STREQ(Console().GetHintText(), "t");
    EXPECT_STREQ(Console().GetNextSuffix(), "t");
    // A command entered recently comes before shorter ones.
    for (int i = 0; i < 3; ++i) {
        Tap(DIK_BACK);
    }
    Type("setres 800x600");
    Tap(DIK_RETURN);
    Type("se");
    EXPECT_STREQ(Console().GetHintText(), "tres");
    EXPECT_STREQ(Console().GetRecentVerb(23), "setres");
    Tap(DIK_BACK);
    Tap(DIK_BACK);
    Type("zz");
    EXPECT_STREQ(Console().GetHintText(), "");
    EXPECT_TRUE(Console().GetCandidates().IsEmpty());
}

TEST_F(ZConsoleInput, TabCyclesThroughTheCandidates) {
    Type("se");
    const char* const expected[] = {"set", "setres", "setlanguage", "set"};
    for (const char* line : expected) {
        Tap(DIK_TAB);
        EXPECT_EQ(Input(Console()), line);
        EXPECT_EQ(Console().GetCursor(), static_cast<int32_t>(std::strlen(line)));
    }
    EXPECT_STREQ(Console().GetTabPrefix(), "se");
    // Typing ends the cycle and completes afresh.
    Type(" ");
    EXPECT_STREQ(Console().GetTabPrefix(), "");
    EXPECT_EQ(Console().GetCandidates().Count(), 1u);
    EXPECT_STREQ(Console().GetHintText(), "");
}

// With arguments on the line the only candidate is the whole command; its
// suffix is empty, and Tab leaves the line alone.
TEST_F(ZConsoleInput, TabAfterArgumentsAddsNothing) {
    Type("set vid");
    ASSERT_EQ(Console().GetCandidates().Count(), 1u);
    Tap(DIK_TAB);
    Tap(DIK_TAB);
    EXPECT_EQ(Input(Console()), "set vid");
    // No candidate at all: Tab keeps the line.
    Tap(DIK_BACK);
    Type("q");
    Tap(DIK_HOME);
    Tap(DIK_DELETE);
    Type("z");
    Tap(DIK_TAB);
    EXPECT_EQ(Input(Console()), "zet viq");
}

TEST_F(ZConsoleInput, TabStopsAtSixtyFourCharacters) {
    const std::string name = "se" + std::string(98, 'v');
    game->RegisterConsoleCommand(
        name.c_str(), [](const ZConsoleWordList&, uintptr_t) {}, "", false);
    Type("sev");
    ASSERT_EQ(Console().GetCandidates().Count(), 1u);
    EXPECT_EQ(std::strlen(Console().GetHintText()), 64u);
    Tap(DIK_TAB);
    EXPECT_EQ(Console().GetInputLength(), ZConsole::kMaxInputLength);
    EXPECT_EQ(Input(Console()), name.substr(0, 64));
    Tap(DIK_RETURN);
    EXPECT_EQ(std::string(Console().GetMemoryLine(23)), name.substr(0, 64));
}

TEST_F(ZConsoleInput, PasteTakesTheFirstNonEmptyLine) {
    struct Case {
        const char* clipboard;
        std::string line;
    };
    const Case cases[] = {
        {"abc\r\ndef", "abc\r"},
        {"\n\nsecond", "second"},
        {"", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        Tap(DIK_HOME);
        for (int i = 0; i < 70; ++i) {
            Tap(DIK_DELETE);
        }
        windows->SetClipboardText(c.clipboard);
        Down(DIK_RCONTROL);
        Tap(DIK_V);
        Up(DIK_RCONTROL);
        EXPECT_EQ(Input(Console()), c.line) << c.clipboard;
    }
    const std::string longText(100, 'p');
    windows->SetClipboardText(longText);
    Type("ab");
    Tap(DIK_LEFT);
    Down(DIK_LCONTROL);
    Tap(DIK_V);
    Up(DIK_LCONTROL);
    EXPECT_EQ(Input(Console()), "a" + std::string(62, 'p') + "b");
}

// At a low frame rate many keys go down and up between two frames; the key
// snapshot sees none of them, the text input sees all.
TEST_F(ZConsoleInput, KeysTypedBetweenTwoFramesAreAllKept) {
    for (const char c : std::string("screenshot")) {
        Down(ScanCodeOf(c));
        Up(ScanCodeOf(c));
    }
    Frame();
    EXPECT_EQ(Input(Console()), "screenshot");
}

TEST_F(ZConsoleInput, OnlyPrintableTextReachesTheLine) {
    struct Case {
        char16_t character;
        const char* line;
    };
    const Case cases[] = {
        {u'v', "v"},      {u'!', "!"},  {u' ', " "},  {u'\r', ""}, {u'\b', ""}, {0x1B, ""},
        {0x7F, ""},       {0xE9, ""},   {0x20AC, ""}, {0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.character));
        Tap(DIK_BACK);
        platform::window::Message message;
        message.id = platform::window::WM_CHAR;
        message.character = c.character;
        windows->Post(message);
        Frame();
        EXPECT_EQ(Input(Console()), c.line);
    }
}

// What was typed while the console was closed (the key that opens it too)
// is not in the line when it opens.
TEST_F(ZConsoleInput, OpeningForgetsWhatWasTypedWhileClosed) {
    Down(DIK_Q);
    Up(DIK_Q);
    PumpWindowMessages();
    Console().Toggle();
    Frame();
    EXPECT_EQ(Input(Console()), "");
    Type("ok");
    EXPECT_EQ(Input(Console()), "ok");
    Console().Toggle();
}

}  // namespace
}  // namespace consoletest
