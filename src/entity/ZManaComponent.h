#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZUpdatable.h"

// Mana for spells that game code casts; the engine only runs the cooldown
// down on every fixed step.
class ZManaComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZManaComponent, ZSerialComponent)

public:
    ZManaComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Mana");
        return kind;
    }

    void Update(const float timeStep, const uint8_t mask) override {
        if ((mask & 2) != 0) {
            cooldown -= timeStep;
        }
    }

    int32_t mana = 3;
    int32_t maxMana = 3;
    float cooldown = 0.0f;
    uint32_t words[2] = {0, 0};  // game state
};
