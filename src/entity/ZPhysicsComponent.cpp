#include "entity/ZPhysicsComponent.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "entity/ZBasingComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "renderer/ZCamera.h"

namespace {

bool IsAlive(const uint32_t handle, const ZRTTIBase* const object) {
    return handle != 0 && FindObjectByHandle(handle) == object;
}

// Walls are steeper than 75 degrees from the floor.
constexpr float kFloorLimit = 0.5f;

void TickTimer(float& timer, const float dt) { timer = std::max(timer - dt, -1.0f); }

ZVector3 AlongUp(const ZVector3& v) { return gWorldUp * v.Dot(gWorldUp); }

}  // namespace

ZPhysicsComponent::ZPhysicsComponent() : groundNormal(gWorldUp) { InitPhysics(0.0f, nullptr, 0, 0.0f, 0.0f, 0.0f); }

void ZPhysicsComponent::InitPhysics(const float push, const float* heights, const int32_t count, const float apex,
                                    const float minimum, const float landingFactor) {
    const int32_t n = heights != nullptr ? std::max(count, 0) : 0;
    jumpHeightCount = n;
    jumpHeights.assign(heights, heights + n);
    jumpHeightsSum = 0.0f;
    for (const float h : jumpHeights) {
        jumpHeightsSum += h;
    }
    pushSpeed = push;
    wallPushSpeed = push;
    minimumFraction = minimum;
    apexTime = apex;
    firstJumpHeight = n >= 1 ? jumpHeights[0] : 0.0f;
    firstJumpSpeed = 0.0f;
    gravity = 0.0f;
    if (apexTime > 0.0f) {
        firstJumpSpeed = 2.0f * firstJumpHeight / apexTime;
        gravity = firstJumpSpeed / apexTime;
    }
    releasedJumpGravity = minimumFraction > 0.0f ? gravity / minimumFraction : 0.0f;
    maxFallSpeed = firstJumpHeight > 0.0f ? std::sqrt(jumpHeightsSum / firstJumpHeight) * firstJumpSpeed : 0.0f;
    landingSpeedLimit = -std::fabs(landingFactor) * firstJumpSpeed;
    impulseDuration = 0.4f;
}

void ZPhysicsComponent::SelectJump(const int32_t index) {
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (index >= 0 && index < jumpHeightCount && spatial != nullptr) {
        jumpHeight = jumpHeights[static_cast<size_t>(index)];
        jumpSpeed = std::sqrt(std::max(2.0f * jumpHeight * gravity, 0.0f));
        minimumJumpHeight = minimumFraction * jumpHeight;
        jumpStartY = spatial->current.position.y;
        jumpStartTime = GetEntityFixedTime();
    }
    jumpReleased = false;
    jumpFraction = 1.0f;
}

float ZPhysicsComponent::CurrentGravity() const {
    return releasedJumpGravity + (gravity - releasedJumpGravity) * jumpFraction;
}

void ZPhysicsComponent::Jump(const bool request) {
    bool coyote = coyoteTimer > 0.0f;
    if (request || jumpPending) {
        if ((onWall || wallCoyoteTimer > 0.0f) && wallJumping) {
            coyote = true;
            jumpsLeft = maxJumps;
        }
        if ((jumpsLeft < 1 && !coyote) || (jumpLockoutTimer > 0.0f && !jumpPending)) {
            jumpBufferTimer = 0.1f;
        } else {
            PerformJump();
        }
    }
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
        spatial->current.acceleration = gWorldUp * -CurrentGravity();
    }
}

