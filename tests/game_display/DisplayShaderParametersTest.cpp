// What each post-process shader answers for each of its parameters, read
// from a binding that records the value instead of setting it on a device.

#include <gtest/gtest.h>

#include <string>

#include "foundation/ZStreamMgr.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "game/display/AnaglyphShader.h"
#include "game/display/BackdropShader.h"
#include "game/display/CompositeShader.h"
#include "game/display/DisplayState.h"
#include "game/display/KorvanthPreHUDPassShader.h"
#include "game/display/MonitorShader.h"
#include "game/display/NTSCShader.h"
#include "game/display/NoCRTShader.h"
#include "game/display/PostProcessShader.h"
#include "game/display/ScreenShader.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

// A binding of one name that keeps what it was given.
class Recorder : public ZEffectParameter {
public:
    explicit Recorder(const char* name) : ZEffectParameter(nullptr, name, kFloat, 1) {}
    void SetFloat(float v) override { value = ZVector4(v, 0.0f, 0.0f, 0.0f), kind = "float"; }
    void SetBool(bool v) override { value = ZVector4(v ? 1.0f : 0.0f, 0.0f, 0.0f, 0.0f), kind = "bool"; }
    void SetVector(const ZVector4& v) override { value = v, kind = "vector"; }
    void SetTexture(ZHashedString name) override { texture = name, kind = "texture"; }

    ZVector4 value;
    ZHashedString texture;
    std::string kind = "unset";
};

struct Answer {
    bool answered;
    Recorder record;
};

Answer Ask(ZShader& shader, const char* name) {
    Answer a{false, Recorder(name)};
    a.answered = shader.SetParameters(&a.record, ZHashedString::None(), &shader);
    return a;
}

void ExpectVector(const ZVector4& got, const ZVector4& want, const char* what) {
    EXPECT_NEAR(got.x, want.x, 1e-5f) << what;
    EXPECT_NEAR(got.y, want.y, 1e-5f) << what;
    EXPECT_NEAR(got.z, want.z, 1e-5f) << what;
    EXPECT_NEAR(got.w, want.w, 1e-5f) << what;
}

class DisplayShaderParametersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZBaseGame::DestroyInstance();
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->SetLogging(false);
        game->m_fullscreen = false;
        game->m_widthWindowed = 1280;
        game->m_heightWindowed = 720;
        game->UpdateScreenMetrics();
        display = GetDisplayState();
        // The shaders load their effects and textures by name (no device: nothing compiles).
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/effects");
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/crt");
    }
    void TearDown() override {
        DestroyDisplayState();
        ZBaseGame::DestroyInstance();
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        DestroyRenderer();
        ZStreamMgr::DestroyInstance();
    }
    DisplayState* display = nullptr;
};

}  // namespace

TEST_F(DisplayShaderParametersTest, CompositeReadsTheFramesByParity) {
    CompositeShader composite;
    ScreenShader screen;
    MonitorShader monitor;
    for (const bool parity : {false, true}) {
        composite.parity = parity;
        screen.parity = parity;
        monitor.parity = parity;
        // The composite pass reads the frame it does not write; the screen reads the one just written.
        const char* previous = parity ? "Composite Frame 1" : "Composite Frame 2";
        const char* written = parity ? "Composite Frame 2" : "Composite Frame 1";
        EXPECT_EQ(Ask(composite, "prevFrameMap").record.texture, ZHashedString(previous));
        EXPECT_EQ(Ask(screen, "compFrameMap").record.texture, ZHashedString(written));
        EXPECT_EQ(Ask(monitor, "compFrameMap").record.texture, ZHashedString(written));
    }
    EXPECT_EQ(Ask(composite, "curFrameMap").record.texture, ZHashedString("NTSC Frame"));
    EXPECT_EQ(Ask(composite, "NTSCHackTex").record.texture, ZHashedString("NTSCHackTex"));
}

