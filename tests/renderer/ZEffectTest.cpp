// Effects: which parameters are bound automatically and in which scope,
// techniques by name, the binding setters, the effect cache, load failures,
// shaders' pass bindings and the parameter-source chain.

#include <map>
#include <string>
#include <tuple>

#include "RendererFixture.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZVector4.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZParameterSource.h"
#include "renderer/ZShader.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTransform.h"

using namespace rtest;

namespace {

const char* kCode = R"(code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
)";

std::string Technique(const char* name) {
    return std::string("technique ") + name + "\n    pass P0\n        vertex VS\n        fragment FS\nend\n";
}

const char* kParameters = R"(effect 1
parameter float plain
parameter int material
annotation string Scope = "MatInst"
parameter bool hidden
annotation string Scope = "Renderable"
annotation bool AutoGen = false
parameter float4 instance
annotation string Scope = "RendInst"
parameter float3 alsoInstance
annotation string Scope = "Instance"
parameter float4x4 wvpMat
annotation string Scope = "renderable"
parameter column_major float4x3 bone
parameter texture diffuse
annotation string Scope = "Elsewhere"
parameter texture2D flat
parameter textureCUBE sky
parameter string label = "text"
parameter float weights[3]
annotation bool AutoGen = true
annotation float DefVal = 1
parameter bool2 switches
parameter int2 pair
struct light
    member float4 colour
    annotation string Scope = "Renderable"
    member float range
end
sampler sampler2D diffuseSampler
    texture diffuse
end
)";

class ZEffectTest : public RendererTest {
protected:
    ZEffect* Load(const std::string& name, const std::string& text) {
        WriteFile(name + ".fxo", text);
        return ZShaderMgr::GetInstance()->LoadEffect((name + ".fxo").c_str(), ZHashedString(name.c_str()));
    }
    ZEffectParameter* Binding(ZEffect* effect, const char* name) {
        ZParameterBlock* block = effect->GetRenderInstanceDef();
        for (ZEffectParameterList& list : block->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name)) return list[i];
            }
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(ZEffectTest, AnnotationsChooseScopeAndWhetherAParameterIsBound) {
    Start();
    ZEffect* effect = Load("params", std::string(kParameters) + Technique("T") + kCode);
    ASSERT_NE(effect->GetEffect(), nullptr);

    // name -> scope, kind, elements
    const std::map<std::string, std::tuple<uint32_t, int32_t, uint32_t>> expected = {
        {"plain", {0, ZEffectParameter::kFloat, 0}},
        {"material", {1, ZEffectParameter::kInt, 0}},
        {"instance", {3, ZEffectParameter::kVector, 0}},
        {"alsoInstance", {3, ZEffectParameter::kVector, 0}},
        {"wvpMat", {2, ZEffectParameter::kMatrix, 0}},
        {"bone", {0, ZEffectParameter::kMatrix, 0}},
        {"diffuse", {0, ZEffectParameter::kTexture, 0}},
        {"weights", {0, ZEffectParameter::kFloat, 3}},
        {"switches", {0, ZEffectParameter::kVector, 0}},
        {"pair", {0, ZEffectParameter::kVector, 0}},
        {"light.colour", {2, ZEffectParameter::kVector, 0}},
        {"light.range", {0, ZEffectParameter::kFloat, 0}},
    };
    std::map<std::string, std::tuple<uint32_t, int32_t, uint32_t>> found;
    const ZParameterBlock* block = effect->GetRenderInstanceDef();
    for (uint32_t scope = 0; scope < ZParameterBlock::kScopeCount; ++scope) {
        const ZEffectParameterList& list = block->lists[scope];
        for (uint32_t i = 0; i < list.Count(); ++i) {
            const ZEffectParameter* b = list[i];
            found[b->name.GetText()] = {scope, b->type, b->elements};
            EXPECT_NE(b->handle, 0u) << b->name.GetText();
        }
    }
    EXPECT_EQ(found, expected);
}

