// The coffee, debug-start, hidden and pop components: their rules on their
// own, and through a game object where they report to it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/DebugStartComponent.h"
#include "game/components/HiddenComponent.h"
#include "game/components/PopComponent.h"
#include "game_actors/ActorTestSupport.h"
#include "game_world/GameFixture.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderable.h"

using actortest::Markup;

namespace {

TEST(CoffeeComponent, TheBoostRisesSlowlyAndFallsFast) {
    struct Case {
        float boost;
        float target;
        float dt;
        float expected;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 0.1f, 0.05f},   // rising at 0.5 a second
        {1.0f, 0.0f, 0.1f, 0.85f},   // falling at 1.5 a second
        {0.5f, 0.5f, 0.1f, 0.5f},    // at its target
        {0.0f, 1.0f, 3.0f, 1.0f},    // a long step reaches the target, never passes it
        {1.0f, 0.0f, 1.0f, 0.0f},
    };
    for (const Case& c : cases) {
        CoffeeComponent coffee;
        coffee.boost = c.boost;
        coffee.target = c.target;
        coffee.Update(c.dt, 2);
        EXPECT_NEAR(coffee.boost, c.expected, 1e-6f) << c.boost << " -> " << c.target << " in " << c.dt;
        EXPECT_FLOAT_EQ(coffee.timer, -c.dt) << "the timer runs below 0";
    }
    CoffeeComponent still;
    still.target = 1.0f;
    still.Update(0.1f, 4);
    EXPECT_EQ(still.boost, 0.0f) << "only the fixed step moves it";
    EXPECT_EQ(still.timer, 0.0f);
}

TEST(CoffeeComponent, OnlyAMovingPlayerWithCoffeeInItIsBoosted) {
    CoffeeComponent coffee;
    coffee.StartCoffee();
    EXPECT_EQ(coffee.timer, 12.0f);
    coffee.boost = 0.5f;
    ZVector3 walking(88.32f, 0.0f, 2.0f);
    coffee.ApplyCoffee(walking);
    EXPECT_EQ(coffee.target, 1.0f);
    EXPECT_FLOAT_EQ(walking.x, 88.32f * 1.5f);
    EXPECT_FLOAT_EQ(walking.z, 3.0f);
    // Standing still (below one unit a second) the boost aims for 0 but still applies.
    ZVector3 standing(0.5f, 0.5f, 0.0f);
    coffee.ApplyCoffee(standing);
    EXPECT_EQ(coffee.target, 0.0f);
    EXPECT_FLOAT_EQ(standing.x, 0.75f);
    // Drinking again while it runs starts the 12 seconds over.
    coffee.Update(5.0f, 2);
    EXPECT_FLOAT_EQ(coffee.timer, 7.0f);
    coffee.StartCoffee();
    EXPECT_EQ(coffee.timer, 12.0f);
    coffee.Update(12.5f, 2);
    ZVector3 late(88.32f, 0.0f, 0.0f);
    coffee.ApplyCoffee(late);
    EXPECT_EQ(coffee.target, 0.0f) << "the timer ran out";
}

class ActorGameTest : public worldtest::GameTest {};

TEST_F(ActorGameTest, TheHighestDebugStartWinsAndADeletedOneLeavesTheList) {
    struct Case {
        const char* element;
        int32_t priority;
    };
    const Case cases[] = {
        {"<DebugStart Priority='3'/>", 3},
        {"<DebugStart Priority='10'/>", 10},
        {"<DebugStart/>", 0},
        {"<DebugStart Priority='12abc'/>", 12},
        {"<DebugStart Priority='abc'/>", 0},
    };
    std::vector<ZEntity*> entities;
    for (const Case& c : cases) {
        auto* entity = new ZEntity();
        DebugStartComponent* start = AddComponent<DebugStartComponent>(entity);
        start->ReadDefinition(Markup(c.element));
        EXPECT_EQ(start->priority, c.priority) << c.element;
        entities.push_back(entity);
    }
    EXPECT_EQ(m_game->GetDebugStarts().Count(), 5u);
    DebugStartComponent* best = FindBestDebugStart();
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->priority, 12);
    // The game's own sort (campaign start, QuickStart) asks the components.
    ZArray<uint32_t> sorted = m_game->GetDebugStarts();
    KorvanthGame::SortDebugStarts(sorted);
    std::vector<int32_t> order;
    for (const uint32_t handle : sorted) {
        order.push_back(DynamicCast<DebugStartComponent>(FindObjectByHandle(handle))->priority);
    }
    EXPECT_EQ(order, (std::vector<int32_t>{12, 10, 3, 0, 0}));
    delete entities[3];
    EXPECT_EQ(m_game->GetDebugStarts().Count(), 4u);
    ASSERT_NE(FindBestDebugStart(), nullptr);
    EXPECT_EQ(FindBestDebugStart()->priority, 10);
    for (size_t i = 0; i < entities.size(); ++i) {
        if (i != 3) delete entities[i];
    }
    EXPECT_EQ(m_game->GetDebugStarts().Count(), 0u);
    EXPECT_EQ(FindBestDebugStart(), nullptr);
}

