#include "entity/ZSpatialComponent.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "entity/ZBasingComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZComponentReaders.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPusherComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZCamera.h"

float GetEntityStepLength() {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetStepLength() : 1.0f / 60.0f;
}

float GetEntityFixedTime() {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetFixedTime() : 0.0f;
}

namespace {

bool HasChild(const ZDefNode& element, const ZHashedString name) {
    return element.FindChildIndex(0, name) < element.children.Count();
}

bool IsFinite(const ZVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool IsAlive(const uint32_t handle, const void* object) {
    return handle != 0 && FindObjectByHandle(handle) == object;
}

// v turned about the unit axis by angle (Rodrigues' formula).
ZVector3 RotateAbout(const ZVector3& v, const ZVector3& axis, const float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return v * c + axis.Cross(v) * s + axis * (axis.Dot(v) * (1.0f - c));
}

}  // namespace

void ZSpatialComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kPosition("Position");
    static const ZHashedString kVelocity("Velocity");
    static const ZHashedString kAcceleration("Acceleration");
    static const ZHashedString kScale("Scale");
    static const ZHashedString kRotation("Rotation");
    static const ZHashedString kVector("Vector");
    static const ZHashedString kAxis("Axis");
    static const ZHashedString kAngle("Angle");
    const struct {
        ZHashedString name;
        ZVector3* field;
    } vectors[] = {{kPosition, &current.position},
                   {kVelocity, &current.velocity},
                   {kAcceleration, &current.acceleration},
                   {kScale, &current.scale}};
    // "inf" and "nan" read as numbers; a body that stood there would spread
    // them to everything it touches, so such a vector is refused.
    for (const auto& v : vectors) {
        if (HasChild(element, v.name)) {
            ZVector3 value = *v.field;
            ReadVector3Into(element.FindChild(v.name).FindChild(kVector), value);
            if (IsFinite(value)) {
                *v.field = value;
            } else {
                ZLog::Printf("Spatial: \"%s\" is not a finite vector; kept (%g, %g, %g)", v.name.GetText(),
                             double(v.field->x), double(v.field->y), double(v.field->z));
            }
        }
    }
    if (HasChild(element, kRotation)) {
        const ZDefNode& vector = element.FindChild(kRotation).FindChild(kVector);
        const ZVector3 axis = ReadVector3(vector.FindChild(kAxis));
        const float angle = vector.GetAttribute(kAngle).ToFloat();
        if (IsFinite(axis) && std::isfinite(angle)) {
            current.rotation = ZQuaternion::FromAxisAngle(axis, angle);
        } else {
            ZLog::Printf("Spatial: \"Rotation\" is not finite; kept the rotation");
        }
    }
    ResetInterpolation();
    // Shapes read before this component (a "Collision" element written
    // first) had no owner yet; they stand here from now on.
    if (ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(GetOwner())) {
        for (auto& node : collision->primitives) {
            if (node.value != nullptr && node.value->GetOwner() == nullptr) {
                node.value->SetOwner(this);
            }
        }
    }
}

void ZSpatialComponent::OnGroundProbe(CollisionResult& contact) {
    if (const ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(GetOwner())) {
        physics->OnGroundNormal(contact);
    }
}

void ZSpatialComponent::FilterSlideVelocity(float& /*first*/, float& second, const bool flag) {
    const ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(GetOwner());
    if (physics != nullptr && !flag && !physics->sliding && physics->wasGrounded) {
        second = 0.0f;
    }
}

void ZSpatialComponent::ResetInterpolation() {
    previous = current;
    previousInterpolated = current;
    interpolated = current;
}

