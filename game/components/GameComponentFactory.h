#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

class ZComponent;
class ZEntity;

// The game's entry in the engine's component factory chain, asked after the
// engine's own factory: the entity's component of one of the game's kinds
// ("Group", "Anaglyph", ...), made when the entity has none yet, so a kind
// named twice in one definition loads into one component. Null for a kind the
// game does not know (the chain then skips the element).
ZComponent* CreateGameComponentByName(ZEntity* entity, ZHashedString kind);
// Fills the table of the game's kind names on first use; later calls do nothing.
void RegisterGameComponentFactories();
// How many kind names the game knows.
uint32_t GetGameComponentKindCount();
