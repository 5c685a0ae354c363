#pragma once

#include "renderer/ZShader.h"

// The world tile layers' shader ("World Shader", "world.fxo", "WorldTech"):
// the mask colour and the tile atlas; the rest goes to the attached source.
class WorldShader : public ZShader {
public:
    WorldShader();
    ~WorldShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};

// The sprites' shader ("Sprites Shader", "sprites.fxo", "SpriteTech"): the
// mask colour; the rest goes to the attached source.
class SpritesShader : public ZShader {
public:
    SpritesShader();
    ~SpritesShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
