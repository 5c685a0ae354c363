#pragma once

#include "entity/ZSerialComponent.h"

// The "Lifetime" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZLifetimeComponent : public ZSerialComponent {
    Z_RTTI(ZLifetimeComponent, ZSerialComponent)

public:
    ZLifetimeComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Lifetime");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
