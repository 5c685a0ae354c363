#include "entity/ZEntityMotion.h"

#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "renderer/ZCamera.h"

bool GetEntityPosition(ZEntity* const entity, ZVector3& position) {
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    if (spatial == nullptr) {
        return false;
    }
    position = spatial->current.position;
    return true;
}

void SetEntityPosition(ZEntity* const entity, const ZVector3& position) {
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity)) {
        spatial->current.position = position;
    }
}

bool GetEntityVelocity(ZEntity* const entity, ZVector3& velocity) {
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    if (spatial == nullptr) {
        return false;
    }
    velocity = spatial->current.velocity;
    return true;
}

void SetEntityVelocity(ZEntity* const entity, const ZVector3& velocity) {
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity)) {
        spatial->current.velocity = velocity;
    }
}

void SnapEntityStates(ZEntity* const entity) {
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity)) {
        spatial->ResetInterpolation();
    }
}

void SetEntityResting(ZEntity* const entity) {
    if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(entity)) {
        physics->rest = true;
    }
}

void SetEntityBounceCount(ZEntity* const entity, const int32_t bounces) {
    if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(entity)) {
        physics->bounceCount = bounces;
    }
}

void SetEntityBasedOffset(ZEntity* const entity, const ZVector3& offset) {
    if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(entity)) {
        basing->heldRigidly = true;
        basing->rigidOffset = offset;
    }
}

int32_t GetEntityFacing(ZEntity* const entity) {
    const ZFacingComponent* const facing = GetComponent<ZFacingComponent>(entity);
    return facing != nullptr ? facing->facing : ZFacingComponent::kNone;
}

uint32_t GetShapeFilterMask(ZCollisionInterface* const shape) {
    return shape != nullptr ? shape->filterMask : 0xFFFFFFFFu;
}

bool GetEntityCameraOrigin(ZEntity* const entity, ZVector3& origin) {
    const ZCameraComponent* const camera = GetComponent<ZCameraComponent>(entity);
    if (camera == nullptr || camera->camera == nullptr) {
        return false;
    }
    origin = camera->camera->position;
    return true;
}

ZEntity* FindEntityInReach(ZEntity* const entity, const ZHashedString primitive, const ZVector3& from,
                           const ZVector3& to, const uint32_t filterMask) {
    const ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(entity);
    ZCollisionInterface* const shape = collision != nullptr ? collision->FindPrimitive(primitive.GetId()) : nullptr;
    if (shape == nullptr) {
        return nullptr;
    }
    ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
    CollisionResultArray results;
    SweepShape(world, results, shape, from, to, filterMask, 0);
    for (const CollisionResult& contact : results) {
        if (contact.other != nullptr) {
            return ResolveComponent<ZEntity>(contact.other);
        }
    }
    results.Resize(0);
    OverlapQuery(world, results, shape, from, collision->sweepMask);
    return results.IsEmpty() ? nullptr : ResolveComponent<ZEntity>(results[0].other);
}

bool GetEntityViewProjection(ZEntity* const entity, ZMatrix4& viewProjection) {
    const ZCameraComponent* const camera = GetComponent<ZCameraComponent>(entity);
    if (camera == nullptr || camera->camera == nullptr) {
        return false;
    }
    viewProjection = camera->camera->GetViewProjection();
    return true;
}
