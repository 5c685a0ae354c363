// The final pass shader: its technique, the parameters it answers, the four
// screen rotations (and none for a damaged setting), and the headset's warp
// values without a headset.

#include <string>

#include "RendererFixture.h"
#include "foundation/ZMatrix4.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZFinalPassShader.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

const char* kFinalPass = R"(effect 1
parameter texture FinalPassBackbuffer
parameter float4x4 tateMat
parameter float Brightness
parameter float LensCenter = 9
parameter float Warp_Scale = 9
parameter float Warp_Offset = 9
parameter float VertScale = 9
parameter float FOVScale = 9
parameter float4 HmdWarpParam = 9 9 9 9
parameter float Unknown = 9
technique FinalPassTechnique
    pass P0
        vertex VS
        fragment FS
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
)";

class ZFinalPassShaderTest : public RendererTest {
protected:
    void TearDown() override {
        // The game was the application description; the fixture's takes over again.
        ZBaseGame::DestroyInstance();
        gAppInfo.store(&appInfo);
        RendererTest::TearDown();
    }
    // Hands the parameter of that name to the shader with the effect current.
    bool Answer(ZFinalPassShader& shader, ZEffect* effect, const char* name) {
        GetRenderer()->currentEffect = effect->GetEffect();
        for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name)) return shader.SetParameters(list[i], ZHashedString(), &shader);
            }
        }
        ADD_FAILURE() << "no binding " << name;
        return false;
    }
    float Float(ZEffect* effect, const char* name) {
        float value = -1.0f;
        effect->GetEffect()->GetFloat(effect->GetEffect()->GetParameterByName(0, name), &value);
        return value;
    }
};

}  // namespace

TEST_F(ZFinalPassShaderTest, AnswersItsParametersAndTheIdentityWarp) {
    Start();
    WriteFile("__ZORP_Final_Pass.fxo", kFinalPass);
    ZBaseGame* game = ZBaseGame::GetInstance();
    game->m_brightness = 0.75f;
    game->m_tate = 2;
    ZTexture* target = ZTextureMgr::GetInstance()->CreateTexture(4, 4, ZHashedString("__ZORP_Final_Pass_Texture"));

    {
        ZFinalPassShader shader;
        ZEffect* effect = ZShaderMgr::GetInstance()->FindEffect(ZHashedString("__Final_Pass Shader"));
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
        EXPECT_EQ(shader.GetDefaultPassBinding(), effect->FindTechnique(ZHashedString("FinalPassTechnique")));

        EXPECT_TRUE(Answer(shader, effect, "FinalPassBackbuffer"));
        gfx::BaseTexture* bound = nullptr;
        effect->GetEffect()->GetTexture(effect->GetEffect()->GetParameterByName(0, "FinalPassBackbuffer"), &bound);
        EXPECT_EQ(bound, target->GetTexture());
        bound->Release();

        EXPECT_TRUE(Answer(shader, effect, "Brightness"));
        EXPECT_EQ(Float(effect, "Brightness"), 0.75f);
        EXPECT_TRUE(Answer(shader, effect, "tateMat"));
        float m[16] = {};
        effect->GetEffect()->GetMatrix(effect->GetEffect()->GetParameterByName(0, "tateMat"), m);
        EXPECT_EQ(m[0], -1.0f);
        EXPECT_EQ(m[5], -1.0f);
        EXPECT_EQ(m[10], 1.0f);

        const std::pair<const char*, float> warp[] = {
            {"LensCenter", 0.0f}, {"Warp_Scale", 1.0f}, {"Warp_Offset", 0.0f}, {"VertScale", 1.0f}, {"FOVScale", 1.0f}};
        for (const auto& [name, value] : warp) {
            EXPECT_TRUE(Answer(shader, effect, name)) << name;
            EXPECT_EQ(Float(effect, name), value) << name;
        }
        EXPECT_TRUE(Answer(shader, effect, "HmdWarpParam"));
        float v[4] = {};
        effect->GetEffect()->GetVector(effect->GetEffect()->GetParameterByName(0, "HmdWarpParam"), v);
        EXPECT_EQ(v[0], 1.0f);
        EXPECT_EQ(v[3], 0.0f);

        EXPECT_FALSE(Answer(shader, effect, "Unknown"));
        EXPECT_EQ(Float(effect, "Unknown"), 9.0f);
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("__Final_Pass Shader")), 1);
    }
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(ZHashedString("__Final_Pass Shader")), nullptr);
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("__ZORP_Final_Pass_Texture"));
}

