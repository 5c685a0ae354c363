#include "entity/ZShadowComponent.h"

#include <cmath>

#include "entity/ZCollisionPoint.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZQuaternion.h"
#include "renderer/ZEffectParameter.h"

namespace {

constexpr float kCollisionTolerance = 0.015f;  // the shadow sits just under the ground
constexpr float kProbeDepth = 100.0f;          // how far below the entity ground is looked for

ZMatrix4 Then(const ZMatrix4& first, const ZMatrix4& second) {
    ZMatrix4 result;
    ZMatrix4::Multiply(result, first, second);
    return result;
}

// The rotation that lays the shadow in a surface of normal n (row vectors):
// its x, y and z axes become b, a and n. The identity when n has no usable
// direction (or points along x, where the axes are not defined).
ZMatrix4 GroundRotation(const ZVector3& n) {
    const ZVector3 a = n.Cross(ZVector3(1.0f, 0.0f, 0.0f));
    const float aLength = a.Length();
    if (!(aLength > 1e-6f) || !std::isfinite(aLength)) {
        return ZMatrix4::Identity();
    }
    const ZVector3 ay = a * (1.0f / aLength);
    const ZVector3 bx = ay.Cross(n).Normalized();
    // Through a quaternion, as every rotation the entity draws with.
    const ZQuaternion q = ZQuaternion::FromMatrix(ZMatrix4::Transpose(ZMatrix4::FromAxes(bx, ay, n.Normalized())));
    return ZQuaternion::ToMatrix(q, true);
}

}  // namespace

ZShadowComponent::ZShadowComponent() : probe(new ZCollisionPoint()) {}

ZShadowComponent::~ZShadowComponent() { delete probe; }

void ZShadowComponent::SetLocked(const bool on) {
    if (locked != 0) {
        locked = on ? 1 : 0;
    } else if (on) {
        lockedMatrix = ComputeShadowMatrix();
        locked = 1;
    }
}

ZMatrix4 ZShadowComponent::ComputeShadowMatrix() const {
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (spatial == nullptr) {
        return ZMatrix4::Identity();
    }
    const ZVector3 from = spatial->interpolated.position;
    ZVector3 place = from;
    ZMatrix4 rotation = ZMatrix4::Identity();
    if (probe != nullptr) {
        // One list for every shadow: no sweep runs inside another.
        static CollisionResultArray contacts;
        contacts.Resize(0);
        const ZVector3 to = from - ZVector3(0.0f, 0.0f, kProbeDepth);
        SweepShape(ZCollisionWorld::GetInstance(), contacts, probe, from, to, 0xFFFFFFFFu, 0u);
        if (contacts.Count() > 1) {
            place = contacts[0].position;
            rotation = GroundRotation(contacts[0].normal);
        }
    }
    place.z -= kCollisionTolerance;
    const ZVector3 size = spatial->interpolated.scale * scale;
    return Then(Then(ZMatrix4::MakeScale(size), rotation), ZMatrix4::Translation(place));
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
