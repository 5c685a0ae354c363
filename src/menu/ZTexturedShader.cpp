#include "menu/ZTexturedShader.h"

#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

struct ParamNames {
    ZHashedString elemTex{"elemTex"};
    ZHashedString modTex{"modTex"};
    ZHashedString modColor{"modColor"};
    ZHashedString invHalfScreenWidth{"invHalfScreenWidth"};
    ZHashedString invHalfScreenHeight{"invHalfScreenHeight"};
    ZHashedString xOffset{"xOffset"};
    ZHashedString yOffset{"yOffset"};
};

const ParamNames& Names() {
    static const ParamNames names;
    return names;
}

constexpr float kFourByThree = 1.3333334f;

// 2 / size: a pixel coordinate times it spans the clip range.
float InverseHalf(const int32_t pixels) {
    return pixels > 0 ? 2.0f / static_cast<float>(pixels) : 0.0f;
}

}  // namespace

ZTexturedShader::~ZTexturedShader() {
    if (!m_loaded) {
        return;
    }
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(effectName);
    }
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    textures->ReleaseTexture(textureName);
    textures->ReleaseTexture(modTextureName);
}

void ZTexturedShader::Describe(const char* shaderName, const char* effect, const char* textureNameIn,
                               const char* textureFileIn, const char* modNameIn, const char* modFileIn,
                               const char* techniqueIn) {
    effectName = ZHashedString(shaderName);
    effectFile = effect;
    technique = ZHashedString(techniqueIn);
    textureName = ZHashedString(textureNameIn);
    textureFile = textureFileIn;
    modTextureName = ZHashedString(modNameIn);
    modTextureFile = modFileIn;
}

bool ZTexturedShader::Load() {
    if (m_loaded) {
        return GetDefaultPassBinding() != nullptr;
    }
    m_loaded = true;
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(effectFile.GetText(), effectName);
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    textures->LoadTexture(textureFile.GetText(), textureName, nullptr);
    textures->LoadTexture(modTextureFile.GetText(), modTextureName, nullptr);
    ZPassBinding* binding = effect != nullptr ? effect->FindTechnique(technique) : nullptr;
    if (binding != nullptr) {
        SetDefaultPassBinding(binding);
    }
    return binding != nullptr;
}

bool ZTexturedShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                    ZParameterSource* source) {
    return SetMenuElementShaderParams(*this, binding, passName, source);
}

bool ZScreenSpaceTexturedShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                               ZParameterSource* source) {
    return SetScreenSpaceShaderParams(*this, binding, passName, source);
}

