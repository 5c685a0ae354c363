// The game's component factory: its kinds reach it after the engine's, each
// kind is get-or-add, and kinds nobody knows are skipped.

#include <gtest/gtest.h>

#include "entity/AnaglyphComponent.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "game/components/BulletComponent.h"
#include "game/components/DebugStartComponent.h"
#include "game/components/DoorComponent.h"
#include "game/components/GameComponentFactory.h"
#include "game/components/GroupComponent.h"
#include "game/components/HiddenComponent.h"
#include "game/components/NPCComponent.h"
#include "game/components/PopComponent.h"
#include "game/components/PowerupComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game_rooms/RoomTestSupport.h"

namespace {

// Both factories, in the game's order, once for the whole program.
void UseGameComponents() {
    static const bool registered = [] {
        roomtest::UseEngineComponents();
        RegisterComponentFactory(CreateGameComponentByName);
        return true;
    }();
    (void)registered;
}

TEST(GameComponentFactory, KnowsOnlyTheGamesKinds) {
    ZEntity entity;
    EXPECT_EQ(CreateGameComponentByName(&entity, ZHashedString("Physics")), nullptr) << "the engine's kind";
    EXPECT_EQ(CreateGameComponentByName(&entity, ZHashedString("Nonsense")), nullptr);
    EXPECT_EQ(CreateGameComponentByName(nullptr, ZHashedString("Anaglyph")), nullptr);
    EXPECT_TRUE(entity.GetComponentMap().IsEmpty()) << "a refused kind adds nothing";

    const uint32_t count = GetGameComponentKindCount();
    RegisterGameComponentFactories();
    EXPECT_EQ(GetGameComponentKindCount(), count) << "the table is filled once";
}

// Each kind name makes a component of exactly its class, owned by the entity
// and found again by that class; asking again gives the same component.
TEST(GameComponentFactory, EveryKindMakesItsOwnClass) {
    struct Row {
        const char* kind;
        ZTypeRecord type;
        ZComponent* (*find)(ZEntity*);
    };
    const Row rows[] = {
        {"Start", DebugStartComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<DebugStartComponent>(e); }},
        {"DebugStart", DebugStartComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<DebugStartComponent>(e); }},
        {"Teleport", TeleportComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<TeleportComponent>(e); }},
        {"Door", DoorComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<DoorComponent>(e); }},
        {"Hidden", HiddenComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<HiddenComponent>(e); }},
        {"Powerup", PowerupComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<PowerupComponent>(e); }},
        {"Bullet", BulletComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<BulletComponent>(e); }},
        {"Group", GroupComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<GroupComponent>(e); }},
        {"NPC", NPCComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<NPCComponent>(e); }},
        {"Pop", PopComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<PopComponent>(e); }},
        {"Anaglyph", AnaglyphComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<AnaglyphComponent>(e); }},
        {"Speedrun", SpeedrunComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<SpeedrunComponent>(e); }},
        {"Minimap", MinimapComponent::StaticType(), [](ZEntity* e) -> ZComponent* { return GetComponent<MinimapComponent>(e); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        ZEntity entity;
        ZComponent* const made = CreateGameComponentByName(&entity, ZHashedString(row.kind));
        ASSERT_NE(made, nullptr);
        EXPECT_TRUE(made->GetType() == row.type) << "made a " << made->GetType().GetTextOrEmpty();
        EXPECT_EQ(made->GetOwner(), &entity);
        EXPECT_EQ(row.find(&entity), made);
        EXPECT_EQ(CreateGameComponentByName(&entity, ZHashedString(row.kind)), made) << "get-or-add";
        EXPECT_EQ(entity.GetComponentMap().Count(), 1u);
    }
    EXPECT_EQ(GetGameComponentKindCount(), sizeof rows / sizeof rows[0]) << "every kind has its row above";

    // "Start" and "DebugStart" are one class: both elements load one component.
    UseGameComponents();
    ZEntity both;
    both.CreateComponentsFromNode(roomtest::Markup("<E><Start Priority='4'/><DebugStart Name='x'/></E>"));
    EXPECT_EQ(both.GetComponentMap().Count(), 1u);
    const DebugStartComponent* const start = GetComponent<DebugStartComponent>(&both);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->priority, 4) << "the second element loaded into the first one's component";
}

TEST(GameComponentFactory, ElementsOfOneKindLoadIntoOneComponent) {
    UseGameComponents();
    ZEntity entity;
    const uint32_t made = entity.CreateComponentsFromNode(
        roomtest::Markup("<E><Anaglyph Depth='3'/><Physics/><Unheard/><Anaglyph/></E>"));
    EXPECT_EQ(made, 3u) << "the unknown element is skipped";
    AnaglyphComponent* const anaglyph = GetComponent<AnaglyphComponent>(&entity);
    ASSERT_NE(anaglyph, nullptr);
    EXPECT_EQ(anaglyph->GetOwner(), &entity);
    EXPECT_FLOAT_EQ(anaglyph->depth, 3.0f) << "the second element without Depth keeps the first's";
    EXPECT_NE(GetComponent<ZPhysicsComponent>(&entity), nullptr) << "engine kinds still reach the engine";
    EXPECT_EQ(CreateGameComponentByName(&entity, ZHashedString("Anaglyph")), anaglyph);
}

}  // namespace
