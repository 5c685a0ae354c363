// Entities hold components by type, find them through base types, make them
// by kind name through the factory chain and delete each once.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EntityTestSupport.h"
#include "entity/ZAllegianceComponent.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZHandleRegistry.h"

namespace {

// Counts the entries of the map that hold the component.
uint32_t KeysOf(const ZEntity& entity, const ZComponent* component) {
    uint32_t n = 0;
    for (const auto& node : entity.GetComponentMap()) {
        n += node.value == component ? 1 : 0;
    }
    return n;
}

TEST(ZEntity, BaseTypeLookupIsCachedUnderTheBaseRecordAndDeletedOnce) {
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    const uint32_t spatialHandle = spatial->GetHandle();
    EXPECT_EQ(GetComponent<ZSerialComponent>(&entity), spatial);
    EXPECT_EQ(KeysOf(entity, spatial), 2u);
    EXPECT_EQ(GetComponent<ZComponent>(&entity), spatial);
    EXPECT_EQ(KeysOf(entity, spatial), 3u);
    entity.DeleteComponents();  // the sanitizer build catches a second delete
    EXPECT_EQ(entity.GetComponentMap().Count(), 0u);
    EXPECT_EQ(FindObjectByHandle(spatialHandle), nullptr);
}

TEST(ZEntity, BaseLookupTakesTheComponentUnderTheSmallestSignedKey) {
    ZEntity entity;
    ZComponent* made[] = {AddComponent<ZDataComponent>(&entity), AddComponent<ZTimerComponent>(&entity),
                          AddComponent<ZScriptComponent>(&entity)};
    ZComponent* smallest = nullptr;
    for (ZComponent* component : made) {
        if (smallest == nullptr || component->GetType() < smallest->GetType()) {
            smallest = component;
        }
    }
    EXPECT_EQ(GetComponent<ZSerialComponent>(&entity), smallest);
}

TEST(ZEntity, AMissingTypeIsNullEveryTimeAndCachesNothing) {
    ZEntity entity;
    AddComponent<ZDataComponent>(&entity);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(GetComponent<ZTimerComponent>(&entity), nullptr);
        EXPECT_EQ(entity.GetComponentMap().Count(), 1u);
    }
}

TEST(ZEntity, AddComponentTwiceGivesOneComponent) {
    ZEntity entity;
    ZDataComponent* first = AddComponent<ZDataComponent>(&entity);
    EXPECT_EQ(AddComponent<ZDataComponent>(&entity), first);
    EXPECT_EQ(entity.GetComponentMap().Count(), 1u);
    EXPECT_EQ(first->GetOwner(), &entity);
}

// Its attach hook sees its owner, but the entity does not list it yet.
class HookedComponent : public ZDataComponent {
    Z_RTTI(HookedComponent, ZDataComponent)

public:
    void AttachHook() override {
        ownerAtAttach = GetOwner();
        foundAtAttach = GetComponent<HookedComponent>(GetOwner()) != nullptr;
    }
    ZEntity* ownerAtAttach = nullptr;
    bool foundAtAttach = true;
};

TEST(ZEntity, AttachHookRunsWithOwnerSetBeforeTheEntityStoresIt) {
    ZEntity entity;
    HookedComponent* hooked = AddComponent<HookedComponent>(&entity);
    EXPECT_EQ(hooked->ownerAtAttach, &entity);
    EXPECT_FALSE(hooked->foundAtAttach);
    EXPECT_EQ(GetComponent<HookedComponent>(&entity), hooked);
}

// A collision shape, with or without an owner that leads to a spatial component.
class TestShape : public ZCollisionInterface, public ZCollisionOwner {
    Z_RTTI(TestShape, ZCollisionInterface)

public:
    explicit TestShape(ZSpatialComponent* s) : spatial(s) {}
    ZCollisionOwner* GetOwner() const override { return spatial != nullptr ? const_cast<TestShape*>(this) : nullptr; }
    ZRTTIBase* GetSpatial() override { return spatial; }
    ZSpatialComponent* spatial;
};

