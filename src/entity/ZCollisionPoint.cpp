#include "entity/ZCollisionPoint.h"

#include "entity/ZCollisionWorld.h"

bool ZCollisionPoint::BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const {
    if (mover.IsA(ZCollisionPoint::StaticType())) {
        return false;
    }
    return mover.BuildFeatures(list, *this);
}