// A block with a drawable, a box and the component under test.
struct Block {
    explicit Block(const bool withData = true) {
        spatial = AddComponent<ZSpatialComponent>(&entity);
        renderables = AddComponent<ZRenderableComponent>(&entity);
        renderables->AddRenderable(ZHashedString(), &drawable);
        collision = AddComponent<ZCollisionComponent>(&entity);
        collision->ReadDefinition(Markup("<Collision Blocker='true'><Primitive Type='Box'><Extents>"
                                         "<Vector X='8' Y='8' Z='1'/></Extents></Primitive></Collision>"));
        if (withData) data = AddComponent<ZDataComponent>(&entity);
    }
    ~Block() { renderables->ReleaseRenderables(); }
    ZEntity entity;
    ZRenderable drawable;
    ZSpatialComponent* spatial = nullptr;
    ZRenderableComponent* renderables = nullptr;
    ZCollisionComponent* collision = nullptr;
    ZDataComponent* data = nullptr;
};

TEST_F(ActorGameTest, WithoutThePlayersMaskAHiddenEntityNeitherDrawsNorCollides) {
    // No player yet (as while a room loads): hidden.
    Block block;
    HiddenComponent* hidden = AddComponent<HiddenComponent>(&block.entity);
    hidden->ReadDefinition(Markup("<Hidden/>"));
    hidden->PostLoadHook();
    EXPECT_FALSE(hidden->fully);
    EXPECT_FALSE(block.drawable.visible);
    EXPECT_FALSE(block.collision->GetPrimary()->enabled);
    EXPECT_FALSE(block.spatial->IsEnabled());

    // "Fully" only as exactly "true".
    for (const char* text : {"True", "yes", "1", ""}) {
        HiddenComponent partly;
        partly.ReadDefinition(Markup(std::string("<Hidden Fully='") + text + "'/>"));
        EXPECT_FALSE(partly.fully) << text;
    }

    // A fully hidden entity asks for deletion only through an armed delete component.
    ZDeleteComponent* deletion = AddComponent<ZDeleteComponent>(&block.entity);
    hidden->ReadDefinition(Markup("<Hidden Fully='true'/>"));
    EXPECT_TRUE(hidden->fully);
    hidden->PostLoadHook();
    EXPECT_FALSE(deletion->deletePending) << "not armed: left in place, switched off";
    deletion->mayBeDeleted = true;
    hidden->PostLoadHook();
    EXPECT_TRUE(deletion->deletePending);
}

// The world's up axis as the player's platformer mode sets it, for one test.
class PlatformerUp {
public:
    explicit PlatformerUp(const ZVector3 up) : m_saved(gWorldUp) { gWorldUp = up; }
    ~PlatformerUp() { gWorldUp = m_saved; }

private:
    ZVector3 m_saved;
};

std::vector<std::string> gCommands;
bool RecordCommand(const ZHashedString*, const ZArray<ZString>& words, uint32_t, uint32_t) {
    std::string text;
    for (const ZString& w : words) text += std::string(text.empty() ? "" : " ") + w.GetText();
    gCommands.push_back(text);
    return true;
}

CollisionResult Contact(const float nx, const float ny) {
    CollisionResult contact;
    contact.normal = ZVector3(nx, ny, 0.0f);
    return contact;
}