void ZPhysicsComponent::PerformJump() {
    ZEntity* const entity = GetOwner();
    jumpPending = false;
    jumpBufferTimer = -1.0f;
    jumpLockoutTimer = 0.1f;
    if (coyoteTimer > 0.0f) {
        // A jump just after walking off a ledge does not use one up.
        coyoteTimer = -1.0f;
        ++jumpsLeft;
    }
    SelectJump(maxJumps - jumpsLeft);
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    ZBasingComponent* const basing = GetComponent<ZBasingComponent>(entity);
    if (spatial != nullptr) {
        ZVector3& v = spatial->current.velocity;
        v = v - AlongUp(v) + gWorldUp * jumpSpeed;
        if (basing != nullptr && basing->parent != nullptr) {
            const ZBasingComponent* const carrier = GetComponent<ZBasingComponent>(basing->parent);
            const ZSpatialComponent* const carrierSpatial = GetComponent<ZSpatialComponent>(basing->parent);
            if (carrier != nullptr && carrier->impart > 0.0f && carrierSpatial != nullptr &&
                carrierSpatial->current.velocity.Dot(gWorldUp) > 0.0f) {
                v += AlongUp(carrierSpatial->current.velocity) * carrier->impart;
            }
        }
        if ((onWall || wallCoyoteTimer > 0.0f) && wallJumping) {
            wallCoyoteTimer = -1.0f;
            v = AlongUp(v) + wallPushDirection * wallPushSpeed;
            impulseTimer = impulseDuration;
        }
    }
    if (basing == nullptr || basing->parent == nullptr) {
        if (!grounded) {
            LeaveGround();
        }
    } else if (!basing->heldRigidly) {
        basing->Detach();
    }
    if (onJump != nullptr) {
        onJump(entity);
    }
}

void ZPhysicsComponent::ReleaseJump(const bool force) {
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (force) {
        if (jumpStartTime >= 0.0f && GetEntityFixedTime() - jumpStartTime > apexTime) {
            jumpReleased = true;
        }
        return;
    }
    if (jumpReleased || spatial == nullptr) {
        return;
    }
    jumpReleased = true;
    const float risen = jumpStartY - spatial->current.position.y;
    const float span = jumpHeight - minimumJumpHeight;
    // A jump whose minimum is its full height (minimum fraction 1, or no
    // height at all) has nothing left to cut short.
    if (!(span > 0.0f)) {
        jumpFraction = 1.0f;
        return;
    }
    jumpFraction = std::clamp((risen - minimumJumpHeight) / span, 0.0f, 1.0f);
    if (!std::isfinite(jumpFraction)) {
        jumpFraction = 1.0f;
    }
}

void ZPhysicsComponent::Walk(const ZVector3& move, const bool ignore, const bool slide) {
    const bool hasInput = move.LengthSquared() > 0.0f;
    const bool onFloor = grounded && !ignore && groundNormal.Dot(gWorldUp) >= kFloorLimit;
    ignoreFloor = ignore;
    ZVector3 turned = move;
    if (onFloor && hasInput) {
        const ZVector3 planar = move - groundNormal * move.Dot(groundNormal);
        turned = planar.Normalized() * move.Length();
    }
    uint32_t response = ZCollisionInterface::kSlide;
    if (onFloor && !hasInput) {
        response = ZCollisionInterface::kStop;
    } else if (ignore || slide || sliding) {
        response = ZCollisionInterface::kSlideAlong;
    }
    if (ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(GetOwner())) {
        collision->SetResponse(response);
    }
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
        ZVector3& v = spatial->current.velocity;
        v = onFloor ? turned : (move - AlongUp(move)) + AlongUp(v);
    }
}

void ZPhysicsComponent::UpdateResponse() {
    uint32_t response = ZCollisionInterface::kSlide;
    if (grounded && groundNormal.Dot(gWorldUp) >= kFloorLimit) {
        response = bounceCount > 0 ? ZCollisionInterface::kBounce : ZCollisionInterface::kStop;
    }
    if (ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(GetOwner())) {
        collision->SetResponse(response);
    }
}

void ZPhysicsComponent::UpdateImpulse(const float dt) {
    if (!(impulseTimer > 0.0f)) {
        return;
    }
    impulseTimer -= dt;
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (spatial == nullptr || !(impulseDuration > 0.0f)) {
        return;
    }
    const float t = impulseTimer / impulseDuration;
    ZVector3& v = spatial->current.velocity;
    const ZVector3 p = AlongUp(v);
    const ZVector3 h = v - p;
    v = p + h + (wallPushDirection * wallPushSpeed - h) * t;
}

void ZPhysicsComponent::ClampGravitySpeed() {
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (spatial == nullptr) {
        return;
    }
    ZVector3& v = spatial->current.velocity;
    const ZVector3 p = AlongUp(v);
    const float s = p.Dot(gWorldUp);
    const float limit = IsWallSliding() ? maxFallSpeed * 0.2f : maxFallSpeed;
    if (s < -limit) {
        v = (v - p) + p * (-limit / s);
    }
}

