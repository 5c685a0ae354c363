#pragma once

#include "game/display/TunerShader.h"

// The tuner's dial plate: "Tuner Texture (Back)", 64 x 128 pixels at (160, 64).
class TunerBackTexture : public TunerShader {
public:
    TunerBackTexture();
};
