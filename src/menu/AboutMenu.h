#pragma once

#include "menu/ZMenu.h"

// A small information page reached from the options menu: a localised text,
// a button that opens the maker's web page in the browser (the page stays
// open), and Back.
class AboutMenu : public ZMenu {
public:
    AboutMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
};
