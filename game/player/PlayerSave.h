#pragma once

#include <cstdint>

class Player;

// The one save file, "autosave.zsd" in the user's Saves folder. Autosave
// first records where the run stands in the player's progress keys, then
// writes the state of the player and of every entity of the scene into the
// saved-state store and the store to the file. The file is replaced whole or
// not at all; a write that fails is logged, and counts as no save.

// The target's position becomes the saved one: with the player as target the
// resume keys ("_QuickSave") take the player's place; with another entity
// the checkpoint keys take that entity's place, then the resume keys the
// player's, and the file is written once. With useSafeSpot (the player as
// target) the resume keys come from the last safe spot, and nothing is
// written unless the player stood somewhere safe since the last save. A
// target without a position leaves the position keys as they were. True when
// the file was written.
bool Autosave(Player& player, uint32_t targetHandle, bool useSafeSpot);

// Step 5 of the above on its own: the states into the store, the store to the
// file; the last-save time moves only when the file was written.
bool WriteAutosaveFile(Player& player);

// A checkpoint was reached (the engine's checkpoint hook): when the one that
// reached it is the player (or the checkpoint reports its own touch, which
// only the player's shape sets off), the checkpoint entity becomes the
// checkpoint and the run is saved.
void RecordCheckpoint(uint32_t checkpointHandle, uint32_t contextHandle);
