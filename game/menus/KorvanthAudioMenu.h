#pragma once

#include "menu/ZMenu.h"

// The game's audio page: the engine page's three volume rows and a switch
// for the synthesizer's reverb, which left and right toggle.
class KorvanthAudioMenu : public ZMenu {
public:
    KorvanthAudioMenu();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

private:
    void ToggleReverb();
    ZString ReverbText() const;
};
