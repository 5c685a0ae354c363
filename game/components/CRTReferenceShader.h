#pragma once

#include "renderer/ZShader.h"

// The CRT reference picture's shader ("CRT Reference Shader", "crtref.fxo",
// "CRTRefTech"): the picture "crtref.bmp" (with the palette "ntsc.pal") as
// "CRTRefTex", and the game's running time as "Scroll".
class CRTReferenceShader : public ZShader {
public:
    CRTReferenceShader();
    // Lets go of the effect and the texture.
    ~CRTReferenceShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
