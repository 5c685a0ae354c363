#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"

// What an entity carries; game code fills and reads it.
class ZInventoryComponent : public ZSerialComponent {
    Z_RTTI(ZInventoryComponent, ZSerialComponent)

public:
    ZInventoryComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Inventory");
        return kind;
    }

    int32_t slots = 4;
    int32_t selected = -1;
    ZArray<uint32_t> items;
    uint32_t flags = 0;
};
