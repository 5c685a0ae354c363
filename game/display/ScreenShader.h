#pragma once

#include "game/display/ScanlinesShader.h"

// The CRT's glass: the composite frame through the tube's curvature, the
// scanlines and mask, and the light on the glass.
class ScreenShader : public ScanlinesShader {
public:
    ScreenShader();
    ~ScreenShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
