// The game's component factory: its kinds reach it after the engine's, each
// kind is get-or-add, and kinds nobody knows are skipped.

#include <gtest/gtest.h>

#include "entity/AnaglyphComponent.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "game/components/GameComponentFactory.h"
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
