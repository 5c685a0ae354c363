#pragma once

#include "game/display/MinimapShader.h"

// The minimap's plate: "Minimap Texture (Back)", 40 x 32 pixels at (200, 176).
class MinimapBackTexture : public MinimapShader {
public:
    // Where the plate covers the 256 x 224 frame: its lower left corner and
    // its size (pixels, y up). Nothing a player must see may lie under it.
    static constexpr float kLeft = 200.0f;
    static constexpr float kBottom = 176.0f;
    static constexpr float kWidth = 40.0f;
    static constexpr float kHeight = 32.0f;

    MinimapBackTexture();
};
