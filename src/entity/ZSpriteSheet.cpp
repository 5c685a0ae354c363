#include "entity/ZSpriteSheet.h"

#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

namespace {

constexpr float kUnitSquare[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};

}  // namespace

// Without a device the sheet still keeps its texture's size for the animation.
ZSpriteSheet::ZSpriteSheet(const ZHashedString name, const char* const fileName)
    : ZQuadRenderable(kUnitSquare), textureName(name) {
    if (fileName != nullptr) {
        texture = LoadManagedTexture(fileName, name, nullptr);
    }
}

ZSpriteSheet::~ZSpriteSheet() {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
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
