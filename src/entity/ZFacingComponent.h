#pragma once

#include "entity/ZSerialComponent.h"

// The "Facing" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZFacingComponent : public ZSerialComponent {
    Z_RTTI(ZFacingComponent, ZSerialComponent)

public:
    ZFacingComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Facing");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