void ZPhysicsComponent::TickTimers(const float dt) {
    TickTimer(coyoteTimer, dt);
    TickTimer(jumpLockoutTimer, dt);
    TickTimer(jumpBufferTimer, dt);
    TickTimer(wallCoyoteTimer, dt);
}

void ZPhysicsComponent::ResetMotion(const bool inAir) {
    jumpFraction = 1.0f;
    jumpsLeft = inAir ? maxJumps - 1 : maxJumps;
    grounded = !inAir;
    wasGrounded = !inAir;
    sliding = false;
    groundNormal = gWorldUp;
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
        spatial->current.velocity = ZVector3();
        spatial->current.acceleration = ZVector3();
        spatial->ResetInterpolation();
    }
}

void ZPhysicsComponent::Step(const float dt) {
    const ZBasingComponent* const basing = GetComponent<ZBasingComponent>(GetOwner());
    if (basing != nullptr && basing->parent != nullptr && basing->heldRigidly) {
        return;
    }
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
        spatial->Integrate(dt);
    }
}

bool ZPhysicsComponent::CanBaseOn(const ZComponent* other) const {
    const ZSpatialComponent* const mine = GetComponent<ZSpatialComponent>(GetOwner());
    const ZSpatialComponent* const theirs =
        other != nullptr ? GetComponent<ZSpatialComponent>(other->GetOwner()) : nullptr;
    if (mine == nullptr || theirs == nullptr) {
        return true;
    }
    const float myRise = mine->current.velocity.Dot(gWorldUp);
    const float theirRise = theirs->current.velocity.Dot(gWorldUp);
    return !(myRise > 0.0f && theirRise > 0.0f && theirRise < myRise);
}

void ZPhysicsComponent::OnGroundNormal(CollisionResult& contact) const {
    // Only a walker's contacts: a mover that rises has left its floor (the
    // step of a jump still counts as grounded), and a wall it meets then, a
    // low one it is pressed against, say, is a wall. Taken as the floor, it
    // took the jump's rise away and the jump did nothing.
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (spatial != nullptr && spatial->current.velocity.Dot(gWorldUp) > 0.0f) {
        return;
    }
    if (!sliding && wasGrounded && contact.direction.Dot(gWorldUp) < kFloorLimit) {
        const ZVector3 up = gWorldUp.Normalized();
        if (up.LengthSquared() > 0.0f) {
            contact.direction = up;
        }
    }
}

void ZPhysicsComponent::BeginContactPass() {
    wasGrounded = grounded;
    wasOnWall = onWall;
    grounded = false;
    onWall = false;
    wallNormal = ZVector3();
}

void ZPhysicsComponent::OnGroundContact(const CollisionResult& contact) {
    ZEntity* const entity = GetOwner();
    const uint32_t self = GetHandle();
    if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(entity)) {
        if (basing->parent != nullptr && basing->parent != ResolveComponent<ZEntity>(contact.other) &&
            !basing->heldRigidly) {
            basing->Detach();
            if (!IsAlive(self, this)) {
                return;  // the old carrier's "OnUnbased" deleted this entity
            }
        }
    }
    ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity);
    const float fall = spatial != nullptr ? spatial->current.velocity.Dot(gWorldUp) : 0.0f;
    if (contact.normal.Dot(gWorldUp) < kFloorLimit) {
        sliding = true;
        if (spatial != nullptr && onSteepContact != nullptr) {
            onSteepContact(entity, contact, landed && fall < landingSpeedLimit);
        }
        landed = false;
        return;
    }
    sliding = false;
    groundNormal = contact.normal;
    grounded = true;
    if (!wasGrounded) {
        coyoteTimer = -1.0f;
        jumpLockoutTimer = -1.0f;
        if (jumpBufferTimer > 0.0f) {
            jumpPending = true;
        }
        const bool hard = fall < landingSpeedLimit ||
                          (jumpStartTime > 0.0f && GetEntityFixedTime() - jumpStartTime >= apexTime);
        if (onLand != nullptr) {
            onLand(entity, contact, airborne && hard);
            if (!IsAlive(self, this)) {
                return;
            }
            spatial = GetComponent<ZSpatialComponent>(entity);
        }
        airborne = false;
        jumpStartTime = -1.0f;
        landed = true;
        jumpFraction = 1.0f;
        jumpsLeft = maxJumps;
        if (spatial != nullptr) {
            const ZVector3 v = spatial->current.velocity;
            if ((v - AlongUp(v)).LengthSquared() < 0.001f) {
                spatial->current.position = contact.position;
            }
        }
    } else if (jumpsLeft < maxJumps) {
        jumpsLeft = maxJumps;
        jumpFraction = 1.0f;
    }
}

