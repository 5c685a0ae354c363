#pragma once

#include "entity/ZSerialComponent.h"

// The "Shield" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZShieldComponent : public ZSerialComponent {
    Z_RTTI(ZShieldComponent, ZSerialComponent)

public:
    ZShieldComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Shield");
        return kind;
    }
};
