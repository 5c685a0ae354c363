#pragma once

#include <cstdint>

#include "foundation/ZDefNode.h"
#include "game/world/MapRecords.h"

// Whatever answers which powerups the player holds (the player entity, once
// it exists).
class PowerupHolder {
public:
    virtual ~PowerupHolder() = default;
    virtual bool HasPowerup(uint32_t powerupId) const = 0;
};

// The powerup an aura colour names ("red", "blue", "green", "yellow", exact
// case), or 0.
uint32_t AuraPowerupId(const ZString& colour);

// Which of a custom tile's two value pairs applies: 1 when the player holds
// the powerup of its "Ghost" "Aura", or the metadata has "NoClimb" or
// "NoEffects"; else 0. holder is null before the player exists.
int32_t EvaluateTileVariant(const ZDefNode& metadata, const PowerupHolder* holder);

// The chosen variant's sheet tile of a custom tile. A tile with one variant
// always answers it; one without variants answers false.
bool EvaluateTileMetadata(const CustomTile& tile, const PowerupHolder* holder, int32_t& column, int32_t& row);
