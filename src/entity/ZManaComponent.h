#pragma once

#include "entity/ZSerialComponent.h"

// The "Mana" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZManaComponent : public ZSerialComponent {
    Z_RTTI(ZManaComponent, ZSerialComponent)

public:
    ZManaComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Mana");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
