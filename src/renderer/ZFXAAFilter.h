#pragma once

#include "renderer/ZPreHUDPassShader.h"

// The name the base game knows the pre-HUD pass shader by: the shader for one
// anti-aliasing level (0 off, 1 to 4), made anew whenever the video options
// change.
class ZFXAAFilter : public ZPreHUDPassShader {
public:
    using ZPreHUDPassShader::ZPreHUDPassShader;
};