TEST(ZEntity, ResolveComponentFromEveryKindOfObject) {
    ZPlainEntity entity;
    ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    TestShape owned(spatial);
    TestShape orphan(nullptr);
    ZDataComponent loose;

    EXPECT_EQ(ResolveComponent<ZDataComponent>(spatial), data);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(&entity), data);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(&owned), data);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(&orphan), nullptr);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(nullptr), nullptr);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(&loose), &loose);
    EXPECT_EQ(ResolveComponent<ZTimerComponent>(data), nullptr);
    EXPECT_EQ(ResolveComponent<ZPlainEntity>(data), &entity);
    EXPECT_EQ(ResolveComponent<ZEntity>(&owned), &entity);
    EXPECT_EQ(ResolveComponent<ZEntity>(&loose), nullptr);
}

TEST(ZEngineComponentFactory, EveryKindNameMakesItsClass) {
    struct KindCase {
        const char* kinds;  // aliases of one class, separated by spaces
        const char* type;
    };
    const KindCase cases[] = {
        {"AI", "ZAIComponent"},
        {"Allegiance Alleg", "ZAllegianceComponent"},
        {"Anim Animate Animation", "ZAnimComponent"},
        {"Audio", "ZAudioComponent"},
        {"Base Basing", "ZBasingComponent"},
        {"Cam Camera", "ZCameraComponent"},
        {"Check Checkpoint", "ZCheckpointComponent"},
        {"Coll Collision Collide", "ZCollisionComponent"},
        {"Data", "ZDataComponent"},
        {"Delete Deletion", "ZDeleteComponent"},
        {"DialogConsumer", "ZDialogConsumerComponent"},
        {"DialogProvider", "ZDialogProviderComponent"},
        {"Facing", "ZFacingComponent"},
        {"Frob", "ZFrobComponent"},
        {"GUID", "ZGUIDComponent"},
        {"Health", "ZHealthComponent"},
        {"Inventory", "ZInventoryComponent"},
        {"Knockback", "ZKnockbackComponent"},
        {"Lifetime", "ZLifetimeComponent"},
        {"Light", "ZLightComponent"},
        {"Loc LocProxy", "ZLocProxyComponent"},
        {"Mana", "ZManaComponent"},
        {"Melee", "ZMeleeComponent"},
        {"Name", "ZNameComponent"},
        {"Physics Jump Gravity", "ZPhysicsComponent"},
        {"Pickup", "ZPickupComponent"},
        {"Popup", "ZPopupComponent"},
        {"Pusher", "ZPusherComponent"},
        {"Renderable Render", "ZRenderableComponent"},
        {"Respawn", "ZRespawnComponent"},
        {"Script", "ZScriptComponent"},
        {"Shadow", "ZShadowComponent"},
        {"Shield", "ZShieldComponent"},
        {"Space Spatial", "ZSpatialComponent"},
        {"Spawn", "ZSpawnComponent"},
        {"SPI", "ZSPIComponent"},
        {"Sprite", "ZSpriteComponent"},
        {"Timer", "ZTimerComponent"},
        {"Walk", "ZWalkComponent"},
    };
    uint32_t kinds = 0;
    for (const KindCase& c : cases) {
        ZEntity entity;
        ZComponent* first = nullptr;
        ZArray<ZString> aliases;
        ZString(c.kinds).Split(" ", aliases);
        for (const ZString& alias : aliases) {
            ++kinds;
            // Kind names are hashed names: letter case does not matter.
            ZComponent* made = CreateComponentByName(&entity, ZHashedString(alias.ToLower().GetText()));
            ASSERT_NE(made, nullptr) << alias.GetText();
            EXPECT_EQ(made->GetType(), ZTypeRecord(c.type)) << alias.GetText();
            EXPECT_EQ(made->GetOwner(), &entity);
            if (first == nullptr) {
                first = made;
            }
            EXPECT_EQ(made, first) << "aliases of " << c.type << " share one component";
        }
        EXPECT_EQ(KeysOf(entity, first), 1u);
    }
    EXPECT_EQ(GetEngineComponentKindCount(), kinds);
}

