#include "entity/ZSpriteSheet.h"

#include "renderer/ZEffectParameter.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

ZSpriteSheet::ZSpriteSheet(const ZHashedString name, const char* const fileName) : textureName(name) {
    texture = LoadManagedTexture(fileName, name, nullptr);
}

ZSpriteSheet::~ZSpriteSheet() {
    if (texture != nullptr) {
        ZTextureMgr::GetInstance()->ReleaseTexture(textureName);
    }
}

bool ZSpriteSheet::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                 ZParameterSource* const source) {
    static const ZHashedString kDiffuseMap("DiffuseMap");
    if (binding != nullptr && binding->name == kDiffuseMap) {
        binding->SetTexture(textureName);
        return true;
    }
    return ZRenderable::SetParameters(binding, passName, source);
}

int32_t ZSpriteSheet::GetWidth() const { return texture != nullptr ? texture->width : 0; }

int32_t ZSpriteSheet::GetHeight() const { return texture != nullptr ? texture->height : 0; }
