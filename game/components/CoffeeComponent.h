#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZVector3.h"

// The player's coffee: drinking starts a 12-second timer; while it runs and
// the player moves, a boost rises towards 1 and the player's velocity is
// multiplied by 1 plus the boost; afterwards the boost falls back to 0. The
// script command "caffeinate" starts it; the player applies it each step.
class CoffeeComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(CoffeeComponent, ZSerialComponent)

public:
    static constexpr float kDuration = 12.0f;

    CoffeeComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Coffee");
        return kind;
    }

    // The timer (re)starts at 12 s; the achievements are evaluated (the
    // coffee one is earned while the timer runs).
    void StartCoffee();
    // Picks the boost's target from the timer and the velocity's speed, then
    // multiplies the velocity by 1 plus the boost.
    void ApplyCoffee(ZVector3& velocity);

    // Fixed step (mask bit 2): the timer runs down and the boost moves
    // towards its target (rising at 0.5 per second, falling at 1.5).
    void Update(float timeStep, uint8_t mask) override;

    float timer = 0.0f;  // seconds left; may go below 0
    float target = 0.0f;
    float boost = 0.0f;
};
