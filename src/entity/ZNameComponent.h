#pragma once

#include "entity/ZSerialComponent.h"

// The "Name" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZNameComponent : public ZSerialComponent {
    Z_RTTI(ZNameComponent, ZSerialComponent)

public:
    ZNameComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Name");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
