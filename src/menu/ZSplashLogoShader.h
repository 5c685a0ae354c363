#pragma once

#include "foundation/ZMatrix4.h"
#include "menu/ZSingleTextureShader.h"

// The flat logo of the start-up splash ("wvpMat", "QMWTexture"): at most
// 61.8 % of the screen height, in its own aspect ratio. The fade and the
// rest come from its owner, the splash.
class ZSplashLogoShader : public ZSingleTextureShader {
public:
    ZSplashLogoShader();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The logo's transform in clip units for a screen of aspect ratio
    // `aspect` and a logo of aspect ratio `logoAspect`.
    static ZMatrix4 ComputeTransform(float aspect, float logoAspect);
};
