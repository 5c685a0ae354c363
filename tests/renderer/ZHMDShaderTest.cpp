// The headset warp answers shared by the full-screen pass shaders: read from
// the headset manager at every request, and everything else handed down the
// chain of parameter sources.

#include <string>

#include "RendererFixture.h"
#include "foundation/ZVector4.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZHMDShader.h"
#include "renderer/ZTransform.h"

using namespace rtest;

namespace {

const char* kWarpEffect = R"(effect 1
parameter float LensCenter = 9
parameter float Warp_Scale = 9
parameter float Warp_Offset = 9
parameter float VertScale = 9
parameter float FOVScale = 9
parameter float4 HmdWarpParam = 9 9 9 9
parameter float Other = 9
)";

// A source further down the chain that answers "Other".
class OtherSource : public ZParameterSource {
public:
    bool SetParameters(ZEffectParameter* binding, ZHashedString, ZParameterSource*) override {
        if (binding->name != ZHashedString("Other")) return false;
        binding->SetFloat(42.0f);
        return true;
    }
};

class ZHMDShaderTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        WriteFile("warp.fxo", kWarpEffect);
        effect = ZShaderMgr::GetInstance()->LoadEffect("warp.fxo", ZHashedString("warp"));
        ASSERT_NE(effect->GetEffect(), nullptr);
        GetRenderer()->currentEffect = effect->GetEffect();
    }
    void TearDown() override {
        ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString("warp"));
        RendererTest::TearDown();
    }
    bool Answer(ZHMDShader& shader, const char* name) {
        for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name))
                    return shader.SetParameters(list[i], ZHashedString(), &shader);
            }
        }
        ADD_FAILURE() << "no binding " << name;
        return false;
    }
    float Float(const char* name) const {
        float value = -1.0f;
        effect->GetEffect()->GetFloat(effect->GetEffect()->GetParameterByName(0, name), &value);
        return value;
    }
    ZEffect* effect = nullptr;
};

}  // namespace

TEST_F(ZHMDShaderTest, AnswersTheHeadsetManagersCurrentValues) {
    ZHMDShader shader;
    ZHMDMgr* hmd = GetHMDManager();
    struct Case {
        const char* name;
        float* field;
        float identity;
    };
    const Case cases[] = {{"LensCenter", &hmd->lensCenter, 0.0f},
                          {"Warp_Scale", &hmd->viewportScale, 1.0f},
                          {"Warp_Offset", &hmd->viewportOffset, 0.0f},
                          {"VertScale", &hmd->vertScale, 1.0f},
                          {"FOVScale", &hmd->fovScale, 1.0f}};
    for (const Case& c : cases) {
        EXPECT_TRUE(Answer(shader, c.name)) << c.name;
        EXPECT_EQ(Float(c.name), c.identity) << c.name;
        // An eye's value set by the frame code is seen at the next request.
        *c.field = 0.625f;
        EXPECT_TRUE(Answer(shader, c.name)) << c.name;
        EXPECT_EQ(Float(c.name), 0.625f) << c.name;
    }
    hmd->warpParam[1] = 0.25f;
    EXPECT_TRUE(Answer(shader, "HmdWarpParam"));
    float v[4] = {};
    effect->GetEffect()->GetVector(effect->GetEffect()->GetParameterByName(0, "HmdWarpParam"), v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 0.25f);
    EXPECT_EQ(v[2], 0.0f);
    EXPECT_EQ(v[3], 0.0f);
}

TEST_F(ZHMDShaderTest, OtherNamesGoDownTheChain) {
    ZHMDShader shader;
    EXPECT_FALSE(Answer(shader, "Other"));
    EXPECT_EQ(Float("Other"), 9.0f);
    OtherSource other;
    ASSERT_TRUE(ZTransform::SetParent(&shader, &other));
    EXPECT_TRUE(Answer(shader, "Other"));
    EXPECT_EQ(Float("Other"), 42.0f);
}
