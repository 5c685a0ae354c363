#pragma once

#include "entity/ZSerialComponent.h"

// The "Inventory" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZInventoryComponent : public ZSerialComponent {
    Z_RTTI(ZInventoryComponent, ZSerialComponent)

public:
    ZInventoryComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Inventory");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
