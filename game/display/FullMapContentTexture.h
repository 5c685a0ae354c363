#pragma once

#include "foundation/ZMatrix4.h"
#include "foundation/ZUpdatable.h"
#include "game/display/FullMapShader.h"

struct MinimapView;

// The full map's rooms: a 132 x 108 pixel window of "MINIMAP_TEXTURE" with
// the whole map centred in it, at (62, 36); the frame update (list 1) pins
// it there.
class FullMapContentTexture : public FullMapShader, public ZUpdatable {
public:
    FullMapContentTexture();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    void Update(float timeStep, uint8_t mask) override;

    // The texture window for the view (origin 0, 0 without a player).
    static ZMatrix4 WindowMatrix(const MinimapView& view);
};
