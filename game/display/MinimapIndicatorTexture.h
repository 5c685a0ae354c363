#pragma once

#include "foundation/ZMatrix4.h"
#include "game/display/MinimapShader.h"

struct MinimapView;

// The minimap's room marker: "Minimap Texture (Indicator)", 8 x 8 pixels at
// (218, 186), one of four frames stepped six times a second; the lower row
// of the strip while the map's count A is below B.
class MinimapIndicatorTexture : public MinimapShader {
public:
    MinimapIndicatorTexture();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The frame of the strip for the view at the time (seconds).
    static ZMatrix4 FrameMatrix(const MinimapView& view, float seconds);
};
