#pragma once

#include "menu/ZMenu.h"

// Chooses the game controller the input handler reads: Back, one button per
// device found (the one in use marked), None. Any Accept closes the menu.
class JoysticksMenu : public ZMenu {
public:
    JoysticksMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
