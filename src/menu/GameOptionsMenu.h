#pragma once

#include "menu/ZMenu.h"

// The engine's page of game-specific options: only Back. A game replaces the
// base game's factory with a page of its own. Accept on Back and Cancel close it.
class GameOptionsMenu : public ZMenu {
public:
    GameOptionsMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
