#pragma once

#include <cstdint>
#include <string>

#include "foundation/ZHashedString.h"

class Player;
struct ZDatumEntry;

// The player is the outside provider of its own blackboard: some keys are
// answered by its other components before the stored values. On a speedrun
// course the course claims the powerup keys ("Powerup_%08x"), so scripts and
// texts see only what was granted on the course; the minimap answers the
// gem count and the title of the collection the player is in
// ("smcubes_loc_coll", "smcubes_loc_total", "loc_title"). Writes always go
// to the stored values. Each hook is given the provider's handle (the
// player's) and answers false when it has not dealt with the key.
bool HasDatumHook(uint32_t handle, ZHashedString key);
bool GetDatumHook(uint32_t handle, ZHashedString key, ZDatumEntry* out);
bool RefuseDatumHook(uint32_t handle, ZHashedString key, ZDatumEntry* entry);

// Makes the player the provider of its data component with the hooks above.
void InstallPlayerDataHooks(Player& player);

// A collection title centred in 24 columns: (24 - its length in bytes) / 2
// spaces before it, none when it is that long or longer.
std::string CentreLocationTitle(const char* title);
