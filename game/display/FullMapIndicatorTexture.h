#pragma once

#include "foundation/ZMatrix4.h"
#include "game/display/FullMapShader.h"

struct MinimapView;

// The full map's room marker: "FullMap Texture (Indicator)", 8 x 8 pixels,
// moved onto the player's room of the full map each time it draws, animated
// like the minimap's marker on the running time.
class FullMapIndicatorTexture : public FullMapShader {
public:
    FullMapIndicatorTexture();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // Where the marker sits for a view with a player (pixels, y up).
    static ZVector3 MarkerPosition(const MinimapView& view);
};
