#include <gtest/gtest.h>

#include <string>

#include "EngineFixture.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigCallbacks.h"
#include "framework/ZEngineConfigVars.h"
#include "framework/ZLocMgr.h"

namespace {

using configtest::RecordingGame;
using ConfigCallbacksTest = configtest::EngineConfigTest<>;

TEST_F(ConfigCallbacksTest, FrameRatesBecomeStepLengths) {
    struct Case {
        const char* name;
        const char* value;
        float engineStep, gameStep, longestStep;
    };
    const Case cases[] = {
        {"FixedGameFPS", "60", 0.0f, 1.0f / 60.0f, 0.1f},
        {"FixedGameFPS", "0", 0.0f, 0.0f, 0.1f},
        {"FixedEngineFPS", "30", 1.0f / 30.0f, 0.0f, 0.1f},
        {"FixedEngineFPS", "-30", 0.0f, 0.0f, 0.1f},
        {"MinGameFPS", "-4", 0.0f, 0.0f, 0.0f},
        {"MinGameFPS", "20", 0.0f, 0.0f, 0.05f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.value);
        ResetConfigSection(ZHashedString::None());
        ASSERT_TRUE(Set(nullptr, c.name, c.value));
        EXPECT_EQ(m_game.m_fixedEngineStep, c.engineStep);
        EXPECT_EQ(m_game.m_fixedGameStep, c.gameStep);
        EXPECT_EQ(m_game.m_longestGameStep, c.longestStep);
    }
}

TEST_F(ConfigCallbacksTest, MouseScalarBecomesAFactor) {
    struct Case {
        const char* value;
        float factor;
    };
    const Case cases[] = {{"0", 1.0f}, {"5", 6.0f}, {"-5", 1.0f / 6.0f}, {"0.5", 1.5f}, {"-1", 0.5f}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Set("Input", "MouseScalar", c.value));
        EXPECT_EQ(m_game.mouseFactors.back(), c.factor) << c.value;
    }
}

TEST_F(ConfigCallbacksTest, BrightnessBecomesAnExponent) {
    struct Case {
        const char* value;
        float exponent;
    };
    const Case cases[] = {{"-1", 2.0f}, {"0", 1.0f}, {"1", 0.5f}, {"0.5", 0.70710677f}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Set("Video", "Brightness", c.value));
        EXPECT_FLOAT_EQ(m_game.m_brightnessExponent, c.exponent) << c.value;
    }
}

TEST_F(ConfigCallbacksTest, VideoOptionsAreAppliedWholeWithFXAA) {
    ASSERT_TRUE(Set("Video", "FXAA", "3"));
    ASSERT_TRUE(Set("Video", "Fullscreen", "false"));
    ASSERT_TRUE(Set("Video", "VSync", "false"));
    const RecordingGame::VideoCall& call = m_game.video.back();
    EXPECT_EQ(call.width, 1024);
    EXPECT_EQ(call.height, 768);
    EXPECT_FALSE(call.vsync);
    EXPECT_FALSE(call.fullscreen);
    EXPECT_TRUE(call.fullscreenWindowed);
    EXPECT_TRUE(call.stretch);
    EXPECT_EQ(call.fxaa, 3);
    EXPECT_EQ(call.tate, 0);

    ASSERT_TRUE(Set("Video", "Fullscreen", "true"));
    EXPECT_EQ(m_game.video.back().width, 1920);
    EXPECT_EQ(m_game.video.back().height, 1080);
}

TEST_F(ConfigCallbacksTest, TateAndPixelSizeAreKeptInBoundsBeforeApplying) {
    struct Case {
        const char* name;
        const char* value;
        int32_t tate;
        float pixelSize;
    };
    const Case cases[] = {
        {"Tate", "7", 0, 1.0f},        {"Tate", "-1", 0, 1.0f},       {"Tate", "3", 3, 1.0f},
        {"PixelSize", "0.5", 0, 1.0f}, {"PixelSize", "2.5", 0, 2.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.value);
        ResetConfigSection(ZHashedString("Video"));
        m_game.video.clear();
        ASSERT_TRUE(Set("Video", c.name, c.value));
        EXPECT_EQ(m_game.m_tate, c.tate);
        EXPECT_EQ(m_game.m_pixelSize, c.pixelSize);
        ASSERT_EQ(m_game.video.size(), 1u);
        EXPECT_EQ(m_game.video.back().tate, c.tate);
    }
}

