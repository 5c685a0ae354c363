#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZVector2.h"

class Player;

// The run's progress as named values on the player's data component: the
// checkpoint (plain keys) and the resume point ("_QuickSave" keys), deaths,
// play time, the code flag, the purchase tiers and the held powerups. Every
// other part of the game reads and writes them only through these. A player
// without a data component reads the defaults and writes nothing.

// The powerup ids the player code tests (kind in the high 16 bits).
enum PowerupId : uint32_t {
    kPowerupDoubleJump = 0x20002,
    kPowerupClimbingGloves = 0x30001,
    kPowerupSwimSuit = 0x60001,
    kPowerupToxicSuit = 0x60002,
    kPowerupMasterKey = 0x70001,
    kPowerupStyxPass = 0x80002,
};

void SetCheckpointPosition(Player& player, float x, float y, bool quickSave);
void SetCheckpointRoom(Player& player, int32_t roomX, int32_t roomY, bool quickSave);
void SetCheckpointMap(Player& player, ZHashedString map, bool quickSave);
void SetCheckpointCampaign(Player& player, ZHashedString campaign, bool quickSave);
void SetDeathsCount(Player& player, int32_t deaths);
void SetPlayTimeSeconds(Player& player, float seconds);
void SetEnteredCode(Player& player, bool entered);

// (128, 112) unless the datums say otherwise, each coordinate on its own.
void GetCheckpointPosition(const Player& player, ZVector2& out, bool quickSave);
void GetCheckpointRoom(const Player& player, int32_t out[2], bool quickSave);
// "NULL" unless the datum is there.
void GetCheckpointMap(const Player& player, ZHashedString& out, bool quickSave);
// The resume point's campaign ("NULL" when missing); the plain key is written
// but never read.
void GetCheckpointCampaign(const Player& player, ZHashedString& out);
int32_t GetDeathsCount(const Player& player);
float GetPlayTimeSeconds(const Player& player);
bool GetEnteredCode(const Player& player);

// On a speedrun course only what was collected there counts, unless
// ignoreCourse is set.
bool HasPowerup(const Player& player, uint32_t id, bool ignoreCourse);
// Writes the powerup, refreshes the abilities and gives back one jump.
void SetPowerup(Player& player, uint32_t id, bool value);
// The fourteen collectable powerups, in their list order.
void SetAllPowerups(Player& player, bool value);
// The key "Powerup_%08x" of an id.
ZHashedString PowerupKey(uint32_t id);

// Jump count and climbing from the powerups held; a grown jump count adds
// its extra jumps to the remaining ones.
void RefreshPlayerAbilities(Player& player);
// The blank state of a new run (the code flag survives).
void ResetProgress(Player& player);
// After the player's saved state was read back: abilities, code flag, tiers.
void ApplyLoadedProgress(Player& player);
