// Effects as the renderer uses them: reflection, values, and the state a pass
// puts on the device. Run on the fake device, which records every call.

#include <cstring>

#include "FakeFixture.h"

using namespace gfxtest;

namespace {

const char* const kEffect = R"(effect 1
parameter float4x4 wvpMat
annotation string Scope = "Renderable"
parameter row_major float4x3 bones[2]
parameter float brightness = 0.5
annotation bool AutoGen = false
annotation float DefVal = 0.5
parameter float2 offsets[2] = 1 2 3 4
parameter int mode = -3
parameter bool enabled = true
parameter string label = "hud"
parameter texture elemTex
parameter textureCUBE envTex
struct light
    member float4 colour = 1 1 1 1
    annotation string Scope = "Instance"
    member float range
end
sampler sampler2D elemSampler
    texture elemTex
    MinFilter Linear
    AddressU Clamp
end
sampler samplerCUBE envSampler
    texture envTex
end
technique HUD
annotation int order = 2
    pass P0
    annotation string note = "first"
        vertex VS
        fragment FS
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend InvSrcAlpha
        CullMode None
    pass P1
        vertex VS
        fragment FS
end
technique Plain
    pass P0
        vertex VS
        fragment FS
end
code vertex VS
void main() {}
endcode
code fragment FS
void main() {}
endcode
)";

class EffectRuntime : public FakeFixture {
protected:
    void SetUp() override {
        FakeFixture::SetUp();
        effect = MakeEffect(kEffect);
        ASSERT_TRUE(effect);
    }
    void TearDown() override {
        effect.Reset();
        FakeFixture::TearDown();
    }
    gfx::Handle P(const char* name) const { return effect->GetParameterByName(0, name); }

    gfx::Ref<gfx::Effect> effect;
};

TEST_F(EffectRuntime, DescribesParametersTechniquesAndPasses) {
    const gfx::EffectDesc desc = effect->GetDesc();
    EXPECT_EQ(desc.parameters, 12u);
    EXPECT_EQ(desc.techniques, 2u);
    EXPECT_EQ(desc.functions, 2u);

    // Walking by index gives the file's order; each describes itself.
    const char* names[] = {"wvpMat", "bones", "brightness", "offsets", "mode", "enabled",
                           "label", "elemTex", "envTex", "light", "elemSampler", "envSampler"};
    for (uint32_t i = 0; i < desc.parameters; ++i) {
        gfx::ParamDesc d;
        ASSERT_EQ(effect->GetParameterDesc(effect->GetParameter(0, i), &d), gfx::Result::Ok);
        EXPECT_STREQ(d.name, names[i]);
    }
    EXPECT_EQ(effect->GetParameter(0, desc.parameters), 0u);

    gfx::ParamDesc d;
    ASSERT_EQ(effect->GetParameterDesc(P("bones"), &d), gfx::Result::Ok);
    EXPECT_EQ(d.paramClass, gfx::ParamClass::MatrixRows);
    EXPECT_EQ(d.type, gfx::ParamType::Float);
    EXPECT_EQ(d.rows, 4u);
    EXPECT_EQ(d.columns, 3u);
    EXPECT_EQ(d.elements, 2u);
    EXPECT_EQ(d.bytes, 96u);
    ASSERT_EQ(effect->GetParameterDesc(P("light"), &d), gfx::Result::Ok);
    EXPECT_EQ(d.paramClass, gfx::ParamClass::Struct);
    EXPECT_EQ(d.structMembers, 2u);
    const gfx::Handle colour = effect->GetParameter(P("light"), 0);
    EXPECT_EQ(effect->GetParameterByName(P("light"), "colour"), colour);
    EXPECT_EQ(effect->GetParameterByName(0, "light.colour"), colour);
    EXPECT_EQ(effect->GetParameterByName(0, "nothing"), 0u);

    const gfx::Handle hud = effect->GetTechniqueByName("HUD");
    gfx::TechniqueDesc t;
    ASSERT_EQ(effect->GetTechniqueDesc(hud, &t), gfx::Result::Ok);
    EXPECT_STREQ(t.name, "HUD");
    EXPECT_EQ(t.passes, 2u);
    gfx::PassDesc p;
    ASSERT_EQ(effect->GetPassDesc(effect->GetPass(hud, 1), &p), gfx::Result::Ok);
    EXPECT_STREQ(p.name, "P1");
    EXPECT_EQ(effect->GetTechniqueByName("Missing"), 0u);
    EXPECT_EQ(effect->GetPass(hud, 2), 0u);
    EXPECT_EQ(effect->GetCurrentTechnique(), effect->GetTechnique(0));
}

