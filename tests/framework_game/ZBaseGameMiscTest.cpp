// The base game's smaller operations: names, diagnostics, screen metrics,
// the start-up warnings text, the command line and the console's memory.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GameHarness.h"
#include "audio/ZAudioMgr.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigCallbacks.h"
#include "framework/ZConsole.h"
#include "framework/ZLocMgr.h"

namespace gametest {
namespace {

class OpenGame : public ZBaseGame {
public:
    using ZBaseGame::BuildInitWarningsText;

    ZHashedString GetHUDGlyphGroupName() const override { return ZHashedString("My Glyphs"); }
};

TEST(ZBaseGameNames, BuiltInNamesAndAnOverride) {
    OpenGame game;
    game.SetLogging(false);
    EXPECT_STREQ(game.GetFinalPassName().GetText(), "__ZORP_Final_Pass");
    EXPECT_STREQ(game.GetConsoleGlyphGroupName().GetText(), "__ZORP_Console_Glyph_Group");
    EXPECT_STREQ(game.GetBGMAudioGroupName().GetText(), "__ZORP_AudioGroup_BGM");
    EXPECT_STREQ(game.GetTitleScreenGroupName().GetText(), "__ZORP_Default_Title_Screen_Group");
    EXPECT_EQ(game.GetGroupFor(ZHashedString("Anything")), game.GetDefaultGroupName());
    EXPECT_TRUE(game.GetNullName().IsNone());
    EXPECT_STREQ(game.GetHUDGlyphGroupName().GetText(), "My Glyphs");
}

TEST(ZBaseGameDiagnostics, CheckStackAndBuildInfo) {
    ZBaseGame game;
    game.SetLogging(false);
    char buffer[64];
    EXPECT_TRUE(game.CheckStack(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Checked stack:");
    game.GetNameStack().PushBack(ZHashedString("Title"));
    game.GetNameStack().PushBack(ZHashedString("Options"));
    EXPECT_TRUE(game.CheckStack(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Checked stack: Title / Options");
    // A small buffer takes what fits.
    char small[10];
    EXPECT_TRUE(game.CheckStack(small, sizeof small));
    EXPECT_STREQ(small, "Checked s");

    ZString info;
    game.GetBuildInfo(info);
    EXPECT_STREQ(info.GetText(),
                 "ZORP Math:  _FINALRELEASE _PLAT_WIN\r\nZORP Util:  _FINALRELEASE _PLAT_WIN\r\n"
                 "ZORP Renderer:  _FINALRELEASE _PLAT_WIN\r\nZORP Audio:  _FINALRELEASE _PLAT_WIN\r\n"
                 "ZORP Game:  _FINALRELEASE _PLAT_WIN\r\n");
}

// The render size follows rotation, a fixed aspect ratio and the pixel size;
// the interface's 1024x768 frame is the largest 4:3 rectangle inside it.
TEST(ZBaseGameScreenMetrics, RenderSizeAndInterfaceFrame) {
    struct Case {
        const char* name;
        int32_t width, height;
        int32_t tate;
        float fixedAspect;
        float pixelSize;
        int32_t renderWidth, renderHeight;
    };
    const Case cases[] = {
        {"plain", 1920, 1080, 0, 0.0f, 1.0f, 1920, 1080},
        {"quarter turn", 1280, 720, 1, 0.0f, 1.0f, 720, 1280},
        {"half turn", 1280, 720, 2, 0.0f, 1.0f, 1280, 720},
        {"4:3 on a wide screen", 1920, 1080, 0, 1.3333f, 1.0f, 1440, 1080},
        {"4:3 on a square", 1024, 1024, 0, 1.3333f, 1.0f, 1024, 768},
        {"pixel size 3", 1920, 1080, 0, 0.0f, 3.0f, 640, 360},
        {"pixel size below 1 counts as 1", 1920, 1080, 0, 0.0f, 0.5f, 1920, 1080},
        {"a size of 0 becomes 1", 0, 0, 0, 0.0f, 1.0f, 1, 1},
    };
    ZBaseGame game;
    game.SetLogging(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game.m_fullscreen = false;
        game.m_widthWindowed = c.width;
        game.m_heightWindowed = c.height;
        game.m_tate = c.tate;
        game.m_fixedAspectRatio = c.fixedAspect;
        game.m_pixelSize = c.pixelSize;
        game.UpdateScreenMetrics();
        EXPECT_EQ(game.GetRenderWidth(), c.renderWidth);
        EXPECT_EQ(game.GetRenderHeight(), c.renderHeight);
        EXPECT_FLOAT_EQ(game.GetAspectRatio(), static_cast<float>(c.renderWidth) / c.renderHeight);
    }

    game.m_widthWindowed = 1920;
    game.m_heightWindowed = 1080;
    game.m_tate = 0;
    game.m_fixedAspectRatio = 0.0f;
    game.m_pixelSize = 1.0f;
    game.UpdateScreenMetrics();
    const float* hud = game.GetHUDMapping();
    EXPECT_NEAR(hud[0], 1.0f / 682.6667f, 1e-7f);
    EXPECT_FLOAT_EQ(hud[1], 1.0f / 384.0f);
    EXPECT_FLOAT_EQ(hud[2], 0.25f);
    EXPECT_FLOAT_EQ(hud[3], 0.0f);
    EXPECT_NEAR(hud[4], 0.7111f, 1e-4f);
    EXPECT_NEAR(hud[5], 0.7111f, 1e-4f);
    EXPECT_FLOAT_EQ(hud[6], -240.0f);
    EXPECT_FLOAT_EQ(hud[7], 0.0f);
}

// Engine strings of the test's own, so that expected texts are written out
// here rather than read through the code under test.
class StartupStrings : public ::testing::Test {
protected:
    void SetUp() override {
        ZLocMgr::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        m_dir.Write("General.txt",
                    "FPS: Frames drawn each second, as counted over the latest second of play\n"
                    "[D3DInitWarnings]\n"
                    "Header: Missing features:\n"
                    "Footer: Running anyway.\n"
                    "NoFXAA: - no FXAA\n"
                    "SlowCard: - a slow card\n");
        ZStreamMgr::GetInstance()->AddDirectorySource(m_dir.Path().string().c_str());
        ZLocMgr::GetInstance()->AddStringFile("General.txt");
        ZLocMgr::GetInstance()->SetDefaultPath(false);
    }
    void TearDown() override {
        ZLocMgr::DestroyInstance();
        ZStreamMgr::DestroyInstance();
    }

    korvtest::TempDir m_dir;
};

// Header, two line breaks, each warning on its line, a blank line, footer.
TEST_F(StartupStrings, InitWarningsText) {
    struct Case {
        std::vector<const char*> keys;
        const char* text;
    };
    const Case cases[] = {
        {{"NoFXAA", "SlowCard"}, "Missing features:\n\n- no FXAA\n- a slow card\n\nRunning anyway."},
        {{"SlowCard"}, "Missing features:\n\n- a slow card\n\nRunning anyway."},
    };
    for (const Case& c : cases) {
        ZArray<ZHashedString> keys;
        for (const char* key : c.keys) {
            keys.PushBack(ZHashedString(key));
        }
        EXPECT_EQ(std::string(OpenGame::BuildInitWarningsText(keys).GetText()), c.text);
    }
}

TEST(ZBaseGameStartup, TestLocSwitchesPseudoLocalizationInTheFirstPassOnly) {
    ZLocMgr::DestroyInstance();
    ZBaseGame game;
    game.SetLogging(false);
    ZArray<ZString> words;
    words.PushBack(ZString("FontGen"));
    words.PushBack(ZString("testloc"));
    game.HandleCommandLineArgs(words, 1);
    EXPECT_FALSE(ZLocMgr::GetInstance()->IsPseudoLocalized());
    game.HandleCommandLineArgs(words, 0);
    EXPECT_TRUE(ZLocMgr::GetInstance()->IsPseudoLocalized());
    ZLocMgr::DestroyInstance();
}

// The label is translators' data: a long one is kept whole.
TEST_F(StartupStrings, FrameRateTextTakesALabelOfAnyLength) {
    ZBaseGame game;
    game.SetLogging(false);
    EXPECT_EQ(std::string(game.GetFrameRateText().GetText()),
              "Frames drawn each second, as counted over the latest second of play: 0\n");
}

TEST(ZBaseGameConfigHooks, AudioOptionsReachTheGroups) {
    ZBaseGame game;
    game.SetLogging(false);
    game.CreateSoundGroups();
    game.SetAudioOptions(0.9f, 0.2f, 0.6f, 0.1f, true);
    ZAudioMgr* audio = GetAudioMgr();
    EXPECT_FLOAT_EQ(audio->masterVolume, 0.9f);
    EXPECT_FLOAT_EQ(audio->FindSoundGroup(game.GetBGMAudioGroupName())->volume, 0.2f);
    EXPECT_FLOAT_EQ(audio->FindSoundGroup(game.GetSFXAudioGroupName())->volume, 0.6f);
    EXPECT_FLOAT_EQ(audio->streamWriteDelay, 0.1f);
    EXPECT_TRUE(audio->multiSynthExclusiveChannels);
    DestroyAudioMgr();
}

// The console's memory is saved without gaps and read back from slot 0.
TEST(ZConsoleMemory, SavedWithoutGaps) {
    UserFolder user;
    const std::string path = user.GamePath("Config/ConsoleMemory.txt");
    user.Write("Config/ConsoleMemory.txt", "");
    ZConsole saved;
    saved.SetMemoryLine(5, "fps");
    saved.SetMemoryLine(23, "set Video FXAA 2");
    ASSERT_TRUE(saved.SaveMemory(path.c_str()));
    const std::string text = user.Read("Config/ConsoleMemory.txt");
    EXPECT_NE(text.find("MemoryLine00: fps"), std::string::npos) << text;
    EXPECT_NE(text.find("MemoryLine01: set Video FXAA 2"), std::string::npos) << text;

    ZConsole loaded;
    ASSERT_TRUE(loaded.LoadMemory(path.c_str()));
    EXPECT_STREQ(loaded.GetMemoryLine(0), "fps");
    EXPECT_STREQ(loaded.GetMemoryLine(1), "set Video FXAA 2");
    EXPECT_STREQ(loaded.GetMemoryLine(5), "");
}

TEST(ZConsoleOutput, LinesScrollAndAreCut) {
    ZConsole console;
    console.Print("a\nb");
    EXPECT_STREQ(console.GetOutputLine(22), "a");
    EXPECT_STREQ(console.GetOutputLine(23), "b");
    console.Print(nullptr);
    EXPECT_STREQ(console.GetOutputLine(23), "");
    const std::string longLine(300, 'x');
    console.Print(longLine.c_str());
    EXPECT_EQ(std::strlen(console.GetOutputLine(23)), 256u);
    for (int i = 0; i < 25; ++i) {
        console.Print("filler");
    }
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        EXPECT_STREQ(console.GetOutputLine(i), "filler");
    }
    // A memory line keeps at most 64 characters.
    console.SetMemoryLine(0, longLine.c_str());
    EXPECT_EQ(std::strlen(console.GetMemoryLine(0)), 64u);
}

}  // namespace
}  // namespace gametest
