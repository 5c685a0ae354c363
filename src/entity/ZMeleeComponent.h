#pragma once

#include "entity/ZSerialComponent.h"

// The "Melee" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZMeleeComponent : public ZSerialComponent {
    Z_RTTI(ZMeleeComponent, ZSerialComponent)

public:
    ZMeleeComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Melee");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
