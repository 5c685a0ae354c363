// The game's data-defined entity: what each update pass moves, the physics
// start ratio, its teardown, and making one from an instance file.

#include <gtest/gtest.h>

#include "RoomTestSupport.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "game/world/EntityUtilities.h"
#include "game/world/KorvEntity.h"

namespace {

TEST(KorvEntity, SpatialOnlyEntityMovesOnFixedStepsAndBlendsOnFrameTicks) {
    KorvEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    spatial->current.position = ZVector3(10.0f, 20.0f, 0.0f);
    spatial->current.velocity = ZVector3(8.0f, -4.0f, 0.0f);
    spatial->ResetInterpolation();

    // First walks do nothing without physics; the frame tick moves nothing.
    entity.Update(0.5f, 2);
    entity.Update(0.5f, 4);
    entity.PostUpdate(0.5f, 4);
    EXPECT_EQ(spatial->current.position, ZVector3(10.0f, 20.0f, 0.0f));

    entity.PostUpdate(0.5f, 2);
    EXPECT_EQ(spatial->current.position, ZVector3(14.0f, 18.0f, 0.0f));
    EXPECT_EQ(spatial->interpolated.position, ZVector3(10.0f, 20.0f, 0.0f)) << "drawn state waits for the tick";
    entity.PostUpdate(0.5f, 4);
    EXPECT_EQ(spatial->interpolated.position, ZVector3(14.0f, 18.0f, 0.0f));
}

TEST(KorvEntity, StartRatioIsTakenOnTheFirstFixedStepOnly) {
    struct Case {
        float y;
        float ratio;
    };
    // Reference 100, low 10, high 50: (100 - y - 10) / 40, clamped to 0..1.
    const Case cases[] = {{70.0f, 0.5f}, {80.0f, 0.25f}, {40.0f, 1.0f}, {95.0f, 0.0f}};
    for (const Case& c : cases) {
        KorvEntity entity;
        ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
        ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&entity);
        physics->startReference = 100.0f;
        physics->startLow = 10.0f;
        physics->startHigh = 50.0f;
        spatial->current.position = ZVector3(0.0f, c.y, 0.0f);

        entity.Update(1.0f / 60.0f, 4);
        EXPECT_FALSE(physics->started) << "a frame tick starts nothing";
        entity.Update(1.0f / 60.0f, 2);
        EXPECT_TRUE(physics->started);
        EXPECT_FLOAT_EQ(physics->startRatio, c.ratio) << "y " << c.y;

        spatial->current.position.y = 60.0f;
        entity.Update(1.0f / 60.0f, 2);
        EXPECT_FLOAT_EQ(physics->startRatio, c.ratio) << "kept after the entity moved";
    }
}

TEST(KorvEntity, EqualMarksGiveRatioZeroNotNaN) {
    KorvEntity entity;
    AddComponent<ZSpatialComponent>(&entity)->current.position = ZVector3(0.0f, 3.0f, 0.0f);
    ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&entity);
    physics->startLow = physics->startHigh = 5.0f;
    entity.Update(0.1f, 2);
    EXPECT_EQ(physics->startRatio, 0.0f);
}

TEST(KorvEntity, ShapesLeaveTheCollisionWorldWithTheEntity) {
    ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
    const uint32_t before = world->shapes.Count();
    auto* entity = new KorvEntity();
    AddComponent<ZSpatialComponent>(entity);
    ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(entity);
    collision->SetPrimitive(0, new ZCollisionBox(ZVector3(4.0f, 4.0f, 1.0f)));
    EXPECT_EQ(world->shapes.Count(), before + 1);
    delete entity;
    EXPECT_EQ(world->shapes.Count(), before);
}

TEST(EntityAccess, ResolvesAShapeOrComponentToItsKorvEntity) {
    KorvEntity entity;
    roomtest::UseEngineComponents();
    entity.CreateComponentsFromNode(roomtest::Markup(
        "<Entity><Spatial/><Collision><Primitive Type='Box'><Extents><Vector X='4' Y='4' Z='1'/></Extents>"
        "</Primitive></Collision><Data/></Entity>"));
    ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(&entity);
    ASSERT_NE(collision, nullptr);
    ZCollisionInterface* shape = collision->GetPrimary();
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(ResolveEntity(shape), &entity);
    EXPECT_EQ(ResolveEntity(collision), &entity);
    EXPECT_EQ(ResolveComponent<ZDataComponent>(shape), GetComponent<ZDataComponent>(&entity));
    // Asking for a serial component finds one of the derived kinds and keeps it.
    ZSerialComponent* serial = GetComponent<ZSerialComponent>(&entity);
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(GetComponent<ZSerialComponent>(&entity), serial);
    EXPECT_EQ(AddComponent<ZDataComponent>(&entity), GetComponent<ZDataComponent>(&entity)) << "no second one made";
}

TEST(EntityAccess, CastToDialogProviderTakesOnlyProviders) {
    ZDialogProviderComponent provider;
    ZDataComponent data;
    EXPECT_EQ(CastToDialogProvider(&provider), &provider);
    EXPECT_EQ(CastToDialogProvider(&data), nullptr);
    EXPECT_EQ(CastToDialogProvider(nullptr), nullptr);
}

TEST(EntityAccess, FormatKey64RefusesKeysThatDoNotFit) {
    struct Case {
        const char* name;
        int width;
        bool fits;
        const char* expected;
    };
    const Case cases[] = {
        {"Powerup", 8, true, "Powerup_00020001"},
        {"", 55, true, "_0000000000000000000000000000000000000000000000000020001"},
        {"", 62, true, "_00000000000000000000000000000000000000000000000000000000020001"},
        {"", 63, false, ""},
    };
    for (const Case& c : cases) {
        char key[64] = "stale";
        EXPECT_EQ(FormatKey64(key, "%s_%0*x", c.name, c.width, 0x20001u), c.fits) << c.width;
        EXPECT_STREQ(key, c.expected);
    }
}

TEST(EntityAccess, FindOrDefaultAnswersZerosForMissingKeys) {
    struct Pair {
        int32_t a = 0;
        int32_t b = 0;
    };
    ZMap<int32_t, Pair> map;
    map.Insert(3, Pair{7, 9});
    EXPECT_EQ(FindOrDefault(map, 3).b, 9);
    Pair missing = FindOrDefault(map, 4);
    EXPECT_EQ(missing.a, 0);
    EXPECT_EQ(missing.b, 0);
    EXPECT_FALSE(map.Contains(4)) << "the lookup adds nothing";
}

}  // namespace