bool SetMenuElementShaderParams(ZTexturedShader& shader, ZEffectParameter* binding,
                                const ZHashedString passName, ZParameterSource* source) {
    if (binding == nullptr) {
        return false;
    }
    const ParamNames& n = Names();
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (binding->name == n.elemTex) {
        binding->SetTexture(shader.textureName);
    } else if (binding->name == n.modTex) {
        binding->SetTexture(shader.modTextureName);
    } else if (binding->name == n.modColor) {
        binding->SetVector(ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (binding->name == n.invHalfScreenWidth) {
        binding->SetFloat(InverseHalf(game != nullptr ? game->GetScreenWidth() : 0));
    } else if (binding->name == n.invHalfScreenHeight) {
        binding->SetFloat(InverseHalf(game != nullptr ? game->GetScreenHeight() : 0));
    } else if (binding->name == n.xOffset || binding->name == n.yOffset) {
        binding->SetFloat(0.0f);
    } else {
        return shader.ZShader::SetParameters(binding, passName, source);
    }
    return true;
}

bool SetScreenSpaceShaderParams(ZTexturedShader& shader, ZEffectParameter* binding,
                                const ZHashedString passName, ZParameterSource* source) {
    if (binding == nullptr) {
        return false;
    }
    const ParamNames& n = Names();
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return SetMenuElementShaderParams(shader, binding, passName, source);
    }
    // x scale, y scale, x margin, y margin: the 1024 x 768 frame centred in
    // the screen. The effects put y = 0 at the top of the screen, so the
    // frame's top sits the y margin below it.
    const float* mapping = game->GetHUDMapping();
    if (binding->name == n.invHalfScreenWidth) {
        binding->SetFloat(mapping[0]);
    } else if (binding->name == n.invHalfScreenHeight) {
        binding->SetFloat(mapping[1]);
    } else if (binding->name == n.xOffset) {
        const ZMenuMgr* menus = PeekMenuMgr();
        float slide = menus != nullptr ? menus->GetSlideOffset() : 0.0f;
        const float aspect = game->GetAspectRatio();
        if (aspect > kFourByThree) {
            slide *= kFourByThree / aspect;
        }
        if (ZMenu* top = menus != nullptr ? menus->GetTopMenu() : nullptr) {
            top->AdjustSlideX(&slide);
        }
        binding->SetFloat(mapping[2] + slide);
    } else if (binding->name == n.yOffset) {
        const ZMenuMgr* menus = PeekMenuMgr();
        float slide = 0.0f;
        if (ZMenu* top = menus != nullptr ? menus->GetTopMenu() : nullptr) {
            top->AdjustSlideY(&slide);
        }
        binding->SetFloat(-mapping[3] + slide);
    } else {
        return SetMenuElementShaderParams(shader, binding, passName, source);
    }
    return true;
}

ZVector4 ArgbToVector(const uint32_t argb) {
    const auto channel = [argb](const int shift) { return static_cast<float>(argb >> shift & 0xFFu) / 255.0f; };
    return ZVector4(channel(16), channel(8), channel(0), channel(24));
}

// --- The engine's default textured shaders ---

namespace {

enum class Mapping { Pixels, Frame };

ZTexturedShader* LoadDefault(const Mapping mapping, const char* shaderName, const char* effect,
                             const char* textureName, const char* textureFile) {
    ZTexturedShader* shader =
        mapping == Mapping::Frame ? new ZScreenSpaceTexturedShader() : new ZTexturedShader();
    shader->Describe(shaderName, effect, textureName, textureFile, "__Default_Mod", "mod_white.dds");
    shader->Load();
    return shader;
}

constexpr const char* kGlyphShader = "__Default_Glyph Shader";
constexpr const char* kGlyphEffect = "__ZORP_Default_Glyph.fxo";
constexpr const char* kFontShader = "__Default_Font Shader";
constexpr const char* kFontEffect = "__ZORP_Default_HUD.fxo";

}  // namespace

ZTexturedShader* LoadXboxGlyphShader() {
    return LoadDefault(Mapping::Pixels, kGlyphShader, kGlyphEffect, "XBOX_BUTTONS_GLYPHS", "xbox_dxt5.dds");
}

ZTexturedShader* LoadXboxGlyphShaderAlt() {
    return LoadDefault(Mapping::Frame, kGlyphShader, kGlyphEffect, "XBOX_BUTTONS_GLYPHS", "xbox_dxt5.dds");
}

ZTexturedShader* LoadGenGlyphShader() {
    return LoadDefault(Mapping::Pixels, kGlyphShader, kGlyphEffect, "GEN_BUTTONS_GLYPHS", "gen_dxt5.dds");
}

ZTexturedShader* LoadGenGlyphShaderAlt() {
    return LoadDefault(Mapping::Frame, kGlyphShader, kGlyphEffect, "GEN_BUTTONS_GLYPHS", "gen_dxt5.dds");
}

ZTexturedShader* LoadUIGlyphShader() {
    return LoadDefault(Mapping::Frame, kGlyphShader, kGlyphEffect, "UI_GLYPHS", "uiglyphs.dds");
}

ZTexturedShader* LoadDefaultFontShader() {
    return LoadDefault(Mapping::Pixels, kFontShader, kFontEffect, "__Default_Font_Tahoma_8",
                       "Font_Tahoma_8_256.dds");
}

ZTexturedShader* LoadDefaultFontShaderAlt() {
    return LoadDefault(Mapping::Frame, kFontShader, kFontEffect, "__Default_Font_Tahoma_8",
                       "Font_Tahoma_8_256.dds");
}
