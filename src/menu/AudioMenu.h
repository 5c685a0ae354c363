#pragma once

#include "menu/ZMenu.h"

// The three volumes of [Audio] (master, music, sound effects) and Back. Each
// slider writes its variable as it moves; the variable's change callback
// passes it to the audio manager at once.
class AudioMenu : public ZMenu {
public:
    AudioMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
