#pragma once

#include "entity/ZSerialComponent.h"

// The "Pickup" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZPickupComponent : public ZSerialComponent {
    Z_RTTI(ZPickupComponent, ZSerialComponent)

public:
    ZPickupComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Pickup");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
