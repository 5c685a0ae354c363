#include "entity/ZCollisionInterface.h"

#include "entity/ZCollisionWorld.h"

ZCollisionInterface::ZCollisionInterface() {
    if (ZCollisionWorld* world = ZCollisionWorld::GetInstance()) {
        world->Add(this);
    }
}

ZCollisionInterface::~ZCollisionInterface() {
    if (ZCollisionWorld* world = ZCollisionWorld::GetInstance()) {
        world->Remove(this);
    }
}

bool ZCollisionInterface::BuildFeatures(ZArray<ZCollisionFeature>& /*list*/, const ZCollisionInterface& /*mover*/) const {
    return false;
}

bool ZCollisionInterface::Overlaps(const ZCollisionInterface& /*other*/, const ZVector3& /*point*/) const { return false; }

void ZCollisionInterface::GetBounds(float out[6]) const {
    for (int i = 0; i < 3; ++i) {
        out[i] = -10000.0f;
        out[i + 3] = 10000.0f;
    }
}

void ZCollisionInterface::GetSweptBounds(float out[6], const ZVector3& /*from*/, const ZVector3& /*to*/) const {
    GetBounds(out);
}

ZVector3 ZCollisionInterface::GetOwnerPosition() const {
    const ZCollisionOwner* const o = GetOwner();
    return o != nullptr ? o->GetPosition() : ZVector3();
}
