#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// The engine's command handler, registered first at start-up: the entity
// verbs ("set Self Coins 3", "run Other Open", "timer Self start Fuse", ...).
// A verb it knows is taken even when its entity or component is missing or
// words are short (missing words read as empty); others go to later handlers.
bool EntityCommandDispatcher(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context,
                             uint32_t other);
