#pragma once

#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// The screen wipe: "wipe.fxo" driven by one offset vector, of which only the
// second component moves (the wipe cinematic starts it at 100 and animates
// it; the loading screen puts it back to 0).
class WipeShader : public ZShader {
public:
    WipeShader();
    ~WipeShader() override;
    WipeShader(const WipeShader&) = delete;
    WipeShader& operator=(const WipeShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZVector4 offset{0.0f, 0.0f, 0.0f, 0.0f};
};
