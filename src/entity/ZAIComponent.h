#pragma once

#include "entity/ZSerialComponent.h"

// The "AI" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZAIComponent : public ZSerialComponent {
    Z_RTTI(ZAIComponent, ZSerialComponent)

public:
    ZAIComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("AI");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
