#pragma once

#include "menu/ZMenu.h"

// The pause menu's window on a randomized world: the placement log in the
// middle and the seed and map information in the top-left corner. Cancel
// closes it.
class RandomizerInfoMenu : public ZMenu {
public:
    RandomizerInfoMenu();
};
