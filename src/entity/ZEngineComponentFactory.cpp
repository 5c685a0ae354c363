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
#include "entity/ZComponentKindTable.h"
#include "entity/ZEntity.h"

namespace {

ZComponentKindTable& Table() {
    static ZComponentKindTable table;
    return table;
}

}  // namespace

void RegisterComponentFactories() {
    using T = ZComponentKindTable;
    static const T::Row rows[] = {
        {"AI", &T::Make<ZAIComponent>},
        {"Allegiance", &T::Make<ZAllegianceComponent>},
        {"Alleg", &T::Make<ZAllegianceComponent>},
        {"Anim", &T::Make<ZAnimComponent>},
        {"Animate", &T::Make<ZAnimComponent>},
        {"Animation", &T::Make<ZAnimComponent>},
        {"Audio", &T::Make<ZAudioComponent>},
        {"Base", &T::Make<ZBasingComponent>},
        {"Basing", &T::Make<ZBasingComponent>},
        {"Cam", &T::Make<ZCameraComponent>},
        {"Camera", &T::Make<ZCameraComponent>},
        {"Check", &T::Make<ZCheckpointComponent>},
        {"Checkpoint", &T::Make<ZCheckpointComponent>},
        {"Coll", &T::Make<ZCollisionComponent>},
        {"Collision", &T::Make<ZCollisionComponent>},
        {"Collide", &T::Make<ZCollisionComponent>},
        {"Data", &T::Make<ZDataComponent>},
        {"Delete", &T::Make<ZDeleteComponent>},
        {"Deletion", &T::Make<ZDeleteComponent>},
        {"DialogConsumer", &T::Make<ZDialogConsumerComponent>},
        {"DialogProvider", &T::Make<ZDialogProviderComponent>},
        {"Facing", &T::Make<ZFacingComponent>},
        {"Frob", &T::Make<ZFrobComponent>},
        {"GUID", &T::Make<ZGUIDComponent>},
        {"Health", &T::Make<ZHealthComponent>},
        {"Inventory", &T::Make<ZInventoryComponent>},
        {"Knockback", &T::Make<ZKnockbackComponent>},
        {"Lifetime", &T::Make<ZLifetimeComponent>},
        {"Light", &T::Make<ZLightComponent>},
        {"Loc", &T::Make<ZLocProxyComponent>},
        {"LocProxy", &T::Make<ZLocProxyComponent>},
        {"Mana", &T::Make<ZManaComponent>},
        {"Melee", &T::Make<ZMeleeComponent>},
        {"Name", &T::Make<ZNameComponent>},
        {"Physics", &T::Make<ZPhysicsComponent>},
        {"Jump", &T::Make<ZPhysicsComponent>},
        {"Gravity", &T::Make<ZPhysicsComponent>},
        {"Pickup", &T::Make<ZPickupComponent>},
        {"Popup", &T::Make<ZPopupComponent>},
        {"Pusher", &T::Make<ZPusherComponent>},
        {"Renderable", &T::Make<ZRenderableComponent>},
        {"Render", &T::Make<ZRenderableComponent>},
        {"Respawn", &T::Make<ZRespawnComponent>},
        {"Script", &T::Make<ZScriptComponent>},
        {"Shadow", &T::Make<ZShadowComponent>},
        {"Shield", &T::Make<ZShieldComponent>},
        {"Space", &T::Make<ZSpatialComponent>},
        {"Spatial", &T::Make<ZSpatialComponent>},
        {"Spawn", &T::Make<ZSpawnComponent>},
        {"SPI", &T::Make<ZSPIComponent>},
        {"Sprite", &T::Make<ZSpriteComponent>},
        {"Timer", &T::Make<ZTimerComponent>},
        {"Walk", &T::Make<ZWalkComponent>},
    };
    Table().Fill(rows);
}

uint32_t GetEngineComponentKindCount() {
    RegisterComponentFactories();
    return Table().Count();
}

ZComponent* CreateComponentByName(ZEntity* const entity, const ZHashedString kind) {
    RegisterComponentFactories();
    return Table().Create(entity, kind);
}
