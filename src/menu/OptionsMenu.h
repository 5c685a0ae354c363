#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "menu/ZMenu.h"

// One page of the options hub: the item's name and its text's localisation
// file, section and key.
struct OptionsMenuEntry {
    ZHashedString name;
    ZHashedString locFile;
    ZHashedString locSection;
    ZHashedString locKey;
};

// The options hub: a centred column of buttons, one per settings page, then
// Back. Choosing a page asks the base game's factory for it and opens it on
// top. A game derives its own hub and replaces the entries and the handler;
// building, layout and the dispatch of Accept stay here.
class OptionsMenu : public ZMenu {
public:
    OptionsMenu() = default;

    // Builds the buttons from GetEntries plus Back, centred on y = 384.
    // Called once, by the factory, right after construction.
    void BuildItems();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Appends the hub's pages in display order (never Back).
    virtual void GetEntries(ZArray<OptionsMenuEntry>& entries);
    // Acts on a chosen entry; true when the name was handled. A derived hub
    // handles its own names first and forwards the others here.
    virtual bool OnEntryChosen(ZHashedString name);
};
