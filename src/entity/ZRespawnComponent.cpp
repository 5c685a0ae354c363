#include "entity/ZRespawnComponent.h"

#include "entity/ZCollisionComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZRenderableComponent.h"

void RespawnEntity(ZRespawnComponent* const respawn) {
    ZEntity* const entity = respawn != nullptr ? respawn->GetOwner() : nullptr;
    if (entity == nullptr || respawn->instanceFile.IsNone() || respawn->instanceFile == ZHashedString("")) {
        return;
    }
    // Taken before the component goes with the others.
    const ZHashedString definitionFile = respawn->instanceFile;
    if (ZRenderableComponent* renderable = GetComponent<ZRenderableComponent>(entity)) {
        renderable->DestroyRenderables();
    }
    if (ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(entity)) {
        collision->ClearPrimitives();
    }
    entity->DeleteComponents();
    RespawnGameEntity(entity, definitionFile);
}
