#pragma once

#include "entity/ZSerialComponent.h"

// The "Walk" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZWalkComponent : public ZSerialComponent {
    Z_RTTI(ZWalkComponent, ZSerialComponent)

public:
    ZWalkComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Walk");
        return kind;
    }
};
