#pragma once

// The road into play as the menus walk it: starting and continuing a
// campaign (the game's StartCampaign and ContinueCampaign), what the menus
// read of the saved game, throwing a saved game away, and the randomizer's
// choice. Where the run resumes is the player's own progress in the
// autosave. The minimap's version and the randomizer's seed, which their own
// components will keep, live until then in one record of the saved-state
// store (the "run record"), written to the autosave with the rest.

#include <cstdint>

#include "foundation/ZString.h"

class KorvanthGame;

// What the menus read of a saved game.
struct SavedProgress {
    ZString campaign;  // the campaign file the game was saved in
    ZString map;       // the resume point's map
    int32_t roomX = 0;
    int32_t roomY = 0;
    float x = 0.0f;
    float y = 0.0f;
    int32_t minimapVersion = 0;      // 0: saved before the minimap kept a version
    bool randomized = false;
    ZString seed;                    // as typed, not normalised
    int32_t algorithmVersion = 15;   // the randomizer's, of a randomized save
};

namespace gameflow {

constexpr int32_t kMinimapVersion = 1;
constexpr int32_t kAlgorithmVersion = 15;

// The store's key of the run record.
uint32_t ProgressKey();
// The saved game as the store holds it (the player's resume keys and the run
// record); false when it holds neither.
bool ReadProgress(SavedProgress& out);
// Makes that the saved game: the run record, and the resume keys on the
// player (or in its saved record when there is no player); then writes the
// autosave.
void WriteProgressAndAutosave(const SavedProgress& progress);

// A save can be continued: the record names a campaign and a map, and the
// game is not in demo mode.
bool CanContinue();

// Forgets every saved state and deletes the autosave (only the file at its
// own whole path; a missing one is fine).
void DiscardSavedGame();

// The new game's randomizer choice, kept until the campaign starts.
void SetUpRandomizer(bool randomized, const ZString& seed);
// The seed made canonical: upper case, spaces removed.
ZString NormaliseSeed(const ZString& seed);
// The running game's randomizer state (from the record).
bool IsRandomized();
ZString GetSeedString();
uint32_t GetSeedHash();
int32_t GetAlgorithmVersion();
// The placement log of the randomized world; empty until the world builder exists.
ZString GetCriticalPathText();

// Starts the campaign file at its entry (a new game, with the randomizer's
// choice in the run record), or continues the saved run where it resumes.
// False (with a log line) when the file holds no campaign.
bool StartCampaign(KorvanthGame& game, const ZString& file, bool continueGame, bool newGame);
// Loads the saved state again (after saving the running game's last safe
// spot when asked).
void ReloadSavedState(KorvanthGame& game, bool autosaveFirst);

// A campaign started by QuickStart is a game in play as a new game is: the
// game is in progress, and the pause menu shows the player's seed.
void BeginQuickStartedGame();

// A game is being played (a campaign was started since the title).
bool IsGameInProgress();
void SetGameInProgress(bool inProgress);

}  // namespace gameflow
