#include "game/world/KorvEntity.h"

#include <algorithm>

#include "entity/ZCollisionComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntityState.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "framework/ZBaseGame.h"
#include "game/world/EntityState.h"

KorvEntity::~KorvEntity() {
    // The sprite owns its quad: it lets go of it first, so the drawables
    // deleted below never include it (it would be deleted twice).
    if (ZSpriteComponent* const sprite = GetComponent<ZSpriteComponent>(this)) {
        sprite->SetSheet(nullptr);
    }
    if (ZRenderableComponent* const renderables = GetComponent<ZRenderableComponent>(this)) {
        renderables->DestroyRenderables();
    }
    if (ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(this)) {
        collision->ClearPrimitives();
    }
}

void KorvEntity::Update(float /*timeStep*/, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(this);
    if (physics == nullptr) {
        return;
    }
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(physics->GetOwner());
    if (spatial != nullptr && !physics->started) {
        physics->started = true;
        const float span = physics->startHigh - physics->startLow;
        const float y = spatial->current.position.y;
        // A zero span has no fraction to give: the entity counts as at the low mark.
        const float ratio = span != 0.0f ? (physics->startReference - y - physics->startLow) / span : 0.0f;
        physics->startRatio = std::clamp(ratio, 0.0f, 1.0f);
    }
    physics->UpdateResponse();
    physics->Jump(false);
}

void KorvEntity::PostUpdate(const float timeStep, const uint8_t mask) {
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(this);
    if ((mask & 2) != 0) {
        if (ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(this)) {
            physics->UpdateImpulse(timeStep);
            physics->Step(timeStep);
            physics->ClampGravitySpeed();
            physics->TickTimers(timeStep);
        } else if (spatial != nullptr) {
            spatial->Integrate(timeStep);
        }
    }
    if ((mask & 4) != 0 && spatial != nullptr) {
        const ZBaseGame* const game = ZBaseGame::PeekInstance();
        spatial->Interpolate(game != nullptr ? game->GetLeftoverFraction() : 1.0f);
    }
}

KorvEntity* CreateKorvEntity(const ZHashedString instanceFile, const uint32_t context) {
    if (!ShouldSpawnEntity(instanceFile)) {
        return nullptr;
    }
    auto* const entity = new KorvEntity();
    const uint32_t handle = entity->GetHandle();
    entity->CreateComponentsFromDefinition(instanceFile);
    // A reader's "OnLoad" script may have deleted the entity already.
    if (FindObjectByHandle(handle) != entity) {
        return nullptr;
    }
    RestoreEntityState(entity, instanceFile, context);
    if (FindObjectByHandle(handle) != entity) {
        return nullptr;
    }
    return entity;
}
