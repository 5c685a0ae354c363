// The console object: output lines, the memory file, opening and closing,
// and the drawing layout.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ConsoleFixture.h"
#include "platform/os/fake/fake.h"

namespace consoletest {
namespace {

TEST(ZConsolePrint, SplitsAtLineFeedsAndScrolls) {
    ZConsole console;
    console.Print("a\nb");
    EXPECT_STREQ(console.GetOutputLine(22), "a");
    EXPECT_STREQ(console.GetOutputLine(23), "b");
    console.Print("c\n");
    EXPECT_STREQ(console.GetOutputLine(22), "c");
    EXPECT_STREQ(console.GetOutputLine(23), "");
    console.Print("first");
    for (int i = 0; i < 24; ++i) {
        console.Print("filler");
    }
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        EXPECT_STREQ(console.GetOutputLine(i), "filler") << i;
    }
    // Reports longer than any fixed buffer still reach the lines (each cut at 256).
    const std::string longLine(600, 'x');
    console.Printf("%s\n%d", longLine.c_str(), 7);
    EXPECT_EQ(std::string(console.GetOutputLine(22)), std::string(256, 'x'));
    EXPECT_STREQ(console.GetOutputLine(23), "7");
}

using ZConsoleMemory = ConsoleTest;

TEST_F(ZConsoleMemory, SavesWithoutGapsAndLoadsFromSlotZero) {
    std::filesystem::create_directories(GamePath("Config"));
    const std::string path = GamePath("Config/ConsoleMemory.txt");
    ZConsole saved;
    saved.SetMemoryLine(5, "stringcount");
    saved.SetMemoryLine(23, "set Video FXAA 2");
    ASSERT_TRUE(saved.SaveMemory(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Keys are written in the INI writer's order; both are there and nothing else.
    const std::string first = "MemoryLine00: stringcount\r\n";
    const std::string second = "MemoryLine01: set Video FXAA 2\r\n";
    EXPECT_NE(text.find(first), std::string::npos) << text;
    EXPECT_NE(text.find(second), std::string::npos) << text;
    EXPECT_EQ(text.size(), first.size() + second.size()) << text;
    // Nothing but the file itself is left in the folder.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(GamePath("Config"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);

    ZConsole loaded;
    ASSERT_TRUE(loaded.LoadMemory(path.c_str()));
    EXPECT_STREQ(loaded.GetMemoryLine(0), "stringcount");
    EXPECT_STREQ(loaded.GetMemoryLine(1), "set Video FXAA 2");
    for (int i = 2; i < ZConsole::kLineCount; ++i) {
        EXPECT_STREQ(loaded.GetMemoryLine(i), "") << i;
    }
}

TEST_F(ZConsoleMemory, ReadsAtMostTwentyFourLinesOfSixtyFourCharacters) {
    std::filesystem::create_directories(GamePath("Config"));
    const std::string path = GamePath("Config/ConsoleMemory.txt");
    std::string text;
    for (int i = 0; i < 30; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "MemoryLine%02d: line %d\r\n", i, i);
        text += line;
    }
    text += "MemoryLine03: " + std::string(100, 'y') + "\r\n";
    std::ofstream(path, std::ios::binary) << text;
    ZConsole console;
    ASSERT_TRUE(console.LoadMemory(path.c_str()));
    EXPECT_STREQ(console.GetMemoryLine(0), "line 0");
    EXPECT_STREQ(console.GetMemoryLine(23), "line 23");
    EXPECT_EQ(std::strlen(console.GetMemoryLine(3)), 64u);
    ASSERT_TRUE(console.SaveMemory(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("MemoryLine23: line 23"), std::string::npos);
    EXPECT_EQ(saved.find("MemoryLine24"), std::string::npos);
}

TEST_F(ZConsoleMemory, AMissingFileLeavesTheMemoryEmptyAndAFullDiskKeepsTheOldFile) {
    const std::string path = GamePath("Config/ConsoleMemory.txt");
    ZConsole console;
    EXPECT_FALSE(console.LoadMemory(path.c_str()));
    EXPECT_STREQ(console.GetMemoryLine(0), "");

    std::filesystem::create_directories(GamePath("Config"));
    console.SetMemoryLine(0, "version");
    ASSERT_TRUE(console.SaveMemory(path.c_str()));
    console.SetMemoryLine(1, "videostats");
    {
        os::fake::DiskFull full;
        EXPECT_FALSE(console.SaveMemory(path.c_str()));
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "MemoryLine00: version\r\n");
}

using ZConsoleOpen = ConsoleTest;

TEST_F(ZConsoleOpen, ToggleShowsTheBackdropAndHoldsAPause) {
    EXPECT_FALSE(Console().IsOpen());
    Console().Toggle();
    EXPECT_TRUE(Console().IsOpen());
    EXPECT_TRUE(Console().IsBackdropVisible());
    EXPECT_TRUE(game->IsGamePaused());
    Console().Toggle();
    EXPECT_FALSE(Console().IsBackdropVisible());
    EXPECT_FALSE(game->IsGamePaused());
    EXPECT_EQ(game->pauses, (std::vector<bool>{true, false}));
}

TEST_F(ZConsoleOpen, OpeningForgetsTheBrowsingPositionOnlyForAnEmptyLine) {
    Console().SetMemoryLine(23, "stringcount");
    Tap(platform::DIK_UP);
    ASSERT_EQ(Console().GetHistoryIndex(), 23);
    ASSERT_STREQ(Console().GetInputLine(), "stringcount");
    Console().Toggle();
    EXPECT_EQ(Console().GetHistoryIndex(), 23);
    Console().Toggle();

    Console().SetMemoryLine(23, "");
    Tap(platform::DIK_UP);
    ASSERT_STREQ(Console().GetInputLine(), "");
    ASSERT_NE(Console().GetHistoryIndex(), -1);
    Console().Toggle();
    EXPECT_EQ(Console().GetHistoryIndex(), -1);
}

TEST_F(ZConsoleOpen, CopyJoinsTheOutputLines) {
    Console().Clear();
    Console().Print("one\n\ntwo");
    Down(platform::DIK_LCONTROL);
    Tap(platform::DIK_C);
    Up(platform::DIK_LCONTROL);
    EXPECT_EQ(windows->Clipboard(), "one\r\ntwo\r\n");
    EXPECT_STREQ(Console().GetInputLine(), "");
}

TEST(ZConsoleDrawing, TableSinFollowsTheSine) {
    for (float x = -20.0f; x <= 20.0f; x += 0.37f) {
        EXPECT_NEAR(ZConsole::TableSin(x), std::sin(x), 1e-3) << x;
    }
    EXPECT_NEAR(ZConsole::TableSin(1.5707964f), 1.0f, 1e-6);
    EXPECT_EQ(ZConsole::TableSin(INFINITY), 0.0f);
    EXPECT_EQ(ZConsole::TableSin(NAN), 0.0f);
    // Right after an edit the cursor shows; it blinks with a period of 2 pi / 8.
    EXPECT_FLOAT_EQ(ZConsole::CursorBlink(0.0f), 1.0f);
    EXPECT_LT(ZConsole::CursorBlink(0.3f), 0.0f);
    EXPECT_GT(ZConsole::CursorBlink(0.785398f), 0.99f);
}

float SixPixelsPerCharacter(const char* text, const void* /*context*/) {
    return 6.0f * static_cast<float>(std::strlen(text));
}

using ZConsoleLayoutTest = ConsoleTest;

TEST_F(ZConsoleLayoutTest, AnEmptyConsoleCoversThreeRows) {
    Console().Clear();
    ZConsoleLayout layout;
    Console().BuildLayout(10.0f, SixPixelsPerCharacter, nullptr, Console().GetLastEditTime(), layout);
    EXPECT_EQ(layout.rows, 3);
    EXPECT_FLOAT_EQ(layout.backdropTransform.m[0], 1.0f);
    EXPECT_FLOAT_EQ(layout.backdropTransform.m[5], -30.0f);
    EXPECT_FLOAT_EQ(layout.backdropTransform.m[10], 0.0f);
    EXPECT_FLOAT_EQ(layout.backdropTransform.m[15], 1.0f);
    ASSERT_EQ(layout.items.Count(), 3u);
    const ZConsoleDrawItem& block = layout.items[0];
    EXPECT_STREQ(block.text, "> ");
    EXPECT_EQ(block.x, 10.0f);
    EXPECT_EQ(block.y, 10.0f);
    EXPECT_EQ(block.color, ZColor32(255, 255, 255, 255));
    // The prompt sits on the first row below the top margin.
    const ZConsoleDrawItem& cursor = layout.items[1];
    EXPECT_STREQ(cursor.text, "_");
    EXPECT_EQ(cursor.x, 22.0f);
    EXPECT_EQ(cursor.y, 10.0f);
    EXPECT_EQ(layout.items[2].color, ZColor32(128, 128, 128, 255));
}

TEST_F(ZConsoleLayoutTest, LinesPromptCursorHintAndCandidates) {
    Console().Clear();
    Console().Print("first");
    Console().Print("");  // an empty line takes a slot but is not drawn
    Console().Print("second");
    Type("se");
    Tap(platform::DIK_LEFT);
    ZConsoleLayout layout;
    const float edited = Console().GetLastEditTime();
    Console().BuildLayout(10.0f, SixPixelsPerCharacter, nullptr, edited, layout);

    EXPECT_EQ(layout.rows, 5);
    EXPECT_FLOAT_EQ(layout.backdropTransform.m[5], -50.0f);
    EXPECT_STREQ(layout.items[0].text, "first\nsecond\n> se");
    // The cursor stands after "> s", on the prompt's row (rows - 2).
    EXPECT_STREQ(layout.items[1].text, "_");
    EXPECT_EQ(layout.items[1].x, 10.0f + 18.0f);
    EXPECT_EQ(layout.items[1].y, 30.0f);
    EXPECT_STREQ(layout.items[2].text, "t");
    EXPECT_EQ(layout.items[2].x, 28.0f);

    const ZArray<ZConsoleCompletion>& candidates = Console().GetCandidates();
    ASSERT_GE(candidates.Count(), 3u);
    ASSERT_EQ(layout.items.Count(), 3u + 2u * candidates.Count());
    EXPECT_STREQ(layout.items[3].text, "set");
    EXPECT_EQ(layout.items[3].x, 10.0f);
    EXPECT_EQ(layout.items[3].y, 60.0f);
    EXPECT_EQ(layout.items[3].color, ZColor32(192, 192, 192, 255));
    EXPECT_STREQ(layout.items[4].text, "[section] variable value");
    EXPECT_EQ(layout.items[4].x, 10.0f + 24.0f);
    EXPECT_EQ(layout.items[4].color, ZColor32(128, 128, 128, 255));
    EXPECT_EQ(layout.items[5].y, 70.0f);

    // Off in the second half of the blink.
    Console().BuildLayout(10.0f, SixPixelsPerCharacter, nullptr, edited + 0.3f, layout);
    EXPECT_STREQ(layout.items[1].text, " ");
}

}  // namespace
}  // namespace consoletest
