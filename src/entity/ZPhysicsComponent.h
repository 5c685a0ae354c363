#pragma once

#include "entity/ZSerialComponent.h"

// The "Physics" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZPhysicsComponent : public ZSerialComponent {
    Z_RTTI(ZPhysicsComponent, ZSerialComponent)

public:
    ZPhysicsComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Physics");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
