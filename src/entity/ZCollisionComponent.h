#pragma once

#include "entity/ZSerialComponent.h"

// The "Collision" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZCollisionComponent : public ZSerialComponent {
    Z_RTTI(ZCollisionComponent, ZSerialComponent)

public:
    ZCollisionComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Collision");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
