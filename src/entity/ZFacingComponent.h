#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// The "Facing" component: which way along x the entity faces. Game code sets
// it; the definition does not (only its events are read), and it is not saved.
class ZFacingComponent : public ZSerialComponent {
    Z_RTTI(ZFacingComponent, ZSerialComponent)

public:
    enum : int32_t { kNone = 0, kTowardsMinusX = 1, kTowardsPlusX = 2 };

    ZFacingComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Facing");
        return kind;
    }

    int32_t facing = kNone;
};
