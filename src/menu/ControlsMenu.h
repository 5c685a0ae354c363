#pragma once

#include "menu/ZMenu.h"

// The controls hub: Bindings (the control groups), Mouse, Joysticks, Back.
class ControlsMenu : public ZMenu {
public:
    ControlsMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
