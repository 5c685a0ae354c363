#pragma once

#include "renderer/ZShader.h"

// The shader of the depth backdrop: one flat colour over what the world's
// opaque group left at the far depth. Holds one reference to its effect.
class ZDepthBackdropShader : public ZShader {
public:
    ZDepthBackdropShader();
    ~ZDepthBackdropShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The effect writes BackdropColor as it is, without blending or depth.
    bool GetPlainColor(ZVector4& color) const override;
};
