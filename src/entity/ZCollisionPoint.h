#pragma once

#include "entity/ZCollisionInstance.h"

// A shape with no extent: as a mover it meets the features of other shapes
// exactly; as a target it shows a moving box or sphere that shape's own
// features standing at the point, so the mover meets the point with its edge
// or surface.
class ZCollisionPoint : public ZCollisionInstance {
    Z_RTTI(ZCollisionPoint, ZCollisionInstance)

public:
    ZCollisionPoint() = default;

    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override;
    // The point itself.
    void GetBounds(float out[6]) const override;
};
