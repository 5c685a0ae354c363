#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

class ZComponent;
class ZEntity;

// The game's entry in the engine's component factory chain: the game's own
// component kinds. None is built yet, so every kind is left to the engine
// (and unknown kinds are skipped by the chain as before).
ZComponent* CreateGameComponentByName(ZEntity* entity, ZHashedString kind);

// The game's entry in the engine's command runners, after the engine's entity
// verbs: the game's own script verbs. None is built yet; a verb nobody knows
// is logged once per run so a mistyped script is found.
bool ExecuteScriptCommand(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context, uint32_t other);