void ZPhysicsComponent::OnWallContact(const CollisionResult& contact) {
    if (grounded) {
        return;
    }
    ZEntity* const entity = GetOwner();
    if (wallFilter != nullptr && !wallFilter(entity, contact)) {
        return;
    }
    onWall = true;
    wallNormal = contact.normal;
    if (!wallJumping) {
        return;
    }
    jumpsLeft = std::max(jumpsLeft, maxJumps - 1);
    const ZVector3 across = contact.normal - AlongUp(contact.normal);
    const float inverse = 1.0f / across.Length();
    wallPushDirection = std::isfinite(inverse) ? across * inverse : ZVector3();
    jumpFraction = 1.0f;
    wallCoyoteTimer = 0.15f;
    if (!wasOnWall && onWall_ != nullptr) {
        onWall_(entity, contact, false);
    }
}

void ZPhysicsComponent::LeaveGround() {
    ZEntity* const entity = GetOwner();
    airborne = true;
    if (jumpsLeft == maxJumps) {
        const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
        if (spatial != nullptr && spatial->current.velocity.Dot(groundNormal) <= 0.0f) {
            coyoteTimer = 0.1f;
        }
        const uint32_t self = GetHandle();
        if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(entity)) {
            if (basing->parent != nullptr && !basing->heldRigidly) {
                basing->Detach();
                if (!IsAlive(self, this)) {
                    return;  // the old carrier's "OnUnbased" deleted this entity
                }
            }
        }
        if (onLeaveGround != nullptr) {
            onLeaveGround(entity);
            if (!IsAlive(self, this)) {
                return;
            }
        }
    }
    --jumpsLeft;
}

void ZPhysicsComponent::GroundProbe() {
    if (!wasGrounded || grounded) {
        return;
    }
    ZEntity* const entity = GetOwner();
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(entity);
    ZCollisionInterface* const primitive = collision != nullptr ? collision->GetPrimary() : nullptr;
    const uint32_t self = GetHandle();
    if (groundProbe && !ignoreFloor && spatial != nullptr && primitive != nullptr) {
        ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
        const float distance = sliding ? probeScale : 1.0f;
        const ZVector3 from = spatial->current.position;
        const ZVector3 to = from - gWorldUp * (world->tolerance * distance);
        CollisionResultArray results;
        SweepShape(world, results, primitive, from, to, collision->sweepMask, 1u);
        // The landing callbacks may delete this entity, its shape or what it
        // stands on: each is checked by handle before it is used again.
        const uint32_t spatialHandle = spatial->GetHandle();
        const uint32_t primitiveHandle = primitive->GetHandle();
        std::vector<uint32_t> others;
        for (uint32_t i = 0; i + 1 < results.Count(); ++i) {
            others.push_back(ZRTTIBase::GetHandle(results[i].other));
        }
        for (uint32_t i = 0; i + 1 < results.Count() && !grounded; ++i) {
            CollisionResult& contact = results[i];
            if (!IsAlive(others[i], contact.other)) {
                continue;
            }
            if (contact.other->Accept(primitive, contact) && contact.normal.Dot(gWorldUp) > 0.0f) {
                spatial->current.position = contact.position;
                OnGroundContact(contact);
                if (!IsAlive(self, this)) {
                    return;
                }
                if (!IsAlive(spatialHandle, spatial) || !IsAlive(primitiveHandle, primitive)) {
                    break;
                }
            }
        }
    }
    if (!grounded) {
        LeaveGround();
    }
}