TEST(PopComponent, ALandingFromAbovePopsTheBlockAndEveryLaterContactCollides) {
    const PlatformerUp up(ZVector3(0.0f, -1.0f, 0.0f));  // y grows downwards; gravity pulls to +y
    ClearCommandHandlers();
    RegisterCommandHandler(RecordCommand);
    gCommands.clear();
    Block block;
    PopComponent* pop = AddComponent<PopComponent>(&block.entity);
    pop->ReadDefinition(Markup("<Pop><Event Name='OnPop'><Action Text='popped Self'/></Event></Pop>"));
    pop->PostLoadHook();
    ZCollisionInterface* box = block.collision->GetPrimary();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(block.drawable.visible) << "hidden until popped";
    EXPECT_FALSE(PopComponent::IsPopped(pop));
    ZDatumEntry entry;
    EXPECT_TRUE(block.data->GetDatum(ZHashedString("POPCOMPVIS"), entry)) << "asking adds it as false";

    // The record's normal points from the block towards the mover.
    const float d = 0.707107f;
    struct Case {
        const char* what;
        float nx, ny;
        bool collides;
    };
    const Case passing[] = {
        {"struck from below", 0.0f, 1.0f, false},
        {"from the side", 1.0f, 0.0f, false},
        {"exactly 45 degrees off", d, -d, false},
        {"from below, slanted", -0.3f, 0.954f, false},
    };
    for (const Case& c : passing) {
        EXPECT_EQ(PopComponent::ContactQuery(box, nullptr, Contact(c.nx, c.ny)), c.collides) << c.what;
    }
    EXPECT_TRUE(gCommands.empty());
    EXPECT_FALSE(block.drawable.visible);
    // Landed on from above, a little off straight.
    EXPECT_TRUE(PopComponent::ContactQuery(box, nullptr, Contact(0.3f, -0.954f)));
    EXPECT_TRUE(PopComponent::IsPopped(pop));
    EXPECT_TRUE(block.drawable.visible);
    ASSERT_EQ(gCommands.size(), 1u);
    EXPECT_EQ(gCommands[0], "popped Self");
    // Popped: everything collides, and it pops no more.
    for (const Case& c : passing) {
        EXPECT_TRUE(PopComponent::ContactQuery(box, nullptr, Contact(c.nx, c.ny))) << c.what;
    }
    EXPECT_EQ(gCommands.size(), 1u);
    // A rebuilt block whose saved state says it popped shows at once.
    block.drawable.visible = false;
    pop->PostLoadHook();
    EXPECT_TRUE(block.drawable.visible);
    ClearCommandHandlers();
}

TEST(PopComponent, WithoutDataItPopsEveryTimeAndReversedGravityPopsFromBelow) {
    const PlatformerUp up(ZVector3(0.0f, 1.0f, 0.0f));  // gravity reversed: pulling to -y
    ClearCommandHandlers();
    RegisterCommandHandler(RecordCommand);
    gCommands.clear();
    Block block(false);
    PopComponent* pop = AddComponent<PopComponent>(&block.entity);
    pop->ReadDefinition(Markup("<Pop><Event Name='OnPop'><Action Text='popped'/></Event></Pop>"));
    pop->PostLoadHook();
    ZCollisionInterface* box = block.collision->GetPrimary();
    EXPECT_FALSE(PopComponent::ContactQuery(box, nullptr, Contact(0.0f, -1.0f))) << "from above now passes";
    EXPECT_TRUE(PopComponent::ContactQuery(box, nullptr, Contact(0.0f, 1.0f)));
    EXPECT_TRUE(PopComponent::ContactQuery(box, nullptr, Contact(0.0f, 1.0f)));
    EXPECT_FALSE(PopComponent::IsPopped(pop)) << "nowhere to keep it";
    EXPECT_EQ(gCommands.size(), 2u) << "each pop fires OnPop again";
    EXPECT_FALSE(PopComponent::ContactQuery(box, nullptr, Contact(1.0f, 0.0f)));
    ClearCommandHandlers();
}

TEST(PopComponent, ABlockWithoutADrawableStillPops) {
    const PlatformerUp up(ZVector3(0.0f, -1.0f, 0.0f));
    ZEntity entity;
    AddComponent<ZSpatialComponent>(&entity);
    ZDataComponent* data = AddComponent<ZDataComponent>(&entity);
    ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(&entity);
    collision->ReadDefinition(Markup("<Collision><Primitive Type='Box'><Extents><Vector X='4' Y='4'/></Extents>"
                                     "</Primitive></Collision>"));
    PopComponent* pop = AddComponent<PopComponent>(&entity);
    pop->PostLoadHook();
    EXPECT_TRUE(PopComponent::ContactQuery(collision->GetPrimary(), nullptr, Contact(0.0f, -1.0f)));
    ZDatumEntry entry;
    ASSERT_TRUE(data->GetDatum(ZHashedString("POPCOMPVIS"), entry));
    EXPECT_TRUE(entry.value.boolValue);
}

}  // namespace
