#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "entity/BodyFixture.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZCollisionSphere.h"

using entitytest::Body;

namespace {

constexpr float kTolerance = 0.015f;

// Fixed scenery that is not an entity (the game's tile edges): a shape whose
// owner stands at the origin.
struct SceneryOwner : ZCollisionOwner {
    ZRTTIBase* GetSpatial() override { return nullptr; }
};
SceneryOwner gScenery;

bool AlwaysBlocks(ZCollisionInterface*, ZCollisionInterface*) { return true; }

// One one-sided segment, solid to the left of a -> b.
class TestLine : public ZCollisionInterface {
    Z_RTTI(TestLine, ZCollisionInterface)

public:
    TestLine(const ZVector3& from, const ZVector3& to, const bool blocks = true) : a(from), b(to) {
        owner = &gScenery;
        blocker = blocks ? &AlwaysBlocks : nullptr;
        gate = &AlwaysBlocks;
    }
    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface&) const override {
        ZCollisionFeature f;
        f.kind = ZCollisionFeature::kSegment;
        f.a = a;
        f.b = b;
        list.PushBack(f);
        return true;
    }
    ZVector3 a;
    ZVector3 b;
};

void ExpectNear(const ZVector3& actual, const ZVector3& expected, const float eps = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

CollisionResultArray Sweep(ZCollisionInterface* mover, const ZVector3& from, const ZVector3& to,
                           const uint32_t mask = 0xFFFFFFFFu, const uint32_t flags = 0) {
    CollisionResultArray results;
    SweepShape(ZCollisionWorld::GetInstance(), results, mover, from, to, mask, flags);
    return results;
}

}  // namespace

TEST(ZCollisionWorld, AnEmptyPathEndsAtTheTargetWithOnlyTheEndRecord) {
    Body mover({0, 0, 0}, 1, 1);
    CollisionResultArray results;
    EXPECT_TRUE(SweepShape(ZCollisionWorld::GetInstance(), results, mover.Box(), {0, 0, 0}, {10, 3, 0}, ~0u, 0));
    ASSERT_EQ(results.Count(), 1u);
    EXPECT_EQ(results[0].other, nullptr);
    EXPECT_EQ(results[0].position, ZVector3(10, 3, 0));
    EXPECT_TRUE(std::isinf(results[0].time));
}

TEST(ZCollisionWorld, ShapesLeaveTheWorldWithTheirComponentOrEntity) {
    const uint32_t before = ZCollisionWorld::GetInstance()->shapes.Count();
    Body mover({0, 0, 0}, 1, 1);
    {
        Body wall({5, 0, 0}, 1, 1);
        EXPECT_EQ(ZCollisionWorld::GetInstance()->shapes.Count(), before + 2);
        wall.collision->ClearPrimitives();
        EXPECT_EQ(wall.collision->GetPrimary(), nullptr);
        EXPECT_EQ(Sweep(mover.Box(), {0, 0, 0}, {10, 0, 0}).Count(), 1u);
    }
    {
        auto doomed = std::make_unique<Body>(ZVector3(5, 0, 0), 1.0f, 1.0f);
        EXPECT_EQ(Sweep(mover.Box(), {0, 0, 0}, {10, 0, 0}).Count(), 2u);
        doomed.reset();
    }
    EXPECT_EQ(Sweep(mover.Box(), {0, 0, 0}, {10, 0, 0}).Count(), 1u);
    EXPECT_EQ(ZCollisionWorld::GetInstance()->shapes.Count(), before + 1);
}

TEST(ZCollisionWorld, ReadingTheShapeAgainReplacesTheFirstInTheWorld) {
    const uint32_t before = ZCollisionWorld::GetInstance()->shapes.Count();
    Body body({0, 0, 0}, 1, 1);
    body.collision->ReadDefinition(entitytest::Markup(
        "<Collision><Primitive Type='Box'><Extents><Vector X='2' Y='2'/></Extents></Primitive></Collision>"));
    EXPECT_EQ(ZCollisionWorld::GetInstance()->shapes.Count(), before + 1);
}

