#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZVector3.h"

// The "Knockback" component: marks an entity that is being knocked back. The
// health component raises it with each hit and clears it when the
// invulnerability ends.
class ZKnockbackComponent : public ZSerialComponent {
    Z_RTTI(ZKnockbackComponent, ZSerialComponent)

public:
    ZKnockbackComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Knockback");
        return kind;
    }

    // Throws the entity along the direction and a little up (needs its
    // spatial and physics components); no blur from the jump.
    void ApplyKnockback(const ZVector3& direction, float strength);

    uint8_t knockedBack = 0;
};