TEST_F(ZEffectTest, TechniquesAreFoundByName) {
    Start();
    ZEffect* effect = Load("two", std::string("effect 1\n") + Technique("Main") + Technique("Shadow") + kCode);
    ZPassBinding* main = effect->FindTechnique(ZHashedString("main"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->effect, effect);
    EXPECT_EQ(main->technique, ZHashedString("Main"));
    EXPECT_EQ(main->handle, effect->GetEffect()->GetTechniqueByName("Main"));
    ZPassBinding* shadow = effect->FindTechnique(ZHashedString("Shadow"));
    ASSERT_NE(shadow, nullptr);
    EXPECT_NE(shadow->handle, main->handle);
    EXPECT_EQ(effect->FindTechnique(ZHashedString("Missing")), nullptr);
}

TEST_F(ZEffectTest, BindingsSetTheirValuesOnTheCurrentEffect) {
    Start();
    ZEffect* effect = Load("params", std::string(kParameters) + Technique("T") + kCode);
    gfx::Effect* fx = effect->GetEffect();
    ZRenderer* r = GetRenderer();
    const auto h = [&](const char* name) { return fx->GetParameterByName(0, name); };

    // Without a current effect nothing happens.
    r->currentEffect = nullptr;
    Binding(effect, "plain")->SetFloat(9.0f);
    float value = -1.0f;
    fx->GetFloat(h("plain"), &value);
    EXPECT_EQ(value, 0.0f);

    r->currentEffect = fx;
    Binding(effect, "plain")->SetFloat(0.5f);
    fx->GetFloat(h("plain"), &value);
    EXPECT_EQ(value, 0.5f);

    Binding(effect, "material")->SetInt(7);
    int32_t integer = 0;
    fx->GetInt(h("material"), &integer);
    EXPECT_EQ(integer, 7);

    Binding(effect, "instance")->SetVector(ZVector4(1, 2, 3, 4));
    float v[4] = {};
    fx->GetVector(h("instance"), v);
    EXPECT_EQ(v[3], 4.0f);

    ZMatrix4 m;
    m.m[12] = 5.0f;
    Binding(effect, "wvpMat")->SetMatrix(m);
    float got[16] = {};
    fx->GetMatrix(h("wvpMat"), got);
    EXPECT_EQ(got[12], 5.0f);

    const float weights[3] = {0.25f, 0.5f, 0.75f};
    Binding(effect, "weights")->SetFloatArray(weights, 3);
    float gotWeights[3] = {};
    fx->GetFloatArray(h("weights"), gotWeights, 3);
    EXPECT_EQ(gotWeights[2], 0.75f);

    const bool switches[2] = {false, true};
    Binding(effect, "switches")->SetBoolArray(switches, 2);
    float asFloats[2] = {};
    fx->GetFloatArray(h("switches"), asFloats, 2);
    EXPECT_EQ(asFloats[1], 1.0f);

    Binding(effect, "light.colour")->SetVector(ZVector4(0, 0, 1, 1));
    fx->GetVector(h("light.colour"), v);
    EXPECT_EQ(v[2], 1.0f);

    // Textures by cached name; the none name unbinds, an unknown one changes nothing.
    ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(2, 2, ZHashedString("Tiles"));
    ZEffectParameter* diffuse = Binding(effect, "diffuse");
    diffuse->SetTexture(ZHashedString("Tiles"));
    gfx::BaseTexture* bound = nullptr;
    fx->GetTexture(h("diffuse"), &bound);
    EXPECT_EQ(bound, texture->GetTexture());
    bound->Release();
    diffuse->SetTexture(ZHashedString("Unknown"));
    fx->GetTexture(h("diffuse"), &bound);
    EXPECT_EQ(bound, texture->GetTexture());
    bound->Release();

    // Unbind clears textures and leaves other kinds alone.
    Binding(effect, "plain")->Unbind();
    fx->GetFloat(h("plain"), &value);
    EXPECT_EQ(value, 0.5f);
    diffuse->Unbind();
    fx->GetTexture(h("diffuse"), &bound);
    EXPECT_EQ(bound, nullptr);

    // A copy binds the same parameter.
    ZEffectParameter* copy = Binding(effect, "plain")->Clone();
    EXPECT_EQ(copy->handle, Binding(effect, "plain")->handle);
    copy->SetFloat(2.0f);
    fx->GetFloat(h("plain"), &value);
    EXPECT_EQ(value, 2.0f);
    delete copy;
    ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString("params"));
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Tiles"));
}

