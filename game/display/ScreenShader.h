#pragma once

#include "game/display/ScanlinesShader.h"

// The CRT's glass: the composite frame through the tube's curvature, the
// scanlines and mask, and the light on the glass.
class ScreenShader : public ScanlinesShader {
public:
    ScreenShader();
    ~ScreenShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // screen.fxo draws without blending and writes the glass's depth (near the
    // near plane), so the backdrop drawn after it leaves it alone.
    bool DrawsOpaqueInFront() const override { return TechniqueDeclares("OpaqueInFront"); }
};
