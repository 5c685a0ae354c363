#pragma once

#include "foundation/ZHashedString.h"
#include "menu/ZMenu.h"

// The rebinding prompt for one control: Escape leaves its bindings alone,
// Backspace clears them, any other new input becomes one more binding (taken
// away from the other controls of the group). While it is open the console
// key does not open the console, so it can be bound too.
class BindingsMenu : public ZMenu {
public:
    BindingsMenu(ZHashedString group, ZHashedString control);
    ~BindingsMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    bool IsDone() const { return done; }

private:
    void Poll();

    ZHashedString group;
    ZHashedString control;
    bool done = false;  // an outcome was taken; later ticks do nothing
};