TEST_F(ZEffectTest, TheCacheCountsAndEveryReleaseUnbindsTextures) {
    Start();
    ZShaderMgr* shaders = ZShaderMgr::GetInstance();
    EXPECT_EQ(shaders->LoadEffect(nullptr, ZHashedString("x")), nullptr);
    ZEffect* first = Load("params", std::string(kParameters) + Technique("T") + kCode);
    ZEffect* second = shaders->LoadEffect("params.fxo", ZHashedString("PARAMS"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(shaders->GetRefCount(ZHashedString("params")), 2);

    ZTextureMgr::GetInstance()->CreateTexture(2, 2, ZHashedString("Tiles"));
    GetRenderer()->currentEffect = first->GetEffect();
    Binding(first, "diffuse")->SetTexture(ZHashedString("Tiles"));
    shaders->ReleaseEffect(ZHashedString("params"));
    EXPECT_EQ(shaders->FindEffect(ZHashedString("params")), first);
    gfx::BaseTexture* bound = nullptr;
    first->GetEffect()->GetTexture(first->GetEffect()->GetParameterByName(0, "diffuse"), &bound);
    EXPECT_EQ(bound, nullptr);

    ClearCalls();
    shaders->OnLostDevice();
    shaders->OnResetDevice();
    EXPECT_EQ(Count("Effect.OnLostDevice"), 1u);
    EXPECT_EQ(Count("Effect.OnResetDevice"), 1u);

    shaders->ReleaseEffect(ZHashedString("params"));
    EXPECT_EQ(shaders->FindEffect(ZHashedString("params")), nullptr);
    EXPECT_EQ(GetRenderer()->currentEffect, nullptr) << "the destroyed effect is no longer current";
    shaders->ReleaseEffect(ZHashedString("params"));

    Load("a", "effect 1\n");
    Load("b", "effect 1\n");
    shaders->ReleaseAll();
    EXPECT_EQ(shaders->GetCount(), 0u);
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Tiles"));
}

TEST_F(ZEffectTest, EffectsThatDoNotLoadAreEmptyAndSayWhy) {
    Start();
    // A missing file: the stream manager reports it; the effect is empty.
    ZEffect* missing = ZShaderMgr::GetInstance()->LoadEffect("absent.fxo", ZHashedString("absent"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetEffect(), nullptr);
    EXPECT_EQ(missing->FindTechnique(ZHashedString("T")), nullptr);
    missing->ClearTextureBindings();
    ZShaderMgr::GetInstance()->OnLostDevice();

    struct Case {
        std::optional<std::string> errors;
        const char* boxText;  // null: no box
    };
    const Case cases[] = {
        {std::string("line 3: oops"), "line 3: oops"},
        {std::nullopt, "Error loading effect file"},
        {std::string(), nullptr},
    };
    state->script.failEffects = true;
    int n = 0;
    for (const Case& c : cases) {
        state->script.effectErrors = c.errors;
        const size_t boxes = window->Boxes().size();
        const std::string name = "broken" + std::to_string(n++);
        ZEffect* effect = Load(name, "effect 1\n");
        EXPECT_EQ(effect->GetEffect(), nullptr);
        if (c.boxText == nullptr) {
            EXPECT_EQ(window->Boxes().size(), boxes);
            continue;
        }
        ASSERT_EQ(window->Boxes().size(), boxes + 1);
        EXPECT_EQ(window->Boxes().back().caption, "Shader Compilation Error");
        EXPECT_EQ(window->Boxes().back().text, c.boxText);
    }
}

TEST_F(ZEffectTest, ShadersGiveTheirPassBindingAndClearTheirEffectsTextures) {
    Start();
    ZEffect* main = Load("main", std::string(kParameters) + Technique("T") + kCode);
    ZEffect* other = Load("other", std::string(kParameters) + Technique("Glow") + kCode);
    ZShader shader;
    EXPECT_EQ(shader.GetPassBinding(ZHashedString("Any")), nullptr);
    shader.SetDefaultPassBinding(main->FindTechnique(ZHashedString("T")));
    shader.SetPassBinding(ZHashedString("Glow Pass"), other->FindTechnique(ZHashedString("Glow")));
    EXPECT_EQ(shader.GetPassBinding(ZHashedString("Any")), main->FindTechnique(ZHashedString("T")));
    EXPECT_EQ(shader.GetPassBinding(ZHashedString("glow pass")), other->FindTechnique(ZHashedString("Glow")));
    EXPECT_EQ(shader.GetUnscopedSource(), &shader);
    EXPECT_EQ(shader.GetMaterialInstanceSource(), nullptr);

    ZTextureMgr::GetInstance()->CreateTexture(2, 2, ZHashedString("Tiles"));
    for (ZEffect* effect : {main, other}) {
        GetRenderer()->currentEffect = effect->GetEffect();
        Binding(effect, "diffuse")->SetTexture(ZHashedString("Tiles"));
    }
    shader.ClearTextures();
    for (ZEffect* effect : {main, other}) {
        gfx::BaseTexture* bound = nullptr;
        effect->GetEffect()->GetTexture(effect->GetEffect()->GetParameterByName(0, "diffuse"), &bound);
        EXPECT_EQ(bound, nullptr);
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Tiles"));
}

namespace {

// Answers one parameter by name and hands everything else on.
class NamedSource : public ZParameterSource {
public:
    explicit NamedSource(const char* name) : m_name(name) {}
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override {
        if (binding->name == m_name) {
            ++answered;
            return true;
        }
        return ZParameterSource::SetParameters(binding, passName, source);
    }
    int answered = 0;

private:
    ZHashedString m_name;
};

}  // namespace

TEST(ZParameterSource, RequestsGoDownTheChainThatNeverLoops) {
    NamedSource a("alpha"), b("beta");
    ZParameterSource end;
    ASSERT_TRUE(ZTransform::SetParent(&a, &b));
    ASSERT_TRUE(ZTransform::SetParent(&b, &end));
    ZEffectParameter beta(nullptr, "beta", ZEffectParameter::kFloat, 0);
    ZEffectParameter gamma(nullptr, "gamma", ZEffectParameter::kFloat, 0);
    EXPECT_TRUE(a.SetParameters(&beta, ZHashedString::None(), &a));
    EXPECT_EQ(b.answered, 1);
    EXPECT_FALSE(a.SetParameters(&gamma, ZHashedString::None(), &a));

    // A link that would close a loop is refused and the old one stays.
    EXPECT_FALSE(ZTransform::SetParent(&end, &a));
    EXPECT_EQ(end.GetAttachedSource(), nullptr);
    EXPECT_FALSE(ZTransform::SetParent(&a, &a));
    EXPECT_EQ(a.GetAttachedSource(), &b);

    // Chains of 10 links or more are refused.
    ZParameterSource chain[10];
    for (int i = 0; i + 1 < 10; ++i) ASSERT_TRUE(ZTransform::SetParent(&chain[i], &chain[i + 1]));
    ZParameterSource head;
    EXPECT_FALSE(ZTransform::SetParent(&head, &chain[0]));
    EXPECT_TRUE(ZTransform::SetParent(&head, &chain[1]));
    EXPECT_TRUE(ZTransform::SetParent(&head, nullptr));
    EXPECT_EQ(head.GetAttachedSource(), nullptr);
}
