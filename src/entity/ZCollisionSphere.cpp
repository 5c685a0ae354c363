#include "entity/ZCollisionSphere.h"

#include <algorithm>

#include "entity/ZCollisionWorld.h"

float ZCollisionSphere::ScaledRadius() const {
    const ZCollisionOwner* const o = GetOwner();
    if (o == nullptr) {
        return radius;
    }
    const ZVector3 s = o->GetScale();
    return radius * std::min({s.x, s.y, s.z});
}

bool ZCollisionSphere::BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& /*mover*/) const {
    ZCollisionFeature feature;
    feature.kind = ZCollisionFeature::kSphere;
    feature.a = GetOwnerPosition();
    feature.radius = ScaledRadius();
    list.PushBack(feature);
    return true;
}

void ZCollisionSphere::GetBounds(float out[6]) const {
    const float r = ScaledRadius();
    for (int i = 0; i < 3; ++i) {
        out[i] = -r;
        out[i + 3] = r;
    }
}

void ZCollisionSphere::GetSweptBounds(float out[6], const ZVector3& from, const ZVector3& to) const {
    const float r = ScaledRadius();
    const float lo[3] = {std::min(from.x, to.x) - r, std::min(from.y, to.y) - r, std::min(from.z, to.z) - r};
    const float hi[3] = {std::max(from.x, to.x) + r, std::max(from.y, to.y) + r, std::max(from.z, to.z) + r};
    for (int i = 0; i < 3; ++i) {
        out[i] = std::clamp(lo[i], -kUnbounded, kUnbounded);
        out[i + 3] = std::clamp(hi[i], -kUnbounded, kUnbounded);
    }
}
