#include "entity/ZCollisionInterface.h"

#include <algorithm>

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
        out[i] = -kUnbounded;
        out[i + 3] = kUnbounded;
    }
}

void ZCollisionInterface::GetSweptBounds(float out[6], const ZVector3& from, const ZVector3& to) const {
    GetBounds(out);
    const float lo[3] = {std::min(from.x, to.x), std::min(from.y, to.y), std::min(from.z, to.z)};
    const float hi[3] = {std::max(from.x, to.x), std::max(from.y, to.y), std::max(from.z, to.z)};
    for (int i = 0; i < 3; ++i) {
        out[i] = out[i] <= -kUnbounded ? -kUnbounded : std::clamp(out[i] + lo[i], -kUnbounded, kUnbounded);
        out[i + 3] = out[i + 3] >= kUnbounded ? kUnbounded : std::clamp(out[i + 3] + hi[i], -kUnbounded, kUnbounded);
    }
}

void ZCollisionInterface::SetOwner(ZCollisionOwner* const newOwner) {
    owner = newOwner;
    if (ZCollisionWorld* world = ZCollisionWorld::GetInstance()) {
        world->Refresh();
    }
}

ZVector3 ZCollisionInterface::GetOwnerPosition() const {
    const ZCollisionOwner* const o = GetOwner();
    return o != nullptr ? o->GetPosition() : ZVector3();
}
