#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "renderer/ZQuadRenderable.h"

class ZTexture;

// A sprite's drawable: the unit square from (0, 0) to (1, 1), y down, texture
// v = y, with the sheet texture; the sprite's world matrix scales it to its
// size in pixels. It answers
// "DiffuseMap" with its texture and hands every other parameter down its
// chain (to the sprite component). It leaves every render group when deleted.
class ZSpriteSheet : public ZQuadRenderable {
public:
    // Loads the sheet through the texture cache under the name.
    ZSpriteSheet(ZHashedString name, const char* fileName);
    // Gives back its reference to the cached texture.
    ~ZSpriteSheet() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The sheet's size in pixels; 0 without a texture.
    int32_t GetWidth() const;
    int32_t GetHeight() const;

    ZHashedString textureName;
    ZTexture* texture = nullptr;
    uint8_t flags = 1;
};
