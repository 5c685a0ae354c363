#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"
#include "renderer/ZShader.h"

// A picture of the minimap in the corner of the frame ("minimap.fxo"): one texture on a unit quad placed in the
// 256 x 224 frame by position and scale (pixels, y up), magenta see-through,
// drawn in the anaglyph eye like the world. The subclasses choose the
// picture, where it sits and which part of the texture shows.
class MinimapShader : public ZShader {
public:
    MinimapShader();
    ~MinimapShader() override;
    MinimapShader(const MinimapShader&) = delete;
    MinimapShader& operator=(const MinimapShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZHashedString textureName;
    ZVector3 position{0.0f, 0.0f, 0.0f};
    ZVector3 scale{0.0f, 0.0f, 0.0f};
};
