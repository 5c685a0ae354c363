#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class MinimapComponent;
class RandomizerComponent;

// The pause menu over the running game: Resume, Options (not in demo mode),
// and a confirmed return to the title. A randomized game adds a button that
// puts the player back at the overworld's start, one that opens the
// randomizer information, and the seed and map in the top-left corner.
// Cancel resumes.
class KorvanthPauseMenu : public ZMenu {
public:
    KorvanthPauseMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    bool IsPauseMenu() const override { return true; }
    bool FadesBackdropOnOpen() const override { return true; }
    bool FadesBackdropOnClose() const override { return true; }

    // Puts the player at the overworld's start; nothing without a player.
    static void ResetToOverworldStart();
    // Three lines: the seed with its hash, the algorithm version, the map and
    // room; empty outside a randomized game and without the player's
    // randomizer or minimap.
    static ZString BuildRandomizerInfoText();
    // The same text from its parts: the map shows as the localised name of
    // the minimap's collection ("KorvanthGame", "Collections"), or as
    // mapName when that has none. Empty when a component is missing.
    static ZString FormatRandomizerInfo(const RandomizerComponent* randomizer, const MinimapComponent* minimap,
                                        const ZString& mapName, int32_t roomX, int32_t roomY);
    // A map name in display case: letters after the first of a word lowered.
    static ZString DisplayCase(const ZString& name);
};