// A mover box of half-extent 1 from x = 0 towards x = 10 meets a box of
// half-extent 1 at x = 5 where the grown edge lies: at x = 3, less the
// tolerance.
TEST(ZCollisionWorld, ResponseKindsShapeTheRestOfTheMotion) {
    struct Case {
        uint32_t response;
        ZVector3 target;
        ZVector3 end;
    };
    const float stopX = 3.0f - kTolerance;
    const Case cases[] = {
        {ZCollisionInterface::kStop, {10, 4, 0}, {stopX, 4 * stopX / 10, 0}},
        // Slide: only the motion along the face is kept.
        {ZCollisionInterface::kSlide, {10, 4, 0}, {stopX, 4, 0}},
        {ZCollisionInterface::kSlideAlong, {10, 4, 0}, {stopX, 4, 0}},
        // Bounce: the part into the face comes back out.
        {ZCollisionInterface::kBounce, {10, 0, 0}, {stopX - (10 - stopX), 0, 0}},
    };
    Body wall({5, 0, 0}, 1, 10);
    Body mover({0, 0, 0}, 1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response);
        mover.Box()->responseKind = c.response;
        const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, c.target);
        ASSERT_GE(results.Count(), 2u);
        EXPECT_EQ(results[0].other, wall.Box());
        ExpectNear(results[0].normal, {-1, 0, 0});
        EXPECT_NEAR(results[0].time, stopX / 10.0f, 1e-4f);
        ExpectNear(results[results.Count() - 1].position, c.end);
    }
}

TEST(ZCollisionWorld, ASlideAlongASlopeLosesThePartThatWentIntoIt) {
    // The face x - y = 10, facing (-0.7071, 0.7071).
    TestLine slope({20, 10, 0}, {0, -10, 0});
    Body mover({0, 0, 0}, 0, 0);
    const ZVector3 n = ZVector3(-1, 1, 0).Normalized();
    const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, {20, 0, 0});
    ASSERT_EQ(results.Count(), 2u);
    ExpectNear(results[0].normal, n);
    // Stops the tolerance short of the face, then keeps the rest less its
    // part along the normal: (10, 0) of rest becomes about (5, 5).
    const ZVector3 m(20, 0, 0);
    const float t = (n.Dot(slope.a) + kTolerance) / n.Dot(m);
    EXPECT_NEAR(results[0].time, t, 1e-5f);
    const ZVector3 rest = m * (1 - t);
    const ZVector3 slid = rest - n * rest.Dot(n);
    ExpectNear(results[1].position, m * t + slid);
    EXPECT_NEAR(slid.Length(), rest.Length() * 0.7071f, 1e-3f);
}

TEST(ZCollisionWorld, FiltersDecideWhatAMoverMeets) {
    Body mover({0, 0, 0}, 0, 0);
    struct Case {
        const char* name;
        uint32_t filter;
        uint32_t mask;
        bool enabled;
        bool blocks;
        uint32_t flags;
        size_t records;  // with the end record
        float endX;
    };
    const float stopX = 5.0f - kTolerance;
    const Case cases[] = {
        {"shared bit", 1, 3, true, true, 0, 2, stopX},
        {"no shared bit", 4, 3, true, true, 0, 1, 10},
        {"disabled", 1, 3, false, true, 0, 1, 10},
        // Reported once, and passed through.
        {"not a blocker", 1, 1, true, false, 0, 2, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestLine line({5, 5, 0}, {5, -5, 0}, c.blocks);
        line.filterMask = c.filter;
        line.enabled = c.enabled;
        const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, {10, 0, 0}, c.mask, c.flags);
        EXPECT_EQ(results.Count(), c.records);
        EXPECT_NEAR(results[results.Count() - 1].position.x, c.endX, 1e-4f);
    }
}

TEST(ZCollisionWorld, SegmentsAreOneSidedAndEndAtTheirEnds) {
    Body mover({0, 0, 0}, 0, 0);
    TestLine line({5, 5, 0}, {5, -5, 0});
    struct Case {
        ZVector3 from;
        ZVector3 to;
        bool hit;
    };
    const Case cases[] = {
        {{0, 0, 0}, {10, 0, 0}, true},     // from the solid side's front
        {{10, 0, 0}, {0, 0, 0}, false},    // from behind
        {{0, 6, 0}, {10, 6, 0}, false},    // past the end a
        {{0, -6, 0}, {10, -6, 0}, false},  // past the end b
        {{0, 0, 0}, {4, 0, 0}, false},     // stops short
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sweep(mover.Box(), c.from, c.to).Count(), c.hit ? 2u : 1u) << c.from.x << "," << c.from.y;
    }
}

