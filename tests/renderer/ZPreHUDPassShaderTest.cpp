// The pre-HUD pass shader on the fake device: which effect each anti-aliasing
// level loads, the technique it draws with, the parameters it answers from
// the base game, and its one reference to the effect.

#include <string>

#include "GameShaderFixture.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZPreHUDPassShader.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

// An effect whose parameter "Level<n>" tells which file it came from.
std::string PreHUDEffect(int level, bool withTechnique) {
    std::string text =
        "effect 1\nparameter texture PreHUDPassBackbuffer\nparameter float4 rcpFrame\n"
        "parameter bool bUseFXAA\nparameter float FadeOut = 9\nparameter float Warp_Scale = 9\n"
        "parameter float Unknown = 9\nparameter float Level" +
        std::to_string(level) + "\n";
    if (withTechnique) {
        text += "technique PreHUDPassTechnique\n    pass P0\n        vertex VS\n        fragment FS\nend\n";
    } else {
        text += "technique Other\n    pass P0\n        vertex VS\n        fragment FS\nend\n";
    }
    text +=
        "code vertex VS\nin vec3 a_Position;\nvoid main() { gl_Position = vec4(a_Position, 1.0); }\nendcode\n"
        "code fragment FS\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\nendcode\n";
    return text;
}

const char* const kFiles[5] = {"__ZORP_FXAA_None.fxo", "__ZORP_FXAA_Low.fxo", "__ZORP_FXAA_Medium.fxo",
                               "__ZORP_FXAA_High.fxo", "__ZORP_FXAA_Ultra.fxo"};

class ZPreHUDPassShaderTest : public GameShaderTest {
protected:
    void SetUp() override {
        GameShaderTest::SetUp();
        Start();
        for (int level = 0; level < 5; ++level) WriteFile(kFiles[level], PreHUDEffect(level, true));
    }
    static float Float(ZShader& shader, const char* name) {
        float value = -1.0f;
        Fx(shader)->GetFloat(Fx(shader)->GetParameterByName(0, name), &value);
        return value;
    }
};

}  // namespace

TEST_F(ZPreHUDPassShaderTest, EachLevelLoadsItsEffectUnderItsName) {
    struct Case {
        int32_t level;
        int file;
        const char* cacheName;
    };
    const Case cases[] = {
        {-1, 0, "__PreHUD_Pass Shader (FXAA: None)"}, {0, 0, "__PreHUD_Pass Shader (FXAA: None)"},
        {1, 1, "__PreHUD_Pass Shader (FXAA: Low)"},   {2, 2, "__PreHUD_Pass Shader (FXAA: Medium)"},
        {3, 3, "__PreHUD_Pass Shader (FXAA: High)"},  {4, 4, "__PreHUD_Pass Shader (FXAA: Ultra)"},
        {9, 4, "__PreHUD_Pass Shader (FXAA: Ultra)"},
    };
    for (const Case& c : cases) {
        const ZHashedString name(c.cacheName);
        {
            ZPreHUDPassShader shader(c.level);
            EXPECT_EQ(shader.GetLevel(), c.level);
            EXPECT_EQ(shader.GetEffectName(), name);
            ZEffect* effect = ZShaderMgr::GetInstance()->FindEffect(name);
            ASSERT_NE(effect, nullptr) << c.level;
            EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(name), 1);
            const std::string level = "Level" + std::to_string(c.file);
            EXPECT_NE(effect->GetEffect()->GetParameterByName(0, level.c_str()), 0u)
                << c.level << " read the wrong file";
            ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
            EXPECT_EQ(shader.GetDefaultPassBinding(),
                      effect->FindTechnique(ZHashedString("PreHUDPassTechnique")));
        }
        EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(name), nullptr)
            << "level " << c.level << " kept its effect";
    }
}

TEST_F(ZPreHUDPassShaderTest, AnEffectWithoutTheTechniqueStillLoads) {
    WriteFile(kFiles[2], PreHUDEffect(2, false));
    ZPreHUDPassShader shader(2);
    EXPECT_EQ(shader.GetDefaultPassBinding(), nullptr);
    EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("__PreHUD_Pass Shader (FXAA: Medium)")),
              1);
}

TEST_F(ZPreHUDPassShaderTest, AnswersFromTheBaseGame) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    game->m_widthWindowed = 1280;
    game->m_heightWindowed = 720;
    game->UpdateScreenMetrics();
    game->SetFadeOut(0.375f);
    ZTexture* target =
        ZTextureMgr::GetInstance()->CreateTexture(4, 4, ZHashedString("__ZORP_PreHUD_Pass_Texture"));

    ZPreHUDPassShader shader(3);
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    EXPECT_TRUE(Answer(shader, "PreHUDPassBackbuffer"));
    gfx::BaseTexture* bound = nullptr;
    Fx(shader)->GetTexture(Fx(shader)->GetParameterByName(0, "PreHUDPassBackbuffer"), &bound);
    EXPECT_EQ(bound, target->GetTexture());
    if (bound != nullptr) bound->Release();

    EXPECT_TRUE(Answer(shader, "rcpFrame"));
    float v[4] = {-1, -1, -1, -1};
    Fx(shader)->GetVector(Fx(shader)->GetParameterByName(0, "rcpFrame"), v);
    EXPECT_FLOAT_EQ(v[0], 0.00078125f);
    EXPECT_FLOAT_EQ(v[1], 0.0013888889f);
    EXPECT_EQ(v[2], 0.0f);
    EXPECT_EQ(v[3], 0.0f);

    EXPECT_TRUE(Answer(shader, "bUseFXAA"));
    bool use = false;
    Fx(shader)->GetBool(Fx(shader)->GetParameterByName(0, "bUseFXAA"), &use);
    EXPECT_TRUE(use);

    EXPECT_TRUE(Answer(shader, "FadeOut"));
    EXPECT_EQ(Float(shader, "FadeOut"), 0.375f);

    // The headset's warp comes from the base class; unknown names go nowhere.
    EXPECT_TRUE(Answer(shader, "Warp_Scale"));
    EXPECT_EQ(Float(shader, "Warp_Scale"), 1.0f);
    EXPECT_FALSE(Answer(shader, "Unknown"));
    EXPECT_EQ(Float(shader, "Unknown"), 9.0f);
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("__ZORP_PreHUD_Pass_Texture"));
}

TEST_F(ZPreHUDPassShaderTest, WithoutAScreenSizeTheFrameIsZeroNotInfinite) {
    // No base game yet: nothing to divide by.
    ZPreHUDPassShader shader(1);
    ASSERT_EQ(ZBaseGame::PeekInstance(), nullptr);
    EXPECT_TRUE(Answer(shader, "rcpFrame"));
    float v[4] = {-1, -1, -1, -1};
    Fx(shader)->GetVector(Fx(shader)->GetParameterByName(0, "rcpFrame"), v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_TRUE(Answer(shader, "FadeOut"));
    EXPECT_EQ(Float(shader, "FadeOut"), 0.0f);
}
