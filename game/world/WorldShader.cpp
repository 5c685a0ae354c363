#include "game/world/WorldShader.h"

#include "foundation/ZVector4.h"
#include "game/world/WorldAtlas.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"

namespace {

const ZVector4 kMaskColor(1.0f, 0.0f, 1.0f, 1.0f);

void LoadEffect(ZShader& shader, const char* fileName, const ZHashedString effectName, const char* technique) {
    ZEffect* const effect = ZShaderMgr::GetInstance()->LoadEffect(fileName, effectName);
    if (effect == nullptr) {
        return;
    }
    if (ZPassBinding* binding = effect->FindTechnique(ZHashedString(technique))) {
        shader.SetDefaultPassBinding(binding);
    }
}

void ReleaseEffect(const ZHashedString effectName) {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(effectName);
    }
}

}  // namespace

WorldShader::WorldShader() { LoadEffect(*this, "world.fxo", ZHashedString("World Shader"), "WorldTech"); }

WorldShader::~WorldShader() { ReleaseEffect(ZHashedString("World Shader")); }

bool WorldShader::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                ZParameterSource* const source) {
    static const ZHashedString kMask("MaskColor");
    static const ZHashedString kDiffuse("DiffuseMap");
    if (binding != nullptr && binding->name == kMask) {
        binding->SetVector(kMaskColor);
        return true;
    }
    if (binding != nullptr && binding->name == kDiffuse) {
        binding->SetTexture(ZHashedString(kWorldTilesTexture));
        return true;
    }
    ZParameterSource* const attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}

SpritesShader::SpritesShader() { LoadEffect(*this, "sprites.fxo", ZHashedString("Sprites Shader"), "SpriteTech"); }

SpritesShader::~SpritesShader() { ReleaseEffect(ZHashedString("Sprites Shader")); }

bool SpritesShader::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                  ZParameterSource* const source) {
    static const ZHashedString kMask("MaskColor");
    if (binding != nullptr && binding->name == kMask) {
        binding->SetVector(kMaskColor);
        return true;
    }
    ZParameterSource* const attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}
