#pragma once

#include "game/world/GameCinematic.h"

// One frame after a campaign starts, every menu closes (the loading screen
// among them): the menus may not be closed from inside their own actions.
class MenuCloser : public GameCinematic {
public:
    static constexpr float kDuration = 0.001f;

    MenuCloser();
    void Start() override;
    void End() override;
};
