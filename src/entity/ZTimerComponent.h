#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMap.h"
#include "foundation/ZUpdatable.h"

// Named countdown timers from an entity's definition ("Timer" elements with
// "Name", "Duration" in seconds, "Looping" and an "OnElapsed" child). A
// running timer counts down by the fixed step; at zero it runs "OnElapsed"
// and stops, or starts over when looping. The "timer" command drives them.
class ZTimerComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZTimerComponent, ZSerialComponent)

public:
    struct Timer {
        ZDefNode onElapsed;  // a copy of the timer's "OnElapsed" element
        float duration = 0.0f;
        float remaining = 0.0f;
        bool running = false;
        bool looping = false;

        // A new duration keeps the time already elapsed.
        void SetDuration(float seconds);
        // Counts down by dt; true when the timer expired in this step (once,
        // however many whole periods the step covered).
        bool Tick(float dt);
    };

    ZTimerComponent() : ZUpdatable(6) {}

    // Events, then the "Timer" children; loading starts no timer.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override;

    // On the fixed step (mask bit 2): ticks every timer in name order and runs
    // the "OnElapsed" of each that expired, with the owner as context.
    void Update(float timeStep, uint8_t mask) override;

    // The named timer, made stopped with duration 0 when it is missing.
    Timer& GetTimer(ZHashedString name) { return m_timers[name]; }
    bool HasTimer(ZHashedString name) const { return m_timers.Contains(name); }
    // Applies a "timer" sub-verb ("start", "restart", "stop", "reset",
    // "pause", any letter case) to the named timer; other words do nothing.
    void Command(const ZString& subVerb, ZHashedString name);

private:
    ZMap<ZHashedString, Timer> m_timers;
};
