#include "entity/ZShadowComponent.h"

#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"

namespace {

constexpr float kCollisionTolerance = 0.015f;  // the shadow sits just under the ground

}  // namespace

void ZShadowComponent::SetLocked(const bool on) {
    if (locked != 0) {
        locked = on ? 1 : 0;
    } else if (on) {
        lockedMatrix = ComputeShadowMatrix();
        locked = 1;
    }
}

ZMatrix4 ZShadowComponent::ComputeShadowMatrix() const {
    ZVector3 place;
    if (!GetEntityPosition(GetOwner(), place)) {
        return ZMatrix4::Identity();
    }
    // Until the collision world can be probed, the ground is flat under the
    // entity: no rotation, the place is the entity's own.
    place.z -= kCollisionTolerance;
    ZMatrix4 result;
    ZMatrix4::Multiply(result, ZMatrix4::MakeUniformScale(scale), ZMatrix4::Translation(place));
    return result;
}
