#pragma once

#include "entity/ZSerialComponent.h"

class ZEntity;

// Marks an entity that the "pickup" verb may carry.
class ZPickupComponent : public ZSerialComponent {
    Z_RTTI(ZPickupComponent, ZSerialComponent)

public:
    ZPickupComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Pickup");
        return kind;
    }

    // The owner is picked up by picker (null for nobody): it rides on the
    // picker 1.8 above it, rests, and its shadow follows it again.
    void OnPickedUp(ZEntity* picker);
};