TEST_F(DisplayShaderParametersTest, PersistenceFollowsTheStaticAndTheMenus) {
    CompositeShader composite;
    // No menu is open: the menus' overlay opacity is 0.
    struct Case {
        bool staticActive;
        bool crtMenuOpen;
        ZVector4 want;
    };
    const Case cases[] = {
        {false, false, {0.7f, 0.525f, 0.42f, 0.0f}},
        {true, false, {0.25f, 0.25f, 0.25f, 1.0f}},
        {true, true, {0.7f, 0.525f, 0.42f, 0.0f}},
    };
    for (const Case& c : cases) {
        display->staticActive = c.staticActive;
        display->crtMenuOpen = c.crtMenuOpen;
        ExpectVector(Ask(composite, "Tuning_Persistence").record.value, c.want, "persistence");
    }
}

TEST_F(DisplayShaderParametersTest, FrameBlendAlternatesOnlyWithVSyncAndNoScreenshot) {
    CompositeShader composite;
    ZBaseGame* game = ZBaseGame::GetInstance();
    struct Case {
        bool vsync;
        bool screenshot;
        bool parity;
        float want;
    };
    const Case cases[] = {
        {false, false, false, 0.5f}, {false, false, true, 0.5f}, {true, true, true, 0.5f},
        {true, false, true, 0.175f}, {true, false, false, 0.825f},
    };
    for (const Case& c : cases) {
        game->m_vsync = c.vsync;
        if (c.screenshot) {
            game->RequestScreenshot();
        } else {
            game->CancelScreenshot();
        }
        composite.parity = c.parity;
        EXPECT_NEAR(Ask(composite, "NTSCLerp").record.value.x, c.want, 1e-6f)
            << "vsync " << c.vsync << " screenshot " << c.screenshot << " parity " << c.parity;
    }
}

TEST_F(DisplayShaderParametersTest, ScreenAndMonitorTuningFromTheSettings) {
    MonitorShader monitor;
    ScreenShader screen;
    display->Settings().overscan = 1.25f;
    display->Settings().lightPosX = 5.0f;
    display->Settings().lightPosY = -10.0f;
    display->Settings().borderBrightness = 0.06f;
    for (ZShader* shader : {static_cast<ZShader*>(&monitor), static_cast<ZShader*>(&screen)}) {
        EXPECT_NEAR(Ask(*shader, "Tuning_Overscan").record.value.x, 0.8f, 1e-6f);
        ExpectVector(Ask(*shader, "Tuning_LightPos").record.value, {-10.0f, -5.0f, 10.0f, 0.0f}, "light");
        const float p = static_cast<float>(1.1428571939468384 * 0.8571428699152807);
        ExpectVector(Ask(*shader, "UVScalar").record.value, {1.0f, p, 0.0f, 0.0f}, "uv scalar");
        ExpectVector(Ask(*shader, "UVOffset").record.value, {0.0f, (1.0f - p) * 0.5f, 0.0f, 0.0f}, "uv offset");
        ExpectVector(Ask(*shader, "CRTMask_Scale").record.value, {128.0f, 224.0f, 0.0f, 0.0f}, "mask");
        EXPECT_EQ(Ask(*shader, "scanlinesMap").record.texture, ZHashedString("Scanlines"));
    }
    ExpectVector(Ask(monitor, "MonitorColor").record.value, {0.06f, 0.06f, 0.06f, 0.0f}, "monitor colour");
    EXPECT_FALSE(Ask(screen, "MonitorColor").answered);
    // An overscan slid to 0 in the file gives no infinity.
    display->Settings().overscan = 0.0f;
    EXPECT_EQ(Ask(screen, "Tuning_Overscan").record.value.x, 0.0f);
}

