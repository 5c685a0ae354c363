#pragma once

#include "entity/ZCollisionInstance.h"

// An axis-aligned rectangle centred on its owner. It is solid from outside:
// its four edges face outwards, grown by a moving box's own half-extents.
class ZCollisionBox : public ZCollisionInstance {
    Z_RTTI(ZCollisionBox, ZCollisionInstance)

public:
    ZCollisionBox() = default;
    explicit ZCollisionBox(const ZVector3& extents) : halfExtents(extents) {}

    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override;
    bool Overlaps(const ZCollisionInterface& other, const ZVector3& point) const override;
    // The half-extents across; unbounded in depth, as the edges meet movers
    // at any depth.
    void GetBounds(float out[6]) const override;

    ZVector3 halfExtents;
};
