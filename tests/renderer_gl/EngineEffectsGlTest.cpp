// Every effect in Engine.zpk compiles and links on the OpenGL device, and the
// effects the engine loads by name carry the techniques and parameters its
// shaders ask for.

#include <set>
#include <string>
#include <vector>

#include "FullscreenPassFixture.h"

using namespace gltest;

namespace {

struct Case {
    const char* file;
    std::vector<const char*> techniques;
    std::vector<const char*> parameters;  // those the engine's sources answer
};

const std::vector<const char*> kScreenSpace = {
    "elemTex", "modTex", "modColor", "invHalfScreenWidth", "invHalfScreenHeight", "xOffset", "yOffset"};

const std::vector<Case>& EngineEffects() {
    static const std::vector<Case> cases = {
        {"__ZORP_Default_HUD.fxo", {"HUD"}, kScreenSpace},
        {"__ZORP_Default_Glyph.fxo", {"HUD"}, kScreenSpace},
        {"__ZORP_Default_Menu_Underlay.fxo",
         {"HUD"},
         {"elemTex", "modTex", "invHalfScreenWidth", "invHalfScreenHeight", "xOffset", "yOffset", "wvpMat",
          "OpacityColor", "TexSize", "TexSplit", "CenterScale", "AspectRatio", "CornerScale"}},
        {"__ZORP_Console_Backdrop.fxo", {"Backdrop"}, {"wvpMat", "invHalfScreenHeight", "BackdropOpacity"}},
        {"__ZORP_Depth_Backdrop.fxo", {"BackdropTech"}, {"BackdropColor"}},
        {"anag_backdrop.fxo",
         {"BackdropTech"},
         {"wvpMat", "BackdropTexture", "AspectRatio", "TexSize", "TexSplit", "CornerScale", "CenterScale",
          "MaskColor", "BackdropOpacity", "AnaglyphDistance", "AnaglyphDistanceOffset", "AnaglyphColor",
          "AnaglyphSilhFix", "AnaglyphDesat", "AnaglyphGamma"}},
        {"__ZORP_Final_Pass.fxo",
         {"FinalPassTechnique"},
         {"FinalPassBackbuffer", "tateMat", "Brightness", "LensCenter", "Warp_Scale", "Warp_Offset",
          "VertScale", "FOVScale", "HmdWarpParam"}},
        {"__ZORP_FXAA_None.fxo", {"PreHUDPassTechnique"}, {"PreHUDPassBackbuffer", "FadeOut"}},
        {"__ZORP_FXAA_Low.fxo",
         {"PreHUDPassTechnique"},
         {"PreHUDPassBackbuffer", "rcpFrame", "bUseFXAA", "FadeOut"}},
        {"__ZORP_FXAA_Medium.fxo",
         {"PreHUDPassTechnique"},
         {"PreHUDPassBackbuffer", "rcpFrame", "bUseFXAA", "FadeOut"}},
        {"__ZORP_FXAA_High.fxo",
         {"PreHUDPassTechnique"},
         {"PreHUDPassBackbuffer", "rcpFrame", "bUseFXAA", "FadeOut"}},
        {"__ZORP_FXAA_Ultra.fxo",
         {"PreHUDPassTechnique"},
         {"PreHUDPassBackbuffer", "rcpFrame", "bUseFXAA", "FadeOut"}},
    };
    return cases;
}

// The names of the automatic bindings of an effect.
std::set<std::string> BindingNames(ZEffect* effect) {
    std::set<std::string> names;
    for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
        for (uint32_t i = 0; i < list.Count(); ++i) names.insert(list[i]->name.GetText());
    }
    return names;
}

}  // namespace

TEST_F(FullscreenPassTest, EveryEffectInTheEnginePackageCompilesAndLinks) {
    ZArray<ZString> files;
    ZStreamMgr::GetInstance()->FindFiles(files, "*.fxo");
    std::set<std::string> found;
    for (const ZString& file : files) {
        const std::string name = file.GetText();
        if (!found.insert(name).second) continue;
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(name.c_str(), ZHashedString(name.c_str()));
        ASSERT_NE(effect, nullptr);
        gfx::Effect* fx = effect->GetEffect();
        ASSERT_NE(fx, nullptr) << name << " did not compile";
        // Every technique the file declares begins each of its passes.
        const uint32_t techniques = fx->GetDesc().techniques;
        EXPECT_GT(techniques, 0u) << name;
        GetRenderer()->currentEffect = fx;
        for (uint32_t t = 0; t < techniques; ++t) {
            const gfx::Handle technique = fx->GetTechnique(t);
            ASSERT_EQ(fx->SetTechnique(technique), gfx::Result::Ok) << name;
            uint32_t passes = 0;
            ASSERT_EQ(fx->Begin(&passes, gfx::kDoNotSaveState), gfx::Result::Ok) << name;
            for (uint32_t p = 0; p < passes; ++p) {
                EXPECT_EQ(fx->BeginPass(p), gfx::Result::Ok) << name << " technique " << t << " pass " << p;
                fx->EndPass();
            }
            fx->End();
        }
        GetRenderer()->currentEffect = nullptr;
        ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString(name.c_str()));
    }
    for (const Case& c : EngineEffects()) {
        EXPECT_EQ(found.count(c.file), 1u) << c.file << " is not in Engine.zpk";
    }
}

TEST_F(FullscreenPassTest, EngineEffectsCarryTheirTechniquesAndParameters) {
    for (const Case& c : EngineEffects()) {
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(c.file, ZHashedString(c.file));
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(effect->GetEffect(), nullptr) << c.file;
        for (const char* technique : c.techniques) {
            EXPECT_NE(effect->FindTechnique(ZHashedString(technique)), nullptr)
                << c.file << ": " << technique;
        }
        const std::set<std::string> names = BindingNames(effect);
        for (const char* parameter : c.parameters) {
            EXPECT_EQ(names.count(parameter), 1u) << c.file << ": " << parameter;
        }
        ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString(c.file));
    }
}
