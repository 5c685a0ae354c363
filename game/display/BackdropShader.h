#pragma once

#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// The game's backdrop: one colour over every pixel the world left empty.
class BackdropShader : public ZShader {
public:
    BackdropShader();
    ~BackdropShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // backdrop.fxo writes BackdropColor as it is, without blending or depth.
    bool GetPlainColor(ZVector4& plain) const override;

    ZVector4 color{0.0f, 0.0f, 0.0f, 1.0f};
};
