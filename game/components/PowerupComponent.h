#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// A pickup that gives the player one powerup for the rest of the game. Its
// definition names the item by two words, "Make" and "Model"; the component
// keeps the item's id (kind in the upper 16 bits, model from 1 in the lower
// 16). The "powerup" script verb, run from one of the pickup's events, reads
// it and hands it to the player.
class PowerupComponent : public ZSerialComponent {
    Z_RTTI(PowerupComponent, ZSerialComponent)

public:
    PowerupComponent() = default;

    // Events, then "Make" and "Model"; words outside the item table (or a
    // missing one) leave the id as it was.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Powerup");
        return kind;
    }

    // The id of a make and model, ignoring letter case; 0 when the table has
    // no such item.
    static uint32_t LookUpId(const char* make, const char* model);

    uint32_t powerupId = 0;
};
