#pragma once

#include "game/display/MinimapShader.h"

// The minimap's plate: "Minimap Texture (Back)", 40 x 32 pixels at (200, 176).
class MinimapBackTexture : public MinimapShader {
public:
    MinimapBackTexture();
};
