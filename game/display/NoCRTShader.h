#pragma once

#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// The clean frame shown flat, letterboxed or pillarboxed to the picture's
// aspect, when the CRT simulation is off.
class NoCRTShader : public ZShader {
public:
    NoCRTShader();
    ~NoCRTShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // nocrt.fxo draws without blending (its bars included) and writes the
    // near plane's depth.
    bool DrawsOpaqueInFront() const override { return TechniqueDeclares("OpaqueInFront"); }

    // "UVScalar" and "UVOffset" for a picture of aspect pictureAspect on a
    // display of aspect displayAspect: a pillarbox when the picture is not
    // wider than the display, else a letterbox.
    static void ComputeBox(float pictureAspect, float displayAspect, ZVector4& scalar, ZVector4& offset);
};
