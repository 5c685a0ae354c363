#pragma once

#include "menu/OptionsMenu.h"

// The game's options hub: the engine's pages with the CRT simulation, the
// anaglyph output and the credits among them.
class KorvanthOptionsMenu : public OptionsMenu {
public:
    void GetEntries(ZArray<OptionsMenuEntry>& entries) override;
    // The engine's pages first; then CRT, Anaglyph and Credits. False for a
    // name neither knows.
    bool OnEntryChosen(ZHashedString name) override;
};
