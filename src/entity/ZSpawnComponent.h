#pragma once

#include "entity/ZSerialComponent.h"

// The "Spawn" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZSpawnComponent : public ZSerialComponent {
    Z_RTTI(ZSpawnComponent, ZSerialComponent)

public:
    ZSpawnComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Spawn");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
