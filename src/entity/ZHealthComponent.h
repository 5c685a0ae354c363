#pragma once

#include "entity/ZSerialComponent.h"

// The "Health" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZHealthComponent : public ZSerialComponent {
    Z_RTTI(ZHealthComponent, ZSerialComponent)

public:
    ZHealthComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Health");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
