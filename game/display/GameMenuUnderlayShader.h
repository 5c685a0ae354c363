#pragma once

#include "menu/MenuUnderlayShader.h"

// The game's panel behind a menu: the engine's underlay effect with the
// game's texture, faded with the menu manager's fade colour.
class GameMenuUnderlayShader : public MenuUnderlayShader {
public:
    // Fills the description (load it with Load).
    GameMenuUnderlayShader();
};
