#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// The state that game code keeps for a computer-driven entity; the engine
// gives its start values only.
class ZAIComponent : public ZSerialComponent {
    Z_RTTI(ZAIComponent, ZSerialComponent)

public:
    ZAIComponent();

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("AI");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}

    uint32_t words[8] = {};
    float thinkDelay = 0.0f;  // random in [0, 0.25]
    float randomValue = 0.0f; // random in [0, 1]
    uint32_t state = 0;
    uint32_t direction = 1;
    uint8_t active = 1;
};