// The annotations that decide how the renderer binds a parameter read back by name and by type.
TEST_F(EffectRuntime, AnnotationsGiveScopeAutoGenAndValues) {
    const char* scope = nullptr;
    ASSERT_EQ(effect->GetString(effect->GetAnnotationByName(P("wvpMat"), "Scope"), &scope), gfx::Result::Ok);
    EXPECT_STREQ(scope, "Renderable");
    ASSERT_EQ(effect->GetString(effect->GetAnnotationByName(effect->GetParameterByName(0, "light.colour"), "Scope"),
                                &scope),
              gfx::Result::Ok);
    EXPECT_STREQ(scope, "Instance");

    const gfx::Handle autoGen = effect->GetAnnotation(P("brightness"), 0);
    gfx::ParamDesc d;
    ASSERT_EQ(effect->GetParameterDesc(autoGen, &d), gfx::Result::Ok);
    EXPECT_STREQ(d.name, "AutoGen");
    EXPECT_EQ(d.type, gfx::ParamType::Bool);
    EXPECT_EQ(d.paramClass, gfx::ParamClass::Scalar);
    bool on = true;
    ASSERT_EQ(effect->GetBool(autoGen, &on), gfx::Result::Ok);
    EXPECT_FALSE(on);
    float defVal = 0;
    ASSERT_EQ(effect->GetFloat(effect->GetAnnotationByName(P("brightness"), "DefVal"), &defVal), gfx::Result::Ok);
    EXPECT_EQ(defVal, 0.5f);

    int32_t order = 0;
    ASSERT_EQ(effect->GetInt(effect->GetAnnotation(effect->GetTechniqueByName("HUD"), 0), &order), gfx::Result::Ok);
    EXPECT_EQ(order, 2);
    const char* note = nullptr;
    ASSERT_EQ(effect->GetString(effect->GetAnnotation(effect->GetPass(effect->GetTechniqueByName("HUD"), 0), 0), &note),
              gfx::Result::Ok);
    EXPECT_STREQ(note, "first");
    EXPECT_EQ(effect->GetAnnotation(P("wvpMat"), 1), 0u);
    // Annotations are read-only.
    EXPECT_EQ(effect->SetBool(autoGen, true), gfx::Result::InvalidCall);
}

