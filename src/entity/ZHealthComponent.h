#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZUpdatable.h"

// The "Health" component: hit points, damage from other entities (enemies
// only, when this entity has a side), a short invulnerability after each hit
// with a knockback, and the game's hurt and death callbacks.
class ZHealthComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZHealthComponent, ZSerialComponent)

public:
    using Callback = void (*)(ZEntity* owner, uint32_t other);

    ZHealthComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Health");
        return kind;
    }

    // A hit of amount from the entity behind other (0 or a gone handle: no
    // known attacker). Refused from friends, while invulnerable and once dead.
    void TakeDamage(int32_t amount, uint32_t other);

    // On the fixed step (mask bit 2): the invulnerability runs out; the
    // knockback ends with it.
    void Update(float timeStep, uint8_t mask) override;

    int32_t health = 3;
    int32_t maxHealth = 3;  // for the game; never read here
    float invulnerableTime = 0.0f;
    Callback onDamaged = nullptr;
    Callback onDeath = nullptr;
};
