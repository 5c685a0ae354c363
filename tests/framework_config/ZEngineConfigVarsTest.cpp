#include <gtest/gtest.h>

#include <string>

#include "EngineFixture.h"
#include "framework/ZConfigVar.h"
#include "framework/ZEngineConfigVars.h"

namespace {

using configtest::EngineConfigTest;
using configtest::RecordingGame;

using EngineConfigVarsTest = EngineConfigTest<>;

const char kFreshConfig[] =
    "ShowInitialSetup: true\r\n"
    "Language: \r\n"
    "QuickStart: false\r\n"
    "StartInConsole: false\r\n"
    "ShowInitWarnings: true\r\n"
    "FixedEngineFPS: 0.000000\r\n"
    "FixedGameFPS: 0.000000\r\n"
    "MinGameFPS: 10.000000\r\n"
    "FOV: 75.000000\r\n"
    "ShowFPS: false\r\n"
    "DemoMode: false\r\n"
    "DemoModeHLD: 2\r\n"
    "ScreenshotNumber: 0\r\n"
    "ScreenshotFormat: png\r\n"
    "DeadlockCheckTime: 10.000000\r\n"
    "DevMode: false\r\n"
    "DoLogging: true\r\n"
    "OpaqueDialogBoxes: false\r\n"
    "\r\n"
    "[Video]\r\n"
    "WidthWindowed: 1024\r\n"
    "HeightWindowed: 768\r\n"
    "WidthFullscreen: 1920\r\n"
    "HeightFullscreen: 1080\r\n"
    "Fullscreen: true\r\n"
    "FullscreenWindowed: true\r\n"
    "FullscreenWindowedStretch: true\r\n"
    "FXAA: 0\r\n"
    "VSync: true\r\n"
    "DelayPresentation: false\r\n"
    "Brightness: 0.000000\r\n"
    "Tate: 0\r\n"
    "FixedAspectRatio: 0.000000\r\n"
    "PixelSize: 1.000000\r\n"
    "BackgroundColor: 0.000000, 0.000000, 0.000000, 1.000000\r\n"
    "\r\n"
    "[Audio]\r\n"
    "MasterVolume: 0.700000\r\n"
    "MusicVolume: 0.300000\r\n"
    "SoundVolume: 0.700000\r\n"
    "StreamLength: 0.500000\r\n"
    "StreamUpdatePercent: 0.250000\r\n"
    "StreamWriteDelay: 0.050000\r\n"
    "MuteWhenUnfocused: false\r\n"
    "MultiSynthExclusiveChannels: false\r\n"
    "\r\n"
    "[Input]\r\n"
    "MouseScalar: 0.000000\r\n"
    "LockCursor: false\r\n"
    "Controller: \r\n"
    "UsePreferredController: true\r\n";

TEST_F(EngineConfigVarsTest, AFirstRunWritesEveryDefaultInRegistrationOrder) {
    const std::string path = m_temp.File("Config.ini");
    EXPECT_FALSE(LoadConfigFile(path.c_str()));
    EXPECT_EQ(m_temp.Read("Config.ini"), kFreshConfig);
}

TEST_F(EngineConfigVarsTest, TheFreshFileReadsBackAsNoChange) {
    LoadConfigText(kFreshConfig, sizeof(kFreshConfig) - 1);
    ZArray<ZString> modified;
    ListModifiedConfigVars(modified);
    EXPECT_EQ(modified.Count(), 0u);
    EXPECT_EQ(ConfigText(), kFreshConfig);
}

TEST(EngineWindowedSize, IsTheFirstSizeSmallerThanTheMonitorBothWays) {
    struct Case {
        int32_t monitorWidth, monitorHeight, width, height;
    };
    const Case cases[] = {
        {1920, 1080, 1024, 768}, {1025, 769, 1024, 768}, {1024, 768, 800, 600}, {1280, 768, 800, 600},
        {801, 601, 800, 600},    {800, 600, 640, 480},   {641, 481, 640, 480},  {640, 480, 320, 240},
        {320, 240, 320, 240},    {-1, -1, 320, 240},
    };
    for (const Case& c : cases) {
        int32_t width = 0;
        int32_t height = 0;
        ZEngineConfigVars::ChooseWindowedSize(c.monitorWidth, c.monitorHeight, width, height);
        EXPECT_EQ(width, c.width) << c.monitorWidth << "x" << c.monitorHeight;
        EXPECT_EQ(height, c.height) << c.monitorWidth << "x" << c.monitorHeight;
    }
}

TEST_F(EngineConfigVarsTest, SlidersCarryTheirRanges) {
    struct Case {
        const char* section;
        const char* name;
        float step, minimum, maximum;
    };
    const Case cases[] = {
        {"Video", "Brightness", 0.05f, -1.0f, 1.0f},  {"Audio", "MasterVolume", 0.05f, 0.0f, 1.0f},
        {"Audio", "MusicVolume", 0.05f, 0.0f, 1.0f},  {"Audio", "SoundVolume", 0.05f, 0.0f, 1.0f},
        {"Input", "MouseScalar", 0.25f, -5.0f, 5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ZConfigVar& var = FindOrAddConfigVar(ZHashedString(c.section), ZHashedString(c.name));
        EXPECT_EQ(var.type, ZConfigVar::kTypeFloat);
        EXPECT_TRUE(var.hasRange);
        EXPECT_EQ(var.step, c.step);
        EXPECT_EQ(var.minimum, c.minimum);
        EXPECT_EQ(var.maximum, c.maximum);
    }
    // Nothing else has a range, and ranged lookups added no records.
    int ranged = 0;
    int records = 0;
    for (const ZConfigSection& section : GetConfigSections()) {
        for (const ZConfigVar& var : section.vars) {
            ranged += var.hasRange ? 1 : 0;
            ++records;
        }
    }
    EXPECT_EQ(ranged, 5);
    EXPECT_EQ(records, 45);
}

// A slider's range bounds the slider; the file's values are stored as read.
// Only what a float cannot hold is refused.
TEST_F(EngineConfigVarsTest, SliderValuesFromTheFileAreStoredAsRead) {
    const std::string file =
        "[Audio]\r\nMasterVolume: 1.5\r\nMusicVolume: 0.9\r\nSoundVolume: nan\r\n"
        "[Input]\r\nMouseScalar: -6\r\n";
    LoadConfigText(file.data(), file.size());
    EXPECT_EQ(m_game.m_masterVolume, 1.5f);
    EXPECT_EQ(m_game.m_musicVolume, 0.9f);
    EXPECT_EQ(m_game.m_soundVolume, 0.7f);
    EXPECT_EQ(m_game.m_mouseScalar, -6.0f);
}

TEST_F(EngineConfigVarsTest, EveryCallbackRunsAtRegistration) {
    // What the fixture's registration handed to the services.
    const RecordingGame& game = m_game;
    // Eight video variables apply the options: six directly, Tate and PixelSize
    // after their checks.
    EXPECT_EQ(game.video.size(), 8u);
    EXPECT_EQ(game.audio.size(), 5u);
    EXPECT_EQ(game.fovs.size(), 1u);
    EXPECT_EQ(game.mouseFactors.size(), 1u);
    EXPECT_EQ(game.cursorLocks.size(), 1u);

    EXPECT_EQ(game.fovs.back(), 75.0f);
    EXPECT_EQ(game.mouseFactors.back(), 1.0f);
    EXPECT_FALSE(ZLocMgr::GetInstance()->IsLocalized());
    EXPECT_FALSE(ZLocMgr::GetInstance()->IsPseudoLocalized());
    EXPECT_EQ(game.m_longestGameStep, 0.1f);
    EXPECT_EQ(game.m_brightnessExponent, 1.0f);
    const RecordingGame::AudioCall& audio = game.audio.back();
    EXPECT_EQ(audio.master, 0.7f);
    EXPECT_EQ(audio.music, 0.3f);
    EXPECT_EQ(audio.sound, 0.7f);
    EXPECT_EQ(audio.writeDelay, 0.05f);
    const RecordingGame::VideoCall& video = game.video.back();
    EXPECT_EQ(video.width, 1920);
    EXPECT_EQ(video.height, 1080);
    EXPECT_TRUE(video.fullscreen && video.fullscreenWindowed && video.stretch && video.vsync);
}

TEST_F(EngineConfigVarsTest, EveryValueReadFromTheFileRunsItsCallback) {
    m_game.ForgetCalls();
    const std::string file =
        "FOV: 90\r\n"
        "FOV: default\r\n"
        "Language: French\r\n"
        "[Video]\r\n"
        "FXAA: 2\r\n"
        "Tate: 1\r\n"
        "Fullscreen: false\r\n"
        "[Audio]\r\n"
        "SoundVolume: 0.5\r\n"
        "[Input]\r\n"
        "LockCursor: yes\r\n";
    m_temp.Write("Config.ini", file);
    ASSERT_TRUE(LoadConfigFile(m_temp.File("Config.ini").c_str()));

    EXPECT_EQ(m_game.fovs, (std::vector<float>{90.0f, 75.0f}));
    EXPECT_EQ(ZLocMgr::GetInstance()->GetCurrentLanguage(), "French");
    ASSERT_EQ(m_game.video.size(), 3u);
    EXPECT_EQ(m_game.audio.size(), 1u);
    EXPECT_EQ(m_game.cursorLocks, (std::vector<bool>{true}));

    // Each later video option keeps the FXAA level read before it.
    EXPECT_EQ(m_game.video[1].fxaa, 2);
    EXPECT_EQ(m_game.video[1].tate, 1);
    const RecordingGame::VideoCall& last = m_game.video[2];
    EXPECT_FALSE(last.fullscreen);
    EXPECT_EQ(last.width, 1024);
    EXPECT_EQ(last.height, 768);
    EXPECT_EQ(last.fxaa, 2);
    EXPECT_EQ(last.tate, 1);
}

// A game with defaults of its own.
class QuietGame : public RecordingGame {
public:
    float GetDefaultMusicVolume() const override { return 0.4f; }
    float GetDefaultFOV() const override { return 60.0f; }
};

using GameDefaultsTest = EngineConfigTest<QuietGame>;

TEST_F(GameDefaultsTest, AGamesDefaultIsRegisteredAndShownAsTheDefault) {
    EXPECT_EQ(m_game.m_musicVolume, 0.4f);
    EXPECT_EQ(m_game.m_fov, 60.0f);
    EXPECT_NE(ConfigText().find("MusicVolume: 0.400000\r\n"), std::string::npos);

    ZArray<ZString> modified;
    ListModifiedConfigVars(modified);
    EXPECT_EQ(modified.Count(), 0u);

    ASSERT_TRUE(Set("Audio", "MusicVolume", "0.25"));
    ListModifiedConfigVars(modified);
    ASSERT_EQ(modified.Count(), 1u);
    EXPECT_EQ(modified[0], "Audio.MusicVolume: 0.250000* (default: 0.400000)");
}

}  // namespace
