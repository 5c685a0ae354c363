#pragma once

#include "foundation/ZHashedString.h"
#include "renderer/ZShader.h"

class ZTexture;

// The shader of a textured sprite: answers "DiffuseMap" with its texture
// (held by name in the texture cache) and hands every other parameter to its
// fallback source. The effect binding is set by its owner.
class DiffuseMapShader : public ZShader {
public:
    DiffuseMapShader() = default;
    // Gives the texture back to the cache.
    ~DiffuseMapShader() override;
    DiffuseMapShader(const DiffuseMapShader&) = delete;
    DiffuseMapShader& operator=(const DiffuseMapShader&) = delete;

    // Loads the texture of that name (the name is also its file), giving back
    // the one held before.
    void SetTexture(ZHashedString name);

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZHashedString GetTextureName() const { return m_textureName; }
    ZTexture* GetTexture() const { return m_texture; }

private:
    void ReleaseHeldTexture();

    ZHashedString m_textureName;
    ZTexture* m_texture = nullptr;
};
