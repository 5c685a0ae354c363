#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// The game's entry in the engine's command runners, after the engine's entity
// verbs: the game's own script verbs. None is built yet; a verb nobody knows
// is logged once per run so a mistyped script is found.
bool ExecuteScriptCommand(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context, uint32_t other);
