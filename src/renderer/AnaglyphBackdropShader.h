#pragma once

#include <cstdint>

#include "foundation/ZMatrix4.h"
#include "renderer/ZShader.h"

// The shader of the framed box behind dialog text: places the unit quad at
// the top or the bottom of the game's 256 x 224 screen, right-aligned at
// 0.875, and draws the frame texture at the box's stereo depth. Holds one
// reference to its effect and one to the frame texture.
class AnaglyphBackdropShader : public ZShader {
public:
    enum Placement : int32_t { kTop = 0, kBottom = 1 };

    AnaglyphBackdropShader();
    ~AnaglyphBackdropShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The box's matrix: the unit quad scaled to the half-size, placed by the
    // mode and moved by half a pixel. False for an unknown mode.
    bool GetPlacementMatrix(ZMatrix4& out) const;

    // Half the box's width and height in clip units, and where it sits; set
    // by the code that places the box.
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    int32_t placement = kTop;
};
