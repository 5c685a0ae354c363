#pragma once

#include "entity/ZCollisionInstance.h"

// A shape with no extent: as a mover it meets the features of other shapes
// exactly; as a target it shows a moving box or sphere its own features.
class ZCollisionPoint : public ZCollisionInstance {
    Z_RTTI(ZCollisionPoint, ZCollisionInstance)

public:
    ZCollisionPoint() = default;

    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override;
};
