#pragma once

#include "renderer/ZShader.h"

// The base of the CRT screen and monitor shaders: the composite frame just
// written, the scanline and shadow-mask texture, and every tuning value of
// the tube and its lighting. It loads no effect of its own.
class ScanlinesShader : public ZShader {
public:
    ScanlinesShader();
    ~ScanlinesShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // With the parity flag set the composite pass has just written "Composite Frame 2".
    bool parity = false;

protected:
    // "nearPlaneDepth", "invNearFarPlaneDepth" and "camPos" from the camera;
    // false when the name is none of them.
    bool SetCameraParameter(ZEffectParameter* binding);
};