TEST_F(ConfigCallbacksTest, ScreenshotFormatsAreNormalised) {
    struct Case {
        const char* value;
        const char* stored;
    };
    const Case cases[] = {
        {"JPEG", "jpg"}, {"jpeg", "jpg"}, {"Jpg", "jpg"}, {"P-N-G", "png"},
        {".bmp", "bmp"}, {"DDS", "dds"},  {"tga", "tga"}, {"", ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Set(nullptr, "ScreenshotFormat", c.value));
        EXPECT_STREQ(m_game.m_screenshotFormat.GetText(), c.stored) << c.value;
    }
}

TEST_F(ConfigCallbacksTest, LanguageSwitchesTheLocalisation) {
    struct Case {
        const char* value;
        const char* language;
        bool pseudo;
    };
    const Case cases[] = {{"French", "French", false},
                          {"XXX", "", true},
                          {"xxx", "", true},
                          {"", "", false},
                          {"xxxx", "xxxx", false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Set(nullptr, "Language", c.value));
        const ZLocMgr* localization = ZLocMgr::GetInstance();
        EXPECT_EQ(localization->GetCurrentLanguage(), c.language) << c.value;
        EXPECT_EQ(localization->IsPseudoLocalized(), c.pseudo) << c.value;
    }
}

TEST_F(ConfigCallbacksTest, CameraCursorAndAudioHearOfTheirVariables) {
    ASSERT_TRUE(Set(nullptr, "FOV", "90"));
    EXPECT_EQ(m_game.fovs.back(), 90.0f);
    ASSERT_TRUE(Set("Input", "LockCursor", "true"));
    EXPECT_TRUE(m_game.cursorLocks.back());
    ASSERT_TRUE(Set("Input", "LockCursor", "false"));
    EXPECT_FALSE(m_game.cursorLocks.back());

    ASSERT_TRUE(Set("Audio", "MultiSynthExclusiveChannels", "on"));
    ASSERT_TRUE(Set("Audio", "StreamWriteDelay", "0.1"));
    ASSERT_TRUE(Set("Audio", "MasterVolume", "0.5"));
    const RecordingGame::AudioCall& call = m_game.audio.back();
    EXPECT_EQ(call.master, 0.5f);
    EXPECT_EQ(call.music, 0.3f);
    EXPECT_EQ(call.sound, 0.7f);
    EXPECT_EQ(call.writeDelay, 0.1f);
    EXPECT_TRUE(call.exclusive);

    // Variables without a callback reach no service.
    const size_t audioCalls = m_game.audio.size();
    ASSERT_TRUE(Set("Audio", "StreamLength", "1"));
    EXPECT_EQ(m_game.audio.size(), audioCalls);
}

// Before a game exists (while variables are registered and Config.ini is
// read) the callbacks have nothing to act on: they make no game and leave the
// services they would otherwise drive as they were.
TEST(ConfigCallbacksWithoutGame, LeaveEverythingAsItWas) {
    ASSERT_EQ(ZEngineConfigVars::GetInstance(), nullptr);
    ZLocMgr* localization = ZLocMgr::GetInstance();
    ASSERT_NE(localization, nullptr);
    const ZString language = localization->GetCurrentLanguage();
    const bool pseudo = localization->IsPseudoLocalized();

    struct Case {
        const char* name;
        void (*callback)();
    };
    const Case cases[] = {
        {"frame rate", OnFrameRateChanged},   {"FOV", OnFOVChanged},
        {"mouse scalar", OnMouseScalarChanged}, {"lock cursor", OnLockCursorChanged},
        {"brightness", OnBrightnessChanged},  {"tate", OnTateChanged},
        {"video option", OnVideoOptionChanged}, {"pixel size", OnPixelSizeChanged},
        {"audio option", OnAudioOptionChanged}, {"screenshot format", OnScreenshotFormatChanged},
        {"language", OnLanguageChanged},
    };
    for (const Case& c : cases) {
        c.callback();
        EXPECT_EQ(ZEngineConfigVars::GetInstance(), nullptr) << c.name;
        EXPECT_EQ(ZBaseGame::PeekInstance(), nullptr) << c.name;
        EXPECT_EQ(localization->GetCurrentLanguage(), language) << c.name;
        EXPECT_EQ(localization->IsPseudoLocalized(), pseudo) << c.name;
    }
}

}  // namespace