TEST_F(DisplayShaderParametersTest, UnknownNamesAreLeftUnanswered) {
    AnaglyphShader anaglyph;
    BackdropShader backdrop;
    NoCRTShader noCRT;
    NTSCShader ntsc;
    CompositeShader composite;
    ScreenShader screen;
    for (ZShader* shader : {static_cast<ZShader*>(&anaglyph), static_cast<ZShader*>(&backdrop),
                            static_cast<ZShader*>(&noCRT), static_cast<ZShader*>(&ntsc),
                            static_cast<ZShader*>(&composite), static_cast<ZShader*>(&screen)}) {
        const Answer a = Ask(*shader, "NoSuchParameter");
        EXPECT_FALSE(a.answered);
        EXPECT_EQ(a.record.kind, "unset");
    }
    EXPECT_FALSE(anaglyph.SetParameters(nullptr, ZHashedString::None(), &anaglyph));
}

TEST_F(DisplayShaderParametersTest, NamedTexturesOfTheChain) {
    AnaglyphShader anaglyph;
    NoCRTShader noCRT;
    NTSCShader ntsc;
    PostProcessShader down(PostProcessShader::Variant::kDownsample);
    PostProcessShader up(PostProcessShader::Variant::kUpsample);
    KorvanthPreHUDPassShader preHUD(0);
    struct Case {
        ZShader* shader;
        const char* parameter;
        const char* texture;  // null: answered and left unset
    };
    const Case cases[] = {
        {&anaglyph, "anaglyphFrameMap", "Cln3D Frame"},
        {&noCRT, "compFrameMap", "Clean Frame"},
        {&ntsc, "cleanFrameTexture", "Clean Frame"},
        {&ntsc, "lutTexture", "NTSC_LUT_Texture"},
        {&down, "PreHUDBuffer", "__ZORP_PreHUD_Pass_Texture"},
        {&down, "DownsampleBuffer", nullptr},
        {&up, "PreHUDBuffer", nullptr},
        {&up, "DownsampleBuffer", "Downsampled Buffer"},
        {&preHUD, "UpsampledBuffer", "Upsampled Buffer"},
        {&preHUD, "PreHUDPassBackbuffer", "__ZORP_PreHUD_Pass_Texture"},
    };
    for (const Case& c : cases) {
        const Answer a = Ask(*c.shader, c.parameter);
        EXPECT_TRUE(a.answered) << c.parameter;
        if (c.texture != nullptr) {
            EXPECT_EQ(a.record.texture, ZHashedString(c.texture)) << c.parameter;
        } else {
            EXPECT_EQ(a.record.kind, "unset") << c.parameter;
        }
    }
}

TEST_F(DisplayShaderParametersTest, BloomFollowsTheScreenAndTheCrtSetting) {
    PostProcessShader down(PostProcessShader::Variant::kDownsample);
    PostProcessShader up(PostProcessShader::Variant::kUpsample);
    display->Settings().bloomDown = 0.025f;
    display->Settings().bloomUp = 0.05f;
    ExpectVector(Ask(down, "BloomScale").record.value, {0.025f * 720.0f / 1280.0f, 0.025f, 0.0f, 0.0f}, "down");
    ExpectVector(Ask(up, "BloomScale").record.value, {0.05f * 720.0f / 1280.0f, 0.05f, 0.0f, 0.0f}, "up");

    KorvanthPreHUDPassShader preHUD(2);
    display->Settings().bloom = 0.25f;
    display->Settings().crtSim = true;
    EXPECT_FLOAT_EQ(Ask(preHUD, "BloomScalar").record.value.x, 0.25f);
    display->Settings().crtSim = false;
    EXPECT_FLOAT_EQ(Ask(preHUD, "BloomScalar").record.value.x, 0.0f);
    EXPECT_FLOAT_EQ(Ask(preHUD, "BloomPower").record.value.x, 2.0f);
    ExpectVector(Ask(preHUD, "rcpFrame").record.value, {1.0f / 1280.0f, 1.0f / 720.0f, 0.0f, 0.0f}, "rcpFrame");
    EXPECT_EQ(Ask(preHUD, "bUseFXAA").record.kind, "bool");
}

