#include "entity/ZSpriteSheet.h"

#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

ZSpriteSheet::ZSpriteSheet(const ZHashedString name, const char* const fileName) : textureName(name) {
    static constexpr float kPositions[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    const ZStreamElement elements[2] = {{kPositions, 12, 0, false}, {kTexCoords, 8, 5, false}};
    // Without a device there is nothing to draw with; the sheet still keeps
    // its texture's size for the animation.
    if (m_vertices.Create(elements, 2, 4) && m_indices.Create(kIndices, 6)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    } else {
        m_vertices.Release();
        m_indices.Release();
    }
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