TEST_F(ZFinalPassShaderTest, FourRotationsAndNoneForADamagedSetting) {
    Start();
    ZFinalPassShader shader;  // no effect file: the shader still gives its rotations
    EXPECT_EQ(shader.GetDefaultPassBinding(), nullptr);
    struct Case {
        int32_t setting;
        float m0, m1, m4, m5;
    };
    const Case cases[] = {{0, 1, 0, 0, 1},  {1, 0, -1, 1, 0},   {2, -1, 0, 0, -1}, {3, 0, 1, -1, 0},
                          {4, 1, 0, 0, 1},  {-1, 1, 0, 0, 1},   {1000, 1, 0, 0, 1}};
    for (const Case& c : cases) {
        const ZMatrix4& m = shader.GetRotation(c.setting);
        EXPECT_EQ(m.m[0], c.m0) << c.setting;
        EXPECT_EQ(m.m[1], c.m1) << c.setting;
        EXPECT_EQ(m.m[4], c.m4) << c.setting;
        EXPECT_EQ(m.m[5], c.m5) << c.setting;
        EXPECT_EQ(m.m[10], 1.0f);
        EXPECT_EQ(m.m[15], 1.0f);
    }
}

// The plain program draws while nothing but the fade changes the picture; a
// rotation, a brightness change or a headset's warp takes the full one, and
// an effect without the plain program always draws with the full one.
TEST_F(ZFinalPassShaderTest, PlainProgramOnlyWhileNothingButTheFadeChangesThePicture) {
    Start();
    std::string withPlain = kFinalPass;
    withPlain.insert(withPlain.find("code vertex VS"), "technique FinalPassPlain\n    pass P0\n        vertex VS\n"
                                                       "        fragment FS\nend\n");
    struct Case {
        const char* name;
        int32_t tate;
        float brightness;
        float warp0;  // the headset's first warp factor; 1 is none
        bool plain;
    };
    const Case cases[] = {
        {"nothing changes the picture", 0, 0.0f, 1.0f, true},
        {"a quarter turn", 1, 0.0f, 1.0f, false},
        {"three quarters", 3, 0.0f, 1.0f, false},
        {"a damaged rotation is none", 7, 0.0f, 1.0f, true},
        {"brightness raised", 0, 0.25f, 1.0f, false},
        {"brightness lowered", 0, -0.5f, 1.0f, false},
        {"a headset's warp", 0, 0.0f, 1.2f, false},
    };
    for (const bool effectHasPlain : {true, false}) {
        WriteFile("__ZORP_Final_Pass.fxo", effectHasPlain ? withPlain : std::string(kFinalPass));
        ZFinalPassShader shader;
        ZEffect* effect = ZShaderMgr::GetInstance()->FindEffect(ZHashedString("__Final_Pass Shader"));
        ASSERT_NE(effect, nullptr);
        ZPassBinding* full = effect->FindTechnique(ZHashedString("FinalPassTechnique"));
        ZPassBinding* plain = effect->FindTechnique(ZHashedString("FinalPassPlain"));
        ASSERT_EQ(plain != nullptr, effectHasPlain);
        ZBaseGame* game = ZBaseGame::GetInstance();
        for (const Case& c : cases) {
            game->m_tate = c.tate;
            game->m_brightness = c.brightness;
            GetHMDManager()->warpParam[0] = c.warp0;
            const ZPassBinding* want = c.plain && effectHasPlain ? plain : full;
            EXPECT_EQ(shader.GetPassBinding(ZHashedString("__ZORP_Final_Pass")), want) << c.name;
        }
        DestroyHMDManager();
        game->m_tate = 0;
        game->m_brightness = 0.0f;
        EXPECT_EQ(shader.GetPassBinding(ZHashedString()), effectHasPlain ? plain : full) << "no headset manager";
    }
}
