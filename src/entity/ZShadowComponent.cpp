#include "entity/ZShadowComponent.h"

#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"
#include "renderer/ZEffectParameter.h"

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

bool ZShadowComponent::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                     ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    if (binding != nullptr && binding->name == kWvp) {
        ZMatrix4 matrix = GetMatrix();
        ZMatrix4 viewProjection;
        if (GetEntityViewProjection(GetOwner(), viewProjection)) {
            ZMatrix4::Multiply(matrix, matrix, viewProjection);
        }
        binding->SetMatrix(matrix);
        return true;
    }
    ZParameterSource* attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}
