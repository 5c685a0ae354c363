#pragma once

#include "menu/ZMenu.h"

// The engine's in-game pause menu: Resume, Options (not in demo mode) and a
// return to the title screen after a confirmation. Cancel resumes.
class PauseMenu : public ZMenu {
public:
    PauseMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // The game keeps counting its play time under a pause menu.
    bool IsPauseMenu() const override { return true; }
    bool FadesBackdropOnOpen() const override { return true; }
    bool FadesBackdropOnClose() const override { return true; }

    // The return-to-title confirmation's yes answer: ends the running game
    // (saving first), closes every menu and opens the title menu. The
    // context is not read; a game's own pause menu uses it as well.
    static void OnConfirmReset(void* context);
};
