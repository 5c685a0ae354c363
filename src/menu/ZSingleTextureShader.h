#pragma once

#include "foundation/ZHashedString.h"
#include "renderer/ZShader.h"

class ZTexture;

// A shader of one effect and one picture, both held by name in their caches
// from construction to destruction: the title picture and the two parts of
// the start-up splash. It answers the picture's parameter; every other
// parameter goes to the attached source (the shader's owner), false without one.
class ZSingleTextureShader : public ZShader {
public:
    // Loads the effect under effectName and keeps the technique's binding when
    // the effect has it; loads the picture under textureName. A missing file
    // is reported by its cache and leaves that part empty.
    ZSingleTextureShader(const char* effectFile, ZHashedString effectName, ZHashedString technique,
                         const char* textureFile, ZHashedString textureName, ZHashedString textureParameter);
    // Gives both back to their caches.
    ~ZSingleTextureShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The picture, or null when it did not load.
    ZTexture* GetTexture() const { return m_texture; }
    // Width / height of the picture; 1 without one.
    float GetTextureAspect() const;
    bool HasTechnique() const { return GetDefaultPassBinding() != nullptr; }

private:
    ZHashedString m_effectName;
    ZHashedString m_textureName;
    ZHashedString m_textureParameter;
    ZTexture* m_texture = nullptr;
};
