#pragma once

#include "menu/ZMenu.h"

// A small information page reached from the options menu: the engine's and
// the game's names and versions, a button that opens the maker's web page in
// the browser (the page stays open), and Back.
class AboutMenu : public ZMenu {
public:
    AboutMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

    // "<game title> <version>" and "<engine name> <engine version>" on two lines.
    static ZString BuildVersionText();
};
