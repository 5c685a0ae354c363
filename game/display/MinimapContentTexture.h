#pragma once

#include "foundation/ZMatrix4.h"
#include "foundation/ZUpdatable.h"
#include "game/display/MinimapShader.h"

struct MinimapView;

// The minimap's rooms: a 32 x 24 pixel window of "MINIMAP_TEXTURE" (6 x 6
// texels a room) centred on the player's room, inside the plate at
// (204, 180); the frame update (list 1) pins it there.
class MinimapContentTexture : public MinimapShader, public ZUpdatable {
public:
    MinimapContentTexture();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    void Update(float timeStep, uint8_t mask) override;

    // The texture window for the view (origin 0, 0 without a player).
    static ZMatrix4 WindowMatrix(const MinimapView& view);
};
