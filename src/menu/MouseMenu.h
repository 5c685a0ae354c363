#pragma once

#include "menu/ZMenu.h"

// The mouse speed ([Input] MouseScalar, written as the row moves) and Back.
class MouseMenu : public ZMenu {
public:
    MouseMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    ZMenuUnderlay* GetPanel() const { return panel; }

private:
    ZMenuUnderlay* panel = nullptr;  // owned by the underlay list
};
