#pragma once

// The road into play as the menus walk it: starting and continuing a
// campaign, the saved checkpoint, throwing a saved game away, and the
// randomizer's choice. The player entity, its checkpoints and autosave and
// the randomizer component are built later; until then the stand-ins here
// keep what the menus need in one record of the saved-state store (the
// "checkpoint record"), written to the autosave like any entity's state, and
// the campaign start opens the campaign file and its map; the loading
// screen then closes the menus, as the start's cinematic will.

#include <cstdint>

#include "foundation/ZString.h"

class KorvanthGame;

// What the menus read of a saved game.
struct SavedProgress {
    ZString campaign;  // the campaign file the game was saved in
    ZString map;       // the quick-save checkpoint's map
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

// The store's key of the checkpoint record.
uint32_t ProgressKey();
// The record as the store holds it; false when it holds none.
bool ReadProgress(SavedProgress& out);
// Puts the record into the store and writes the autosave.
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

// Starts the campaign file: opens it and makes its entry map current; on a
// continue, makes the saved checkpoint's map current instead. Then records
// the checkpoint and autosaves. False (with a log line) when the file holds
// no campaign.
bool StartCampaign(KorvanthGame& game, const ZString& file, bool continueGame, bool newGame);
// Loads the saved state again (after writing the running game's when asked).
void ReloadSavedState(KorvanthGame& game, bool autosaveFirst);

// A game is being played (a campaign was started since the title).
bool IsGameInProgress();
void SetGameInProgress(bool inProgress);

}  // namespace gameflow
