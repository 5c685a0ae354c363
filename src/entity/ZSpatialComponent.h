#pragma once

#include "entity/ZSerialComponent.h"

// The "Spatial" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZSpatialComponent : public ZSerialComponent {
    Z_RTTI(ZSpatialComponent, ZSerialComponent)

public:
    ZSpatialComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Spatial");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
