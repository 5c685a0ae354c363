#pragma once

#include "renderer/ZShader.h"

// The base of the full-screen pass shaders: answers the headset's lens-warp
// parameters from the headset manager (identity values without a headset)
// and hands every other parameter down the chain.
class ZHMDShader : public ZShader {
public:
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
