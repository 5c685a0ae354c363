#pragma once

#include "entity/ZSerialComponent.h"

// The "Anim" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZAnimComponent : public ZSerialComponent {
    Z_RTTI(ZAnimComponent, ZSerialComponent)

public:
    ZAnimComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Anim");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
