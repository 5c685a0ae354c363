#pragma once

#include "menu/ZCinematic.h"

// A timed start-up screen, skippable at once, whose end opens the first
// menu: the title menu, or with quick start the game itself.
class ZSplashCinematic : public ZCinematic {
public:
    ZSplashCinematic();

    // Quick start: the base game's StartNewGame. Otherwise the title menu
    // from the base game's factory, opened a frame late. Neither while the
    // program exits.
    void End() override;
};
