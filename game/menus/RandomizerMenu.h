#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class ZFont;
class ZMenuTextField;

// The setup between New Game and the start: "Original" (the unchanged
// world), "Random" (a world shuffled from the seed), and "Seed", which rolls
// a new seed into the text field beside it; the field can be typed in.
// Original and Random close the menu and hand the choice and the seed as
// typed to the completion callback; Cancel starts nothing.
class RandomizerMenu : public ZMenu {
public:
    using Completion = void (*)(void* owner, bool randomized, const ZString& seed);

    RandomizerMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Eight of the 21 consonants from the engine's 15-bit generator, as
    // "ABCD EFGH".
    static ZString RollSeedString();
    // Nine letters of a roll, all of the consonant the font draws widest.
    static ZString WidestSeedString(ZFont* font);
    static constexpr const char* kSeedLetters = "BCDFGHJKLMNPQRSTVWXYZ";  // the 21 consonants

    Completion completion = nullptr;
    void* owner = nullptr;
    ZMenuTextField* seedField = nullptr;  // owned through the item list
};
