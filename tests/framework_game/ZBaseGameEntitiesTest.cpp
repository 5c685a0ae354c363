// The game's entity collections: flushing, marking, deferred deletion and
// switching drawn entities on and off.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "entity/ZBasingComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "framework/ZBaseGame.h"

namespace {

// Records deletions by name, in order.
std::vector<int> g_deleted;

class CountedDelete : public ZDeleteComponent {
public:
    explicit CountedDelete(int id, bool mayBeDeleted) : m_id(id) { this->mayBeDeleted = mayBeDeleted; }
    ~CountedDelete() override { g_deleted.push_back(m_id); }
    void OnDelete() override { ++deletions; }

    int deletions = 0;

private:
    int m_id;
};

ZEntity* MakeEntity(int id, bool deletable, bool drawn) {
    ZEntity* entity = new ZEntity();
    entity->AddComponent(new CountedDelete(id, deletable));
    if (drawn) {
        entity->AddComponent(new ZRenderableComponent());
    }
    return entity;
}

class ZBaseGameEntities : public ::testing::Test {
protected:
    void SetUp() override {
        g_deleted.clear();
        m_game.SetLogging(false);
    }

    ZBaseGame m_game;
};

TEST_F(ZBaseGameEntities, MarkingLeavesEntitiesThatMayNotBeDeleted) {
    ZEntity* plain = new ZEntity();  // no delete component at all
    ZEntity* kept = MakeEntity(1, false, true);
    ZEntity* marked = MakeEntity(2, true, true);
    ZEntity* markedUndrawn = MakeEntity(3, true, false);
    ZArray<ZEntity*>& list = m_game.GetEntityList();
    list.PushBack(plain);
    list.PushBack(nullptr);
    list.PushBack(kept);
    list.PushBack(marked);
    list.PushBack(markedUndrawn);

    m_game.FlushEntityList(true);
    EXPECT_EQ(list.Count(), 5u) << "marking deletes nothing";
    EXPECT_FALSE(GetComponent<ZDeleteComponent>(kept)->deletePending);
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(marked)->deletePending);
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(markedUndrawn)->deletePending);
    // A drawn entity goes dark at once; one without a renderable keeps its components.
    EXPECT_FALSE(GetComponent<ZRenderableComponent>(marked)->IsEnabled());
    EXPECT_TRUE(GetComponent<ZRenderableComponent>(kept)->IsEnabled());
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(markedUndrawn)->IsEnabled());
    EXPECT_TRUE(g_deleted.empty());
}

// Adjacent pending entities both go in one step; the order of the rest stays.
TEST_F(ZBaseGameEntities, DeferredDeletionTakesEveryPendingEntity) {
    ZArray<ZEntity*>& list = m_game.GetEntityList();
    ZEntity* first = MakeEntity(1, false, false);
    ZEntity* last = MakeEntity(5, false, false);
    list.PushBack(first);
    list.PushBack(MakeEntity(2, true, false));
    list.PushBack(MakeEntity(3, true, false));
    list.PushBack(nullptr);
    list.PushBack(MakeEntity(4, true, false));
    list.PushBack(last);
    m_game.FlushEntityList(true);

    m_game.ProcessDeferredDeletions();
    EXPECT_EQ(g_deleted, (std::vector<int>{2, 3, 4}));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0], first);
    EXPECT_EQ(list[1], nullptr);
    EXPECT_EQ(list[2], last);
}

// A carrier that is deleted lets its riders go, and a deleted rider leaves its carrier.
TEST_F(ZBaseGameEntities, DeletionDetachesBasedEntities) {
    ZEntity* carrier = MakeEntity(1, true, false);
    ZEntity* rider = MakeEntity(2, false, false);
    ZEntity* passenger = MakeEntity(3, true, false);
    ZEntity* ground = MakeEntity(4, false, false);
    for (ZEntity* entity : {carrier, rider, passenger, ground}) {
        entity->AddComponent(new ZBasingComponent());
    }
    GetComponent<ZBasingComponent>(carrier)->AddChild(rider);
    GetComponent<ZBasingComponent>(rider)->parent = carrier;
    GetComponent<ZBasingComponent>(rider)->heldRigidly = true;
    GetComponent<ZBasingComponent>(ground)->AddChild(passenger);
    GetComponent<ZBasingComponent>(passenger)->parent = ground;
    GetComponent<ZBasingComponent>(carrier)->parent = nullptr;

    ZArray<ZEntity*>& list = m_game.GetEntityList();
    for (ZEntity* entity : {carrier, rider, passenger, ground}) {
        list.PushBack(entity);
    }
    m_game.FlushEntityList(true);
    m_game.ProcessDeferredDeletions();

    EXPECT_EQ(g_deleted, (std::vector<int>{1, 3}));
    EXPECT_EQ(GetComponent<ZBasingComponent>(rider)->parent, nullptr);
    EXPECT_FALSE(GetComponent<ZBasingComponent>(rider)->heldRigidly);
    EXPECT_EQ(GetComponent<ZBasingComponent>(ground)->children.Count(), 0u);
}

TEST_F(ZBaseGameEntities, FlushDeletesEverythingAndEmptiesBothCollections) {
    ZArray<ZEntity*>& list = m_game.GetEntityList();
    for (int i = 0; i < 9; ++i) {
        list.PushBack(i == 4 ? nullptr : MakeEntity(i, false, false));
    }
    m_game.GetEntityMap().Insert(ZHashedString("Boss"), MakeEntity(20, false, true));
    m_game.GetEntityMap().Insert(ZHashedString("Door"), nullptr);

    m_game.FlushEntityList(false);
    m_game.FlushEntityMap(false);
    EXPECT_EQ(g_deleted.size(), 9u);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_LT(list.Capacity(), 16u) << "the list's storage shrinks";
    EXPECT_TRUE(m_game.GetEntityMap().IsEmpty());
}

TEST_F(ZBaseGameEntities, OnlyDrawnEntitiesAreSwitched) {
    ZEntity* drawn = MakeEntity(1, false, true);
    ZEntity* hidden = MakeEntity(2, false, false);
    m_game.GetEntityList().PushBack(drawn);
    m_game.GetEntityList().PushBack(nullptr);
    m_game.GetEntityList().PushBack(hidden);
    ZEntity* mapped = MakeEntity(3, false, true);
    m_game.GetEntityMap().Insert(ZHashedString("Mapped"), mapped);

    m_game.SetListedEntitiesEnabled(false);
    EXPECT_FALSE(GetComponent<ZDeleteComponent>(drawn)->IsEnabled());
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(hidden)->IsEnabled());
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(mapped)->IsEnabled());

    m_game.SetMappedEntitiesEnabled(false);
    EXPECT_FALSE(GetComponent<ZDeleteComponent>(mapped)->IsEnabled());
    EXPECT_TRUE(m_game.ShowListedEntities());
    EXPECT_TRUE(GetComponent<ZDeleteComponent>(drawn)->IsEnabled());
}

}  // namespace
