#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// The state that game code keeps for a computer-driven entity; the engine
// gives its start values only.
class ZCollisionPoint;

class ZAIComponent : public ZSerialComponent {
    Z_RTTI(ZAIComponent, ZSerialComponent)

public:
    ZAIComponent();
    ~ZAIComponent() override;
    ZAIComponent(const ZAIComponent&) = delete;
    ZAIComponent& operator=(const ZAIComponent&) = delete;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("AI");
        return kind;
    }

    uint32_t words[8] = {};
    float thinkDelay = 0.0f;  // random in [0, 0.25]
    float randomValue = 0.0f; // random in [0, 1]
    uint32_t state = 0;
    uint32_t direction = 1;
    uint8_t active = 1;
    // A point shape game code sweeps to look ahead (ledges, walls); owned, and
    // belonging to no entity, so no other sweep meets it.
    ZCollisionPoint* probe = nullptr;
};
