#pragma once

#include "foundation/ZHashedString.h"

class ZComponent;
class ZEntity;

// The engine's component factory, first in the factory chain: the new
// component of a kind the engine knows, or null. The engine's component kinds
// are not built yet, so it knows none.
ZComponent* CreateComponentByName(ZEntity* entity, ZHashedString kind);
