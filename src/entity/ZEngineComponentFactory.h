#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

class ZComponent;
class ZEntity;

// The engine's component factory, first in the factory chain: the entity's
// component of a kind the engine knows ("Physics", "Jump" and "Gravity" are
// one kind), made when the entity has none yet; null for other kinds.
ZComponent* CreateComponentByName(ZEntity* entity, ZHashedString kind);
// Fills the table of kind names on first use; later calls do nothing.
void RegisterComponentFactories();
// How many kind names the engine knows.
uint32_t GetEngineComponentKindCount();
