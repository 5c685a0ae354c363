#include "entity/ZCollisionPoint.h"

#include "entity/ZCollisionWorld.h"

bool ZCollisionPoint::BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const {
    if (mover.IsA(ZCollisionPoint::StaticType())) {
        return false;
    }
    const uint32_t first = list.Count();
    if (!mover.BuildFeatures(list, *this)) {
        return false;
    }
    // The mover builds its features where its owner stands; they belong here.
    const ZVector3 shift = GetOwnerPosition() - mover.GetOwnerPosition();
    for (uint32_t i = first; i < list.Count(); ++i) {
        list[i].a += shift;
        list[i].b += shift;
    }
    return true;
}

void ZCollisionPoint::GetBounds(float out[6]) const {
    for (int i = 0; i < 6; ++i) {
        out[i] = 0.0f;
    }
}
