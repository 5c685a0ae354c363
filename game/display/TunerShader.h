#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"
#include "renderer/ZShader.h"

// A picture of the CRT tuner screen ("tuner.fxo"): one texture on a unit
// quad placed in the 256 x 224 frame by position and scale (pixels, y up).
// The subclasses choose the picture and where it sits.
class TunerShader : public ZShader {
public:
    // Loads the effect and both tuner pictures.
    TunerShader();
    ~TunerShader() override;
    TunerShader(const TunerShader&) = delete;
    TunerShader& operator=(const TunerShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // Table sine: 256 steps a turn, blended linearly between steps.
    static float FastSin(float x);

    ZHashedString textureName;
    ZVector3 position{0.0f, 0.0f, 0.0f};
    ZVector3 scale{0.0f, 0.0f, 0.0f};
};