TEST_F(EffectRuntime, DefaultsReadBackAndSettersConvertAndStopAtTheSize) {
    float f = 0;
    int32_t i = 0;
    bool b = false;
    const char* s = nullptr;
    EXPECT_EQ(effect->GetFloat(P("brightness"), &f), gfx::Result::Ok);
    EXPECT_EQ(f, 0.5f);
    EXPECT_EQ(effect->GetInt(P("mode"), &i), gfx::Result::Ok);
    EXPECT_EQ(i, -3);
    EXPECT_EQ(effect->GetBool(P("enabled"), &b), gfx::Result::Ok);
    EXPECT_TRUE(b);
    EXPECT_EQ(effect->GetString(P("label"), &s), gfx::Result::Ok);
    EXPECT_STREQ(s, "hud");

    // Numbers convert to the parameter's type.
    EXPECT_EQ(effect->SetFloat(P("mode"), 2.7f), gfx::Result::Ok);
    effect->GetInt(P("mode"), &i);
    EXPECT_EQ(i, 2);
    EXPECT_EQ(effect->SetFloat(P("mode"), 1e30f), gfx::Result::Ok);
    effect->GetInt(P("mode"), &i);
    EXPECT_EQ(i, INT32_MAX) << "saturates instead of overflowing";
    effect->GetInt(P("brightness"), &i);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(effect->SetFloat(P("mode"), 2.7f), gfx::Result::Ok);
    EXPECT_EQ(effect->SetInt(P("enabled"), 0), gfx::Result::Ok);
    effect->GetBool(P("enabled"), &b);
    EXPECT_FALSE(b);

    // Vectors take as many components as they have; arrays stop at their size.
    const float v[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    EXPECT_EQ(effect->SetVectorArray(P("offsets"), v, 5), gfx::Result::Ok);
    float got[4] = {};
    effect->GetFloatArray(P("offsets"), got, 4);
    EXPECT_EQ(std::vector<float>(got, got + 4), (std::vector<float>{9, 8, 5, 4}));
    const float many[6] = {1, 1, 1, 1, 1, 1};
    EXPECT_EQ(effect->SetFloatArray(P("offsets"), many, 6), gfx::Result::Ok);

    // A smaller matrix takes the top-left corner of each matrix given.
    float m[32];
    for (int k = 0; k < 32; ++k) m[k] = static_cast<float>(k);
    EXPECT_EQ(effect->SetMatrixArray(P("bones"), m, 2), gfx::Result::Ok);
    float back[16];
    effect->GetMatrix(P("bones"), back);
    EXPECT_EQ(back[0], 0.0f);
    EXPECT_EQ(back[2], 2.0f);
    EXPECT_EQ(back[3], 0.0f) << "no fourth column in a 4x3 matrix";
    EXPECT_EQ(back[13], 13.0f);
}

TEST_F(EffectRuntime, SettersRefuseTheWrongKindOfParameterOrHandle) {
    const float m[16] = {};
    struct Case {
        const char* what;
        gfx::Result result;
    };
    gfx::Ref<gfx::Effect> other = MakeEffect(kEffect);
    const Case cases[] = {
        {"matrix on a vector", effect->SetMatrix(P("offsets"), m)},
        {"vector on a matrix", effect->SetVector(P("wvpMat"), m)},
        {"float on a texture", effect->SetFloat(P("elemTex"), 1.0f)},
        {"texture on a float", effect->SetTexture(P("brightness"), nullptr)},
        {"float on a struct", effect->SetFloat(P("light"), 1.0f)},
        {"null handle", effect->SetFloat(0, 1.0f)},
        {"technique handle", effect->SetFloat(effect->GetTechnique(0), 1.0f)},
        {"another effect's handle", effect->SetFloat(other->GetParameterByName(0, "brightness"), 1.0f)},
        {"null values", effect->SetFloatArray(P("offsets"), nullptr, 2)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, gfx::Result::InvalidCall) << c.what;
}

TEST_F(EffectRuntime, PassesMustFollowBeginAndEndInOrder) {
    uint32_t passes = 0;
    EXPECT_EQ(effect->BeginPass(0), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->End(), gfx::Result::InvalidCall);
    ASSERT_EQ(effect->SetTechnique(effect->GetTechniqueByName("HUD")), gfx::Result::Ok);
    ASSERT_EQ(effect->Begin(&passes, gfx::kDoNotSaveState), gfx::Result::Ok);
    EXPECT_EQ(passes, 2u);
    EXPECT_EQ(effect->Begin(&passes, 0), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->SetTechnique(effect->GetTechniqueByName("Plain")), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->CommitChanges(), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->BeginPass(2), gfx::Result::InvalidCall);
    ASSERT_EQ(effect->BeginPass(1), gfx::Result::Ok);
    EXPECT_EQ(effect->BeginPass(0), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->CommitChanges(), gfx::Result::Ok);
    EXPECT_EQ(effect->EndPass(), gfx::Result::Ok);
    EXPECT_EQ(effect->EndPass(), gfx::Result::InvalidCall);
    EXPECT_EQ(effect->End(), gfx::Result::Ok);
    EXPECT_EQ(effect->OnLostDevice(), gfx::Result::Ok);
    EXPECT_EQ(effect->OnResetDevice(), gfx::Result::Ok);
    EXPECT_TRUE(Logged("Effect.OnLostDevice"));
    EXPECT_TRUE(Logged("Effect.OnResetDevice"));
}

// A pass sets its render states, and its samplers' textures and states at their stages.
TEST_F(EffectRuntime, BeginPassPutsThePassStateOnTheDevice) {
    gfx::Ref<gfx::Texture> texture, second;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, texture.Out()), gfx::Result::Ok);
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, second.Out()), gfx::Result::Ok);
    ASSERT_EQ(effect->SetTexture(P("elemTex"), texture.Get()), gfx::Result::Ok);
    uint32_t passes = 0;
    effect->Begin(&passes, 0);
    state->calls.clear();
    ASSERT_EQ(effect->BeginPass(0), gfx::Result::Ok);

    uint32_t value = 0;
    device->GetRenderState(gfx::RenderState::AlphaBlendEnable, &value);
    EXPECT_EQ(value, 1u);
    device->GetRenderState(gfx::RenderState::CullMode, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(gfx::Cull::None));
    device->GetSamplerState(0, gfx::SamplerState::MinFilter, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(gfx::TextureFilter::Linear));
    device->GetSamplerState(0, gfx::SamplerState::AddressU, &value);
    EXPECT_EQ(value, static_cast<uint32_t>(gfx::TextureAddress::Clamp));
    gfx::Ref<gfx::BaseTexture> bound;
    device->GetTexture(0, bound.Out());
    EXPECT_EQ(bound.Get(), texture.Get());
    EXPECT_TRUE(Logged("SetTexture(1, null)")) << "the cube sampler has the next stage";
    EXPECT_LT(state->Find("Effect.BeginPass(0)"), state->Find("SetRenderState(AlphaBlendEnable, 1)"));

    // A commit re-binds only the textures that changed.
    state->calls.clear();
    effect->SetTexture(P("elemTex"), second.Get());
    ASSERT_EQ(effect->CommitChanges(), gfx::Result::Ok);
    EXPECT_TRUE(Logged("SetTexture(0, #" + std::to_string(gfx::fake::IdOf(second.Get())) + ")"));
    EXPECT_FALSE(Logged("SetTexture(1"));
    EXPECT_FALSE(Logged("SetRenderState"));
    effect->EndPass();
    effect->End();
    effect->SetTexture(P("elemTex"), nullptr);
    device->SetTexture(0, nullptr);
}

