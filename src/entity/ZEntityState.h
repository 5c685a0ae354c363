#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

class ZEntity;

// Entities with a GUID component keep their state across rooms and runs: one
// record per entity in the saved-state store (GetStateStore), keyed by the
// GUID and holding one child element per serial component.

// The game's hand in it: when the callback is set, SaveEntityState hands the
// entity to it instead of saving it the engine's way.
struct ZEntityStateList {
    void (*saveCallback)(ZEntity* entity) = nullptr;
};
// The process-wide list, made on first use.
ZEntityStateList* GetEntityStateList();
void DestroyEntityStateList();

// Records the entity's serial components under its GUID, replacing an earlier
// record whole. Null entities and entities without a GUID are not saved.
void SaveEntityState(ZEntity* entity);
// The engine's way, whatever the callback.
void SaveEntityStateRecord(ZEntity* entity);
// Reads the entity's record back into its serial components (each from its
// kind's element; a component without one reads an empty element), runs the
// script's "OnFullyLoaded", tells the respawn component its file, and runs
// every serial component's post-load hook. An entity without a record keeps
// its components as they are. Context is handed to "OnFullyLoaded".
void RestoreEntityState(ZEntity* entity, ZHashedString instanceFile, uint32_t context);