TEST(ZEngineComponentFactory, UnknownKindsGoToTheNextFactoryOfTheChain) {
    ZComponentFactoryChain chain;
    chain.Register(CreateComponentByName);
    chain.Register([](ZEntity* entity, ZHashedString kind) -> ZComponent* {
        return kind == ZHashedString("Coffee") ? AddComponent<ZAllegianceComponent>(entity) : nullptr;
    });
    ZEntity entity;
    EXPECT_EQ(CreateComponentByName(&entity, ZHashedString("Coffee")), nullptr);
    EXPECT_NE(chain.Create(&entity, ZHashedString("Coffee")), nullptr);
    EXPECT_EQ(chain.Create(&entity, ZHashedString("NoSuchKind")), nullptr);
    EXPECT_EQ(CreateComponentByName(nullptr, ZHashedString("Data")), nullptr);
}

// Installs the engine's factory in the process-wide chain once.
void UseEngineFactory() {
    static const bool installed = [] {
        RegisterComponentFactory(CreateComponentByName);
        return true;
    }();
    (void)installed;
}

TEST(ZEntity, ComponentsFromACompiledDefinitionReadTheirElements) {
    UseEngineFactory();
    const entitytest::CommandChain chain;
    const ZDefNode root = entitytest::CompileMarkup(
        "<Entity>"
        "  <GUID GUID='00C0FFEE'/>"
        "  <Data><Datum Name='Coins' Type='Int' Value='3'/></Data>"
        "  <Jump/><Gravity/>"
        "  <NoSuchKind Value='1'/>"
        "  <Data><Datum Name='Keys' Type='Int' Value='1'/></Data>"
        "  <Script><OnLoad><Action Text='loaded Self'/></OnLoad></Script>"
        "</Entity>");
    ZPlainEntity entity;
    EXPECT_EQ(entity.CreateComponentsFromNode(root), 6u);
    ASSERT_NE(GetComponent<ZGUIDComponent>(&entity), nullptr);
    EXPECT_EQ(GetComponent<ZGUIDComponent>(&entity)->guid, 0x00C0FFEEu);
    ZDataComponent* data = GetComponent<ZDataComponent>(&entity);
    ASSERT_NE(data, nullptr);
    ZDatumEntry coins;
    ZDatumEntry keys;
    EXPECT_TRUE(data->GetDatum(ZHashedString("Coins"), coins));
    EXPECT_TRUE(data->GetDatum(ZHashedString("Keys"), keys));
    EXPECT_EQ(coins.value.intValue, 3);
    EXPECT_EQ(keys.value.intValue, 1);
    EXPECT_NE(GetComponent<ZPhysicsComponent>(&entity), nullptr);
    // Four from the definition, beside the plain entity's own renderable,
    // camera and spatial components.
    EXPECT_EQ(entity.GetComponentMap().Count(), 7u);
    ASSERT_EQ(entitytest::CommandChain::Log().size(), 1u);
    EXPECT_EQ(entitytest::CommandChain::Log()[0].words, "loaded Self");
}

TEST(ZEntity, AMissingDefinitionFileMakesNothing) {
    UseEngineFactory();
    ZEntity entity;
    EXPECT_EQ(entity.CreateComponentsFromDefinition(ZHashedString("NoSuchFile.zdd")), 0u);
    EXPECT_EQ(entity.GetComponentMap().Count(), 0u);
}

}  // namespace

namespace {

TEST(ZEntity, ASecondComponentOfOneTypeIsFoundAndBothAreDeleted) {
    auto* entity = new ZEntity();
    auto* first = new ZDataComponent();
    auto* second = new ZDataComponent();
    const uint32_t firstHandle = first->GetHandle();
    entity->AddComponent(first);
    EXPECT_EQ(GetComponent<ZSerialComponent>(entity), first);
    entity->AddComponent(second);
    entity->AddComponent(nullptr);
    EXPECT_EQ(GetComponent<ZDataComponent>(entity), second);
    EXPECT_EQ(second->GetOwner(), entity);
    delete entity;  // the leak checker reports a component left behind
    EXPECT_EQ(FindObjectByHandle(firstHandle), nullptr);
}

}  // namespace
