#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"
#include "renderer/ZShader.h"

// A picture of the full map of the map screen ("fullmap.fxo"): one texture on a unit quad placed in the
// 256 x 224 frame by position and scale (pixels, y up), magenta see-through,
// drawn in the anaglyph eye like the world. The subclasses choose the
// picture, where it sits and which part of the texture shows.
class FullMapShader : public ZShader {
public:
    FullMapShader();
    ~FullMapShader() override;
    FullMapShader(const FullMapShader&) = delete;
    FullMapShader& operator=(const FullMapShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZHashedString textureName;
    ZVector3 position{0.0f, 0.0f, 0.0f};
    ZVector3 scale{0.0f, 0.0f, 0.0f};
};