void ZSpatialComponent::Integrate(const float dt) {
    const uint32_t self = GetHandle();
    const ZVector3 previousAcceleration = previous.acceleration;
    const ZVector3 d = current.velocity * dt + previousAcceleration * (0.5f * dt * dt);
    previous = current;
    current.position += d;
    current.velocity += (previousAcceleration + current.acceleration) * (0.5f * dt);
    if (d.LengthSquared() > 0.0f) {
        if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(GetOwner())) {
            physics->BeginContactPass();
        }
        Move(previous.position, current.position);
        // Touch events may have deleted this entity.
        if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
            return;
        }
        if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(GetOwner())) {
            physics->GroundProbe();
            if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
                return;
            }
        }
        ApplyPushes();
        if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
            return;
        }
        CarryRiders(dt);
        if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
            return;
        }
    }
    if (resetPending) {
        resetPending = false;
        previous = saved;
    }
}

void ZSpatialComponent::ApplyPushes() {
    ZPusherComponent* const pusher = GetComponent<ZPusherComponent>(GetOwner());
    if (pusher == nullptr || pusher->queue.IsEmpty()) {
        return;
    }
    // Emptied first: pushes that these moves cause wait for the next step
    // instead of being lost.
    const ZArray<ZPusherComponent::PushEntry> entries(pusher->queue);
    pusher->queue.Resize(0);
    for (const ZPusherComponent::PushEntry& entry : entries) {
        ZSpatialComponent* const pushed = ResolveComponent<ZSpatialComponent>(FindObjectByHandle(entry.handle));
        if (pushed == nullptr) {
            continue;
        }
        pushed->MarkReset();
        pushed->Move(pushed->current.position, pushed->current.position + entry.push);
    }
}

void ZSpatialComponent::CarryRiders(const float dt) {
    const ZBasingComponent* const basing = GetComponent<ZBasingComponent>(GetOwner());
    if (basing == nullptr || basing->children.IsEmpty()) {
        return;
    }
    ZEntity* const carrier = GetOwner();
    const uint32_t self = GetHandle();
    // Handles: a carried move may delete riders or change the children, and
    // the game's carry callbacks may delete the carrier itself.
    std::vector<uint32_t> riders;
    for (ZEntity* child : basing->children) {
        riders.push_back(ZRTTIBase::GetHandle(child));
    }
    const ZVector3 delta = current.position - previous.position;
    const float k = std::clamp(dt * 20.0f, 0.0f, 1.0f);
    for (const uint32_t handle : riders) {
        ZEntity* const child = DynamicCast<ZEntity>(FindObjectByHandle(handle));
        ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(child);
        if (spatial == nullptr) {
            continue;
        }
        ZBasingComponent* childBasing = GetComponent<ZBasingComponent>(child);
        if (childBasing == nullptr || !childBasing->heldRigidly) {
            if (delta.LengthSquared() > 0.0f) {
                const ZBasingComponent::CarriedCallback before = childBasing ? childBasing->beforeCarried : nullptr;
                if (before != nullptr) {
                    before(child, carrier);
                }
                if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
                    return;
                }
                if (FindObjectByHandle(handle) != child || GetComponent<ZSpatialComponent>(child) != spatial) {
                    continue;
                }
                spatial->MarkReset();
                spatial->Move(spatial->current.position, spatial->current.position + delta);
                if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
                    return;
                }
                if (FindObjectByHandle(handle) != child || GetComponent<ZSpatialComponent>(child) != spatial) {
                    continue;
                }
                childBasing = GetComponent<ZBasingComponent>(child);
                const ZBasingComponent::CarriedCallback after = childBasing ? childBasing->afterCarried : nullptr;
                if (after != nullptr) {
                    after(child, carrier);
                }
                if (!IsAlive(self, static_cast<ZRTTIBase*>(this))) {
                    return;
                }
                if (FindObjectByHandle(handle) != child || GetComponent<ZSpatialComponent>(child) != spatial) {
                    continue;
                }
            }
        } else {
            // Moved with the carrier, then swung towards its hanging offset.
            ZVector3 offset = spatial->current.position + delta - current.position;
            const ZVector3 wanted = childBasing->rigidOffset;
            const float length = offset.Length();
            const float wantedLength = wanted.Length();
            if (length > 0.0f && wantedLength > 0.0f) {
                ZVector3 axis = offset.Cross(wanted);
                const float axisLength = axis.Length();
                if (axisLength > 0.0f) {
                    const float cosine = std::clamp(offset.Dot(wanted) / (length * wantedLength), -1.0f, 1.0f);
                    offset = RotateAbout(offset, axis * (1.0f / axisLength), std::acos(cosine) * k);
                }
            }
            const float distance = length + (wantedLength - length) * k;
            const ZVector3 direction = length > 0.0f ? offset.Normalized() : wanted.Normalized();
            spatial->current.position = current.position + direction * distance;
        }
        spatial->current.rotation = current.rotation;
    }
}