// An effect holds what is set on it: a texture lives while set, and goes when replaced.
TEST_F(EffectRuntime, TexturesSetOnAnEffectAreReferenced) {
    gfx::Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, &texture), gfx::Result::Ok);
    ASSERT_EQ(effect->SetTexture(P("elemTex"), texture), gfx::Result::Ok);
    const int live = state->liveObjects;
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(state->liveObjects, live);
    gfx::Ref<gfx::BaseTexture> got;
    ASSERT_EQ(effect->GetTexture(P("elemTex"), got.Out()), gfx::Result::Ok);
    EXPECT_EQ(got.Get(), texture);
    got.Reset();
    ASSERT_EQ(effect->SetTexture(P("elemTex"), nullptr), gfx::Result::Ok);
    EXPECT_EQ(state->liveObjects, live - 1);
}

TEST_F(EffectRuntime, ReleasingTheEffectReleasesItsTextures) {
    gfx::Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, &texture), gfx::Result::Ok);
    effect->SetTexture(P("elemTex"), texture);
    texture->Release();
    const int live = state->liveObjects;
    effect.Reset();
    EXPECT_LT(state->liveObjects, live - 1) << "the texture and the effect are gone";
}

TEST(EffectCreation, FailuresGiveTheCompilerTextOrNone) {
    auto state = std::make_shared<gfx::fake::State>();
    gfx::Ref<gfx::System> system(gfx::fake::CreateSystem(state));
    gfx::PresentParams params;
    params.backBufferWidth = 64;
    params.backBufferHeight = 64;
    gfx::Ref<gfx::Device> device;
    ASSERT_EQ(system->CreateDevice(nullptr, 0, params, device.Out()), gfx::Result::Ok);

    struct Case {
        const char* what;
        bool scripted;
        std::optional<std::string> scriptedErrors;
        std::string text;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"compiler text", true, std::string("boom"), kEffect, std::string("boom")},
        {"empty text", true, std::string(), kEffect, std::string()},
        {"no text at all", true, std::nullopt, kEffect, std::nullopt},
        {"parse error", false, std::nullopt, "effect 1\nwhat\n", std::string("line 2: unknown keyword 'what'")},
    };
    for (const Case& c : cases) {
        state->script.failEffects = c.scripted;
        state->script.effectErrors = c.scriptedErrors;
        gfx::Ref<gfx::Effect> effect;
        std::optional<std::string> errors = std::string("stale");
        EXPECT_EQ(gfx::CreateEffect(device.Get(), c.text.data(), c.text.size(), effect.Out(), &errors),
                  gfx::Result::CompileFailed)
            << c.what;
        EXPECT_FALSE(effect) << c.what;
        EXPECT_EQ(errors, c.expected) << c.what;
    }
}

}  // namespace
