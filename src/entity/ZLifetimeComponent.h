#pragma once

#include "entity/ZSerialComponent.h"

// How long a short-lived entity (a spark, a thrown thing) lasts, and a
// random starting angle; game code ages and turns it.
class ZLifetimeComponent : public ZSerialComponent {
    Z_RTTI(ZLifetimeComponent, ZSerialComponent)

public:
    ZLifetimeComponent();

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Lifetime");
        return kind;
    }

    float lifetime = 10.0f;
    float angle = 0.0f;  // radians, random in [0, 2 pi]
};