void ZSpatialComponent::Move(const ZVector3& from, const ZVector3& target) {
    ZEntity* const entity = GetOwner();
    ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(entity);
    ZCollisionInterface* const primitive = collision != nullptr ? collision->GetPrimary() : nullptr;
    if (primitive == nullptr) {
        current.position = target;
        return;
    }
    // A list of its own: pushes and carried moves run this again.
    CollisionResultArray results;
    SweepShape(ZCollisionWorld::GetInstance(), results, primitive, from, target, collision->sweepMask, 0);
    const uint32_t contacts = results.Count() - 1;
    const uint32_t self = GetHandle();
    const uint32_t primitiveHandle = primitive->GetHandle();
    std::vector<uint32_t> handles(contacts);
    for (uint32_t i = 0; i < contacts; ++i) {
        handles[i] = ZRTTIBase::GetHandle(results[i].other);
    }
    auto alive = [&](const uint32_t i) { return IsAlive(handles[i], results[i].other); };
    auto selfAlive = [&] { return IsAlive(self, static_cast<ZRTTIBase*>(this)) && IsAlive(primitiveHandle, primitive); };

    for (uint32_t i = 0; i < contacts; ++i) {
        if (!alive(i)) {
            continue;
        }
        ZCollisionInterface* const other = results[i].other;
        if (primitive->selfTouch != nullptr) {
            primitive->selfTouch(primitive, other, results[i]);
        }
        if (!selfAlive()) {
            return;
        }
        if (alive(i) && other->touched != nullptr) {
            other->touched(other, primitive, results[i]);
        }
        if (!selfAlive()) {
            return;
        }
        if (!alive(i)) {
            continue;
        }
        ZEntity* const otherEntity = ResolveComponent<ZEntity>(other);
        ZBasingComponent* const basing = GetComponent<ZBasingComponent>(entity);
        ZBasingComponent* const otherBasing = GetComponent<ZBasingComponent>(otherEntity);
        if (basing != nullptr && otherBasing != nullptr) {
            const ZPhysicsComponent* const otherPhysics = GetComponent<ZPhysicsComponent>(otherEntity);
            if (otherPhysics == nullptr || otherPhysics->CanBaseOn(basing)) {
                ZBasingComponent::TryBasePair(basing, otherBasing, results[i]);
                if (!selfAlive()) {
                    return;
                }
            }
        }
    }

    if (takeSweptPosition) {
        current.position = results[contacts].position;
    }

    ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(entity);
    std::vector<bool> accepted(contacts, false);
    for (uint32_t i = 0; i < contacts; ++i) {
        accepted[i] = alive(i) && results[i].other->Accept(primitive, results[i]);
    }
    if (respondWithVelocity) {
        for (uint32_t i = 0; i < contacts; ++i) {
            if (!accepted[i]) {
                continue;
            }
            ZVector3& v = current.velocity;
            switch (primitive->responseKind) {
                case ZCollisionInterface::kStop:
                    v = ZVector3();
                    break;
                case ZCollisionInterface::kSlide:
                case ZCollisionInterface::kSlideAlong: {
                    const ZVector3 d = results[i].direction.Normalized();
                    v -= d * v.Dot(d);
                    break;
                }
                case ZCollisionInterface::kBounce: {
                    const ZVector3& n = results[i].normal;
                    v -= n * (2.0f * v.Dot(n));
                    if (physics != nullptr && physics->bounceCount > 0) {
                        --physics->bounceCount;
                        v *= 0.5f;
                    }
                    break;
                }
                default:
                    break;
            }
        }
    }

    if (physics != nullptr) {
        const ZVector3 up = gWorldUp;
        for (uint32_t i = 0; i < contacts && physics != nullptr; ++i) {
            if (accepted[i] && alive(i) && results[i].normal.Dot(up) > 0.0f) {
                physics->OnGroundContact(results[i]);
                if (!selfAlive()) {
                    return;
                }
                physics = GetComponent<ZPhysicsComponent>(entity);
            }
        }
        for (uint32_t i = 0; i < contacts && physics != nullptr; ++i) {
            if (accepted[i] && alive(i) && std::fabs(results[i].normal.Dot(up)) < 0.258819f) {
                physics->OnWallContact(results[i]);
                if (!selfAlive()) {
                    return;
                }
                physics = GetComponent<ZPhysicsComponent>(entity);
            }
        }
    }

    for (uint32_t i = 0; i < contacts; ++i) {
        if (!alive(i)) {
            continue;
        }
        if (contactCallback != nullptr) {
            contactCallback(entity, results[i]);
            if (!selfAlive()) {
                return;
            }
            if (!alive(i)) {
                continue;
            }
        }
        ZCollisionInterface* const other = results[i].other;
        if (!other->Gate(primitive) || other->IsOwnerless()) {
            continue;
        }
        ZEntity* const otherEntity = ResolveComponent<ZEntity>(other);
        ZPusherComponent* const pusher = GetComponent<ZPusherComponent>(entity);
        const ZPusherComponent* const otherPusher = GetComponent<ZPusherComponent>(otherEntity);
        if (pusher == nullptr || otherPusher == nullptr || !pusher->canPush || !otherPusher->canBePushed) {
            continue;
        }
        const ZVector3 push =
            -results[i].direction * ((1.0f - results[i].time) * current.velocity.Length() * GetEntityStepLength());
        if (push.LengthSquared() > 0.0f) {
            pusher->QueuePush(ZRTTIBase::GetHandle(otherEntity), push);
        }
    }
}

