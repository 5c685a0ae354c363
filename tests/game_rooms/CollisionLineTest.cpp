// The world's collision lines: where an edge sits, who it stops, and the
// segment a moving box or point meets.

#include <gtest/gtest.h>

#include <memory>

#include "RoomTestSupport.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZEntity.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZArray.h"
#include "game/world/CollisionLineDef.h"
#include "game/world/TileDepth.h"

namespace {

std::unique_ptr<CollisionLineDef> MakeLine(float x1, float y1, float x2, float y2, int32_t kind) {
    auto line = std::make_unique<CollisionLineDef>();
    line->start = ZVector3(x1, y1, 0.0f);
    line->end = ZVector3(x2, y2, 0.0f);
    line->kind = kind;
    return line;
}

TEST(CollisionLine, InsetMovesTouchedEdgesOffTheirTile) {
    struct Case {
        int32_t kind;
        bool inset;
    };
    for (const Case c : {Case{4, true}, Case{6, true}, Case{2, true}, Case{1, false}, Case{3, false}}) {
        CollisionLineDef line;
        line.start = ZVector3(0.0f, 8.0f, 0.0f);
        line.end = ZVector3(16.0f, 8.0f, 0.0f);
        line.kind = c.kind;
        if (c.kind == 2 || c.kind == 4 || c.kind == 6) line.Inset();
        const ZVector3 start = c.inset ? ZVector3(2.0f, 10.0f, 0.0f) : ZVector3(0.0f, 8.0f, 0.0f);
        const ZVector3 end = c.inset ? ZVector3(14.0f, 10.0f, 0.0f) : ZVector3(16.0f, 8.0f, 0.0f);
        EXPECT_EQ(line.start, start) << c.kind;
        EXPECT_EQ(line.end, end) << c.kind;
    }
    CollisionLineDef point;
    point.start = point.end = ZVector3(5.0f, 5.0f, 0.0f);
    point.Inset();
    EXPECT_EQ(point.start, ZVector3(5.0f, 5.0f, 0.0f)) << "a zero-length edge stays";
}

TEST(CollisionLine, KindsDecideWhoIsStopped) {
    struct Case {
        int32_t kind;
        bool moving;       // exempt player, specials stop
        bool passSpecial;  // exempt player, specials pass
        bool all;          // player too, specials pass
    };
    // Asked for a shape that belongs to no entity.
    const Case cases[] = {
        {1, true, true, true},    {5, true, true, true},     {7, true, true, true},  {8, true, true, true},
        {4, true, false, false},  {6, true, false, false},   {128, true, false, false},
        {3, true, true, true},    {2, false, false, true},   {0, false, false, false}, {9, false, false, false},
    };
    ZCollisionBox box(ZVector3(4.0f, 4.0f, 1.0f));
    for (const Case& c : cases) {
        const auto line = MakeLine(0.0f, 0.0f, 8.0f, 0.0f, c.kind);
        EXPECT_EQ(line->BlocksMover(&box), c.moving) << c.kind;
        EXPECT_EQ(line->BlocksPassingSpecial(&box), c.passSpecial) << c.kind;
        EXPECT_EQ(line->BlocksAll(&box), c.all) << c.kind;
    }
}

// The deadly edge (kind 2) stops every entity but the player in all three
// queries, and the player only where nobody is exempt.
const ZEntity* gThePlayer = nullptr;
bool IsThePlayer(const ZEntity* entity) { return entity == gThePlayer; }
bool NeverDropping(const ZEntity*) { return false; }

TEST(CollisionLine, ADeadlyEdgeStopsEveryEntityButThePlayer) {
    const struct {
        const char* what;
        bool player;
        bool moving, passSpecial, all;
    } cases[] = {
        {"a box, crate or NPC", false, true, true, true},
        {"the player", true, false, false, true},
    };
    const auto line = MakeLine(0.0f, 0.0f, 8.0f, 0.0f, 2);
    for (const auto& c : cases) {
        ZEntity owner;
        AddComponent<ZSpatialComponent>(&owner);  // the box hangs on the entity's place
        ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(&owner);
        collision->ReadDefinition(roomtest::Markup(
            "<Collision><Primitive Type='Box'><Extents><Vector X='4' Y='4'/></Extents></Primitive></Collision>"));
        ZCollisionInterface* const box = collision->GetPrimary();
        ASSERT_NE(box, nullptr) << c.what;
        ASSERT_EQ(ResolveEntity(box), &owner) << c.what;
        ZEntity someoneElse;
        gThePlayer = c.player ? &owner : &someoneElse;
        CollisionLineDef::SetPlayerQueries(&IsThePlayer, &NeverDropping);
        EXPECT_EQ(line->BlocksMover(box), c.moving) << c.what;
        EXPECT_EQ(line->BlocksPassingSpecial(box), c.passSpecial) << c.what;
        EXPECT_EQ(line->BlocksAll(box), c.all) << c.what;
        CollisionLineDef::SetPlayerQueries(nullptr, nullptr);
    }
}

TEST(CollisionLine, MoversMeetTheEdgeGrownByTheirBox) {
    struct Case {
        const char* what;
        int32_t kind;
        bool point;
        ZVector3 a;
        ZVector3 b;
    };
    // The edge (0, 8) -> (16, 8), open side up (y - 8), a box of half size 4 x 6.
    const Case cases[] = {
        {"solid edge: pushed up and lengthened", 1, false, {-4.0f, 2.0f, 0.0f}, {20.0f, 2.0f, 0.0f}},
        {"outline: pushed down and shortened", 128, false, {4.0f, 14.0f, 0.0f}, {12.0f, 14.0f, 0.0f}},
        {"a point meets the edge itself", 1, true, {0.0f, 8.0f, 0.0f}, {16.0f, 8.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        const auto line = MakeLine(0.0f, 8.0f, 16.0f, 8.0f, c.kind);
        ZCollisionBox box(ZVector3(4.0f, 6.0f, 1.0f));
        ZCollisionPoint point;
        ZArray<ZCollisionFeature> features;
        ASSERT_TRUE(line->BuildFeatures(features, c.point ? static_cast<ZCollisionInterface&>(point) : box)) << c.what;
        ASSERT_EQ(features.Count(), 1u);
        EXPECT_EQ(features[0].kind, ZCollisionFeature::kSegment);
        EXPECT_EQ(features[0].a, c.a) << c.what;
        EXPECT_EQ(features[0].b, c.b) << c.what;
    }
    float bounds[6];
    MakeLine(0.0f, 0.0f, 1.0f, 0.0f, 1)->GetBounds(bounds);
    EXPECT_EQ(bounds[0], -10000.0f);
    EXPECT_EQ(bounds[5], 10000.0f);
}

TEST(TileDepth, DepthFollowsClassLayerAndMapKind) {
    struct Case {
        int32_t tileClass;
        bool flat;
        bool layer;
        bool animated;
        float depth;
    };
    const Case cases[] = {
        {1, false, true, false, -2.0f}, {0, false, true, false, -1.0f}, {0, false, false, false, 2.0f},
        {1, true, false, true, 3.0f},   {1, true, false, false, -1.0f}, {255, true, true, false, 1.0f},
        {3, false, false, false, 1.0f}, {3, false, true, false, -1.0f}, {2, false, false, false, -1.0f},
        {9, false, false, false, 0.0f}, {128, true, true, true, 1.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetTileDepth(c.tileClass, c.flat, c.layer, c.animated), c.depth)
            << c.tileClass << " flat " << c.flat << " layer " << c.layer << " animated " << c.animated;
    }
}

TEST(TileDepth, LaterForcesWinForPlainTilesOnly) {
    ZArray<DepthForce> forces;
    forces.PushBack(DepthForce{0, 0, 4, 4, 0.5f});
    forces.PushBack(DepthForce{2, 2, 4, 4, 0.25f});
    struct Case {
        int32_t column;
        int32_t row;
        int32_t kind;
        float depth;
    };
    const Case cases[] = {{1, 1, kCellSheet, 0.5f},  {3, 3, kCellSheet, 0.25f}, {5, 5, kCellSheet, 0.25f},
                          {6, 6, kCellSheet, 9.0f},  {3, 3, kCellCustom, 9.0f}, {4, 1, kCellSheet, 9.0f}};
    for (const Case& c : cases) {
        float depth = 9.0f;
        ApplyDepthRegions(forces, depth, c.column, c.row, c.kind);
        EXPECT_EQ(depth, c.depth) << c.column << "," << c.row << " kind " << c.kind;
    }
    float untouched = 7.0f;
    ApplyDepthRegions(ZArray<DepthForce>(), untouched, 0, 0, kCellSheet);
    EXPECT_EQ(untouched, 7.0f);
}

}  // namespace
