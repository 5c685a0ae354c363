// The depth backdrop's shader on the fake device, with the engine's own
// effect file: its technique, its colour and its one effect reference.

#include "RendererFixture.h"
#include "foundation/ZVector4.h"
#include "renderer/ZDepthBackdropShader.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"

using namespace rtest;

TEST_F(RendererTest, DepthBackdropShaderAnswersItsColourAndHoldsItsEffect) {
    Start();
    ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/engine/effects");
    const ZHashedString name("__Depth_Backdrop Shader");
    {
        ZDepthBackdropShader shader;
        ZEffect* effect = ZShaderMgr::GetInstance()->FindEffect(name);
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(effect->GetEffect(), nullptr);
        EXPECT_EQ(shader.GetDefaultPassBinding(), effect->FindTechnique(ZHashedString("BackdropTech")));
        EXPECT_NE(shader.GetDefaultPassBinding(), nullptr);
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(name), 1);

        GetRenderer()->currentEffect = effect->GetEffect();
        ZEffectParameter colour(effect, "BackdropColor", ZEffectParameter::kVector, 0);
        EXPECT_TRUE(shader.SetParameters(&colour, ZHashedString(), &shader));
        float v[4] = {};
        effect->GetEffect()->GetVector(effect->GetEffect()->GetParameterByName(0, "BackdropColor"), v);
        EXPECT_EQ(ZVector4(v[0], v[1], v[2], v[3]), ZVector4(0.5f, 0.5f, 0.5f, 0.5f));

        ZEffectParameter other(effect, "wvpMat", ZEffectParameter::kMatrix, 0);
        EXPECT_FALSE(shader.SetParameters(&other, ZHashedString(), &shader));
    }
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(name), nullptr);
}
