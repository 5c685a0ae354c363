#pragma once

#include "menu/ZMenu.h"

// A still page of the credits in four groups and Back; any Accept closes it.
class CreditsMenu : public ZMenu {
public:
    CreditsMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
