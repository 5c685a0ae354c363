#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// Which side an entity is on: equal values are friends, different ones
// enemies. Side 1 is the player's (hits give it the longer invulnerability).
class ZAllegianceComponent : public ZSerialComponent {
    Z_RTTI(ZAllegianceComponent, ZSerialComponent)

public:
    ZAllegianceComponent() = default;

    // Events, then the side from the "Value" attribute when it is given; a
    // component nobody sets stays on side 0.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override;

    int32_t allegiance = 0;
};
