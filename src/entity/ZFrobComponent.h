#pragma once

#include "entity/ZSerialComponent.h"

// The "Frob" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZFrobComponent : public ZSerialComponent {
    Z_RTTI(ZFrobComponent, ZSerialComponent)

public:
    ZFrobComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Frob");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
