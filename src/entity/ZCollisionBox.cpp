#include "entity/ZCollisionBox.h"

#include "entity/ZCollisionWorld.h"

namespace {

ZVector3 MoverExtents(const ZCollisionInterface& mover) {
    if (const auto* box = DynamicCast<ZCollisionBox>(&mover)) {
        return box->halfExtents;
    }
    return {};
}

}  // namespace

bool ZCollisionBox::BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const {
    const ZVector3 centre = GetOwnerPosition();
    const ZVector3 grow = MoverExtents(mover);
    const float hx = halfExtents.x + grow.x;
    const float hy = halfExtents.y + grow.y;
    const float z = centre.z + halfExtents.z;
    // Counter-clockwise corners, so that each edge's normal points out.
    const ZVector3 corners[4] = {{centre.x - hx, centre.y - hy, z},
                                 {centre.x + hx, centre.y - hy, z},
                                 {centre.x + hx, centre.y + hy, z},
                                 {centre.x - hx, centre.y + hy, z}};
    for (int i = 0; i < 4; ++i) {
        ZCollisionFeature feature;
        feature.kind = ZCollisionFeature::kSegment;
        feature.a = corners[i];
        feature.b = corners[(i + 1) % 4];
        list.PushBack(feature);
    }
    return true;
}

bool ZCollisionBox::Overlaps(const ZCollisionInterface& other, const ZVector3& point) const {
    const ZVector3 centre = GetOwnerPosition();
    const ZVector3 grow = MoverExtents(other);
    const float hx = halfExtents.x + grow.x;
    const float hy = halfExtents.y + grow.y;
    return centre.x - hx < point.x && point.x <= centre.x + hx && centre.y - hy < point.y && point.y <= centre.y + hy;
}

void ZCollisionBox::GetBounds(float out[6]) const {
    out[0] = -halfExtents.x;
    out[1] = -halfExtents.y;
    out[2] = -kUnbounded;
    out[3] = halfExtents.x;
    out[4] = halfExtents.y;
    out[5] = kUnbounded;
}