// The pre-HUD pass multiplies the picture by the menus' dimming times the
// fade, and the bloom's root by the square root of that.
TEST_F(DisplayShaderParametersTest, PreHUDSceneScale) {
    struct Case {
        float pauseOpacity;
        float fadeOut;
        float scale;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.5f}, {0.5f, 0.5f, 0.375f}, {0.0f, 1.0f, 0.0f},
        {-2.0f, -1.0f, 1.0f},  // out of range: clamped
        {3.0f, 0.25f, 0.375f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(KorvanthPreHUDPassShader::SceneScale(c.pauseOpacity, c.fadeOut), c.scale)
            << c.pauseOpacity << ", " << c.fadeOut;
    }
    KorvanthPreHUDPassShader preHUD(0);
    ZBaseGame::GetInstance()->SetFadeOut(0.36f);
    EXPECT_FLOAT_EQ(Ask(preHUD, "SceneScale").record.value.x, 0.64f);
    EXPECT_FLOAT_EQ(Ask(preHUD, "SceneScaleRoot").record.value.x, 0.8f);
}

TEST_F(DisplayShaderParametersTest, PreHUDEffectByLevel) {
    struct Case {
        int32_t level;
        const char* name;
        const char* file;
    };
    const Case cases[] = {
        {-3, "Korvanth PreHUD_Pass Shader (FXAA: None)", "Korvanth_FXAA_None.fxo"},
        {0, "Korvanth PreHUD_Pass Shader (FXAA: None)", "Korvanth_FXAA_None.fxo"},
        {1, "Korvanth PreHUD_Pass Shader (FXAA: Low)", "Korvanth_FXAA_Low.fxo"},
        {2, "Korvanth PreHUD_Pass Shader (FXAA: Medium)", "Korvanth_FXAA_Medium.fxo"},
        {3, "Korvanth PreHUD_Pass Shader (FXAA: High)", "Korvanth_FXAA_High.fxo"},
        {4, "Korvanth PreHUD_Pass Shader (FXAA: Ultra)", "Korvanth_FXAA_Ultra.fxo"},
        {9, "Korvanth PreHUD_Pass Shader (FXAA: Ultra)", "Korvanth_FXAA_Ultra.fxo"},
    };
    for (const Case& c : cases) {
        const KorvanthPreHUDPassShader::Level level = KorvanthPreHUDPassShader::GetGameLevelEffect(c.level);
        EXPECT_STREQ(level.effectName, c.name) << c.level;
        EXPECT_STREQ(level.fileName, c.file) << c.level;
    }
}

TEST_F(DisplayShaderParametersTest, NTSCStrengthGivesWayToTheAttractPictures) {
    NTSCShader ntsc;
    display->Settings().ntscLUTBlend = 0.8f;
    EXPECT_FLOAT_EQ(Ask(ntsc, "Tuning_Strength").record.value.x, 0.8f);
    display->staticActive = true;
    display->staticAttractBlend = 0.25f;
    EXPECT_FLOAT_EQ(Ask(ntsc, "Tuning_Strength").record.value.x, 0.6f);
    // Without a lookup texture there is no grading resolution to give.
    EXPECT_EQ(Ask(ntsc, "GradingRes").record.value.x, 0.0f);
}

TEST(NoCRTBoxTest, PillarboxOrLetterboxByAspect) {
    struct Case {
        float picture, display;
        ZVector4 scalar, offset;
    };
    const Case cases[] = {
        {1.5f, 1.5f, {1.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}},      // equal: the pillarbox branch
        {1.0f, 2.0f, {2.0f, 1.0f, 0.0f, 0.0f}, {-0.5f, 0.0f, 0.0f, 0.0f}},     // bars left and right
        {2.0f, 1.0f, {1.0f, 2.0f, 0.0f, 0.0f}, {0.0f, -0.5f, 0.0f, 0.0f}},     // bars above and below
        {1.3f, 0.0f, {1.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}},      // no screen yet
    };
    for (const Case& c : cases) {
        ZVector4 scalar, offset;
        NoCRTShader::ComputeBox(c.picture, c.display, scalar, offset);
        ExpectVector(scalar, c.scalar, "scalar");
        ExpectVector(offset, c.offset, "offset");
    }
}