TEST(ZCollisionWorld, FiveSolidContactsEndTheMotionAtTheFifth) {
    // Two facing walls 10 apart and a bouncing point between them.
    TestLine right({5, 50, 0}, {5, -50, 0});
    TestLine left({-5, -50, 0}, {-5, 50, 0});
    Body mover({0, 0, 0}, 0, 0);
    mover.Box()->responseKind = ZCollisionInterface::kBounce;
    const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, {200, 0, 0});
    ASSERT_EQ(results.Count(), 6u);
    EXPECT_EQ(results[4].other, &right);
    ExpectNear(results[5].position, results[4].position);
    EXPECT_NEAR(results[5].position.x, 5 - kTolerance, 1e-3f);

    // Flag bit 0 stops it at the first.
    const CollisionResultArray first = Sweep(mover.Box(), {0, 0, 0}, {200, 0, 0}, ~0u, 1u);
    ASSERT_EQ(first.Count(), 2u);
    ExpectNear(first[1].position, first[0].position);
}

TEST(ZCollisionWorld, SpheresStopMoversAtTheirSurface) {
    Body centre({10, 0, 0}, 0, 0);
    centre.collision->SetPrimitive(ZHashedString().GetId(), new ZCollisionSphere(3.0f));
    ZCollisionInterface* sphere = centre.collision->GetPrimary();
    sphere->SetOwner(centre.spatial);
    sphere->blocker = &AlwaysBlocks;
    Body mover({0, 0, 0}, 0, 0);
    mover.Box()->responseKind = ZCollisionInterface::kStop;
    const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, {20, 0, 0});
    ASSERT_EQ(results.Count(), 2u);
    ExpectNear(results[0].normal, {-1, 0, 0});
    EXPECT_NEAR(results[1].position.x, 7 - kTolerance, 1e-4f);
    // Half the scale halves the radius.
    centre.spatial->current.scale = {0.5f, 1, 1};
    EXPECT_NEAR(Sweep(mover.Box(), {0, 0, 0}, {20, 0, 0})[1].position.x, 8.5f - kTolerance, 1e-4f);
    // Bounds cull a sphere far from the motion.
    EXPECT_EQ(Sweep(mover.Box(), {0, 50, 0}, {20, 50, 0}).Count(), 1u);
}

TEST(ZCollisionWorld, OverlapQueryFindsBoxesAroundAPoint) {
    Body mover({0, 0, 0}, 1, 1);
    Body near({2, 0, 0}, 1.5f, 1.5f);
    Body far({8, 0, 0}, 1, 1);
    CollisionResultArray found;
    EXPECT_TRUE(OverlapQuery(ZCollisionWorld::GetInstance(), found, mover.Box(), {0, 0, 0}, ~0u));
    ASSERT_EQ(found.Count(), 1u);
    EXPECT_EQ(found[0].other, near.Box());
    found.Resize(0);
    EXPECT_FALSE(OverlapQuery(ZCollisionWorld::GetInstance(), found, mover.Box(), {0, 20, 0}, ~0u));
}

TEST(ZCollisionWorld, PointAndShapeTypeRecords) {
    ZCollisionPoint point;
    EXPECT_TRUE(point.IsA(ZCollisionInstance::StaticType()));
    EXPECT_TRUE(point.IsA(ZCollisionInterface::StaticType()));
    EXPECT_FALSE(point.IsA(ZCollisionBox::StaticType()));
    EXPECT_TRUE(point.IsOwnerless());
}

// A point shows a moving box its edges around the point, wherever the box's
// owner stands (a body's sweep starts where it was and its owner already
// stands where it is going): near points stop it at its edge, far ones never.
TEST(ZCollisionWorld, APointStopsABoxThatReachesIt) {
    struct Case {
        const char* name;
        ZVector3 point;
        ZVector3 moverAt;  // where the mover's owner stands
        size_t records;    // with the end record
        float endX;
    };
    const float stopX = 4.0f - kTolerance;
    const Case cases[] = {
        {"on the path", {5, 0, 0}, {0, 0, 0}, 2, stopX},
        {"on the path, owner ahead", {5, 0, 0}, {10, 0, 0}, 2, stopX},
        {"off the path", {5, 3, 0}, {0, 0, 0}, 1, 10},
        {"far away, owner ahead", {50, 50, 0}, {10, 0, 0}, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Body mover(c.moverAt, 1, 1);
        Body holder(c.point, 0, 0);
        ZCollisionPoint point;
        point.SetOwner(holder.spatial);
        point.blocker = &AlwaysBlocks;
        holder.collision->ClearPrimitives();
        const CollisionResultArray results = Sweep(mover.Box(), {0, 0, 0}, {10, 0, 0});
        EXPECT_EQ(results.Count(), c.records);
        if (results.Count() > 1) {
            EXPECT_EQ(results[0].other, &point);
        }
        EXPECT_NEAR(results[results.Count() - 1].position.x, c.endX, 1e-4f);
    }
}
