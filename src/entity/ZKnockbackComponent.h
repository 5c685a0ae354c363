#pragma once

#include "entity/ZSerialComponent.h"

// The "Knockback" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZKnockbackComponent : public ZSerialComponent {
    Z_RTTI(ZKnockbackComponent, ZSerialComponent)

public:
    ZKnockbackComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Knockback");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