void ZSpatialComponent::Interpolate(const float alpha) {
    previousInterpolated = interpolated;
    interpolated.position = ZVector3::Lerp(previous.position, current.position, alpha);
    interpolated.scale = ZVector3::Lerp(previous.scale, current.scale, alpha);
    interpolated.velocity = ZVector3::Lerp(previous.velocity, current.velocity, alpha);
    interpolated.acceleration = ZVector3::Lerp(previous.acceleration, current.acceleration, alpha);
    interpolated.rotation = ZQuaternion::Slerp(alpha, previous.rotation, current.rotation);
}

float ZSpatialComponent::SnapAxis(const float position, const float reference) {
    float i = 0.0f;
    const float f = std::modf(position, &i);
    float unused = 0.0f;
    const float g = std::modf(reference, &unused);
    if (std::fabs(g - f) > 0.5f) {
        i += g <= f ? 1.0f : -1.0f;
    }
    return std::floor(i + g + 0.5f) + 0.5f;
}

ZMatrix4 ZSpatialComponent::GetSnappedWorldMatrix(const ZVector3& reference) const {
    const ZVector3& p = interpolated.position;
    const ZVector3 snapped(SnapAxis(p.x, reference.x), SnapAxis(p.y, reference.y), SnapAxis(p.z, reference.z));
    return ZMatrix4::MakeScale(interpolated.scale) * ZQuaternion::ToMatrix(interpolated.rotation, true) *
           ZMatrix4::Translation(snapped);
}
