#pragma once

#include "menu/ZTexturedShader.h"

// The game's panel behind a menu: the engine's underlay effect with the
// game's texture, faded with the menu manager's fade colour.
class GameMenuUnderlayShader : public ZTexturedShader {
public:
    // Fills the description (load it with Load).
    GameMenuUnderlayShader();
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
