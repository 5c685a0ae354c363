#include "entity/ZEngineComponentFactory.h"

#include "entity/ZAIComponent.h"
#include "entity/ZAllegianceComponent.h"
#include "entity/ZAnimComponent.h"
#include "entity/ZAudioComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZHealthComponent.h"
#include "entity/ZInventoryComponent.h"
#include "entity/ZKnockbackComponent.h"
#include "entity/ZLifetimeComponent.h"
#include "entity/ZLightComponent.h"
#include "entity/ZLocProxyComponent.h"
#include "entity/ZManaComponent.h"
#include "entity/ZMeleeComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZPopupComponent.h"
#include "entity/ZPusherComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZShadowComponent.h"
#include "entity/ZShieldComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpawnComponent.h"
#include "entity/ZSPIComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZTimerComponent.h"
#include "entity/ZWalkComponent.h"
#include "entity/ZEntity.h"
#include "foundation/ZMap.h"

namespace {

using Maker = ZComponent* (*)(ZEntity* entity);

// Get-or-add: naming a kind twice, or two aliases of one class, gives one
// component that reads each element in turn.
template <typename T>
ZComponent* Make(ZEntity* const entity) {
    return AddComponent<T>(entity);
}

ZMap<ZHashedString, Maker>& FactoryMap() {
    static ZMap<ZHashedString, Maker> map;
    return map;
}

}  // namespace

void RegisterComponentFactories() {
    ZMap<ZHashedString, Maker>& map = FactoryMap();
    if (!map.IsEmpty()) {
        return;
    }
    struct Row {
        const char* kind;
        Maker make;
    };
    static const Row rows[] = {
        {"AI", &Make<ZAIComponent>},
        {"Allegiance", &Make<ZAllegianceComponent>},
        {"Alleg", &Make<ZAllegianceComponent>},
        {"Anim", &Make<ZAnimComponent>},
        {"Animate", &Make<ZAnimComponent>},
        {"Animation", &Make<ZAnimComponent>},
        {"Audio", &Make<ZAudioComponent>},
        {"Base", &Make<ZBasingComponent>},
        {"Basing", &Make<ZBasingComponent>},
        {"Cam", &Make<ZCameraComponent>},
        {"Camera", &Make<ZCameraComponent>},
        {"Check", &Make<ZCheckpointComponent>},
        {"Checkpoint", &Make<ZCheckpointComponent>},
        {"Coll", &Make<ZCollisionComponent>},
        {"Collision", &Make<ZCollisionComponent>},
        {"Collide", &Make<ZCollisionComponent>},
        {"Data", &Make<ZDataComponent>},
        {"Delete", &Make<ZDeleteComponent>},
        {"Deletion", &Make<ZDeleteComponent>},
        {"DialogConsumer", &Make<ZDialogConsumerComponent>},
        {"DialogProvider", &Make<ZDialogProviderComponent>},
        {"Facing", &Make<ZFacingComponent>},
        {"Frob", &Make<ZFrobComponent>},
        {"GUID", &Make<ZGUIDComponent>},
        {"Health", &Make<ZHealthComponent>},
        {"Inventory", &Make<ZInventoryComponent>},
        {"Knockback", &Make<ZKnockbackComponent>},
        {"Lifetime", &Make<ZLifetimeComponent>},
        {"Light", &Make<ZLightComponent>},
        {"Loc", &Make<ZLocProxyComponent>},
        {"LocProxy", &Make<ZLocProxyComponent>},
        {"Mana", &Make<ZManaComponent>},
        {"Melee", &Make<ZMeleeComponent>},
        {"Name", &Make<ZNameComponent>},
        {"Physics", &Make<ZPhysicsComponent>},
        {"Jump", &Make<ZPhysicsComponent>},
        {"Gravity", &Make<ZPhysicsComponent>},
        {"Pickup", &Make<ZPickupComponent>},
        {"Popup", &Make<ZPopupComponent>},
        {"Pusher", &Make<ZPusherComponent>},
        {"Renderable", &Make<ZRenderableComponent>},
        {"Render", &Make<ZRenderableComponent>},
        {"Respawn", &Make<ZRespawnComponent>},
        {"Script", &Make<ZScriptComponent>},
        {"Shadow", &Make<ZShadowComponent>},
        {"Shield", &Make<ZShieldComponent>},
        {"Space", &Make<ZSpatialComponent>},
        {"Spatial", &Make<ZSpatialComponent>},
        {"Spawn", &Make<ZSpawnComponent>},
        {"SPI", &Make<ZSPIComponent>},
        {"Sprite", &Make<ZSpriteComponent>},
        {"Timer", &Make<ZTimerComponent>},
        {"Walk", &Make<ZWalkComponent>},
    };
    for (const Row& row : rows) {
        map.Insert(ZHashedString(row.kind), row.make);
    }
}

uint32_t GetEngineComponentKindCount() {
    RegisterComponentFactories();
    return FactoryMap().Count();
}

ZComponent* CreateComponentByName(ZEntity* const entity, const ZHashedString kind) {
    if (entity == nullptr) {
        return nullptr;
    }
    RegisterComponentFactories();
    const auto* node = FactoryMap().Find(kind);
    if (node == nullptr || node->value == nullptr) {
        return nullptr;
    }
    return node->value(entity);
}
