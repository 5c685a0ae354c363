#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZCollisionSphere.h"
#include "entity/ZCollisionWorld.h"
#include "foundation/ZRandom.h"

namespace {

bool AlwaysBlocks(ZCollisionInterface*, ZCollisionInterface*) { return true; }

// Stands where it is told; fixed ones are the room's scenery.
struct Owner : ZCollisionOwner {
    explicit Owner(const ZVector3& p, const bool stays) : at(p), fixed(stays) {}
    ZVector3 GetPosition() const override { return at; }
    ZRTTIBase* GetSpatial() override { return nullptr; }
    bool IsFixed() const override { return fixed; }
    ZVector3 at;
    bool fixed;
};

// A one-sided segment in world coordinates; with exact bounds or, as a shape
// that does not know its extent, none.
class Line : public ZCollisionInterface {
    Z_RTTI(Line, ZCollisionInterface)

public:
    Line(const ZVector3& from, const ZVector3& to, const bool bounded) : a(from), b(to), exact(bounded) {}
    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface&) const override {
        ZCollisionFeature f;
        f.kind = ZCollisionFeature::kSegment;
        f.a = a;
        f.b = b;
        list.PushBack(f);
        return true;
    }
    void GetBounds(float out[6]) const override {
        if (!exact) {
            ZCollisionInterface::GetBounds(out);
            return;
        }
        out[0] = std::min(a.x, b.x);
        out[1] = std::min(a.y, b.y);
        out[2] = -1.0f;
        out[3] = std::max(a.x, b.x);
        out[4] = std::max(a.y, b.y);
        out[5] = 1.0f;
    }
    ZVector3 a;
    ZVector3 b;
    bool exact;
};

// A room of every shape kind, some fixed and some loose, placed at random.
struct Scene {
    explicit Scene(const uint32_t seed) {
        random.Seed(seed);
        for (int i = 0; i < 60; ++i) {
            const ZVector3 a = Spot();
            const float angle = Between(0.0f, 6.2831853f);
            const float length = Between(1.0f, 16.0f);
            const ZVector3 b = a + ZVector3(std::cos(angle), std::sin(angle), 0.0f) * length;
            Keep(std::make_unique<Line>(a, b, i % 20 != 0), true, ZVector3());
        }
        for (int i = 0; i < 36; ++i) {
            std::unique_ptr<ZCollisionInterface> shape;
            switch (i % 3) {
                case 0:
                    shape = std::make_unique<ZCollisionBox>(ZVector3(Between(0.5f, 6.0f), Between(0.5f, 6.0f), 1.0f));
                    break;
                case 1:
                    shape = std::make_unique<ZCollisionSphere>(Between(0.5f, 5.0f));
                    break;
                default:
                    shape = std::make_unique<ZCollisionPoint>();
                    break;
            }
            // One in four stands on something that moves.
            Keep(std::move(shape), i % 4 != 0, Spot());
        }
    }

    float Between(const float lo, const float hi) { return lo + (hi - lo) * random.NextFloat(); }
    ZVector3 Spot() { return {Between(0.0f, 64.0f), Between(0.0f, 64.0f), 0.0f}; }

    void Keep(std::unique_ptr<ZCollisionInterface> shape, const bool fixed, const ZVector3& at) {
        owners.push_back(std::make_unique<Owner>(at, fixed));
        shape->SetOwner(owners.back().get());
        shape->filterMask = 1u + static_cast<uint32_t>(random.NextInt(3));
        // Most block; the rest are met once per sweep and passed through.
        shape->blocker = random.NextInt(5) != 0 ? &AlwaysBlocks : nullptr;
        shape->gate = &AlwaysBlocks;
        shapes.push_back(std::move(shape));
    }

    ZRandom random;
    std::vector<std::unique_ptr<Owner>> owners;
    std::vector<std::unique_ptr<ZCollisionInterface>> shapes;
};

void ExpectSameResults(const CollisionResultArray& grid, const CollisionResultArray& all) {
    ASSERT_EQ(grid.Count(), all.Count());
    for (uint32_t i = 0; i < grid.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(grid[i].other, all[i].other);
        EXPECT_EQ(grid[i].surface, all[i].surface);
        // Bit for bit, not merely close.
        EXPECT_EQ(std::memcmp(&grid[i].position, &all[i].position, sizeof(ZVector3)), 0);
        EXPECT_EQ(std::memcmp(&grid[i].direction, &all[i].direction, sizeof(ZVector3)), 0);
        EXPECT_EQ(std::memcmp(&grid[i].normal, &all[i].normal, sizeof(ZVector3)), 0);
        EXPECT_EQ(std::memcmp(&grid[i].time, &all[i].time, sizeof(float)), 0);
    }
}

// Runs a query with the broad phase and again walking every shape.
template <typename Query>
void Compare(const Query& query) {
    ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
    CollisionResultArray grid;
    CollisionResultArray all;
    query(grid);
    world->useBroadPhase = false;
    query(all);
    world->useBroadPhase = true;
    ExpectSameResults(grid, all);
}

}  // namespace

// Random rooms, movers of every kind and response, and random motions: the
// broad phase hands the narrow phase the shapes that matter in the world's
// order, so every record comes out as from a walk over every shape.
TEST(ZCollisionBroadPhase, SweepsAndOverlapsMatchAWalkOverEveryShape) {
    int contacts = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        Scene scene(seed);
        for (int sweep = 0; sweep < 40; ++sweep) {
            const ZVector3 from = scene.Spot();
            // Mostly short steps, as a fixed step makes; some long ones.
            const float reach = sweep % 5 == 0 ? 40.0f : 6.0f;
            const ZVector3 to = from + ZVector3(scene.Between(-reach, reach), scene.Between(-reach, reach), 0.0f);
            Owner moverOwner(from, false);
            std::unique_ptr<ZCollisionInterface> mover;
            switch (sweep % 3) {
                case 0:
                    mover = std::make_unique<ZCollisionBox>(
                        ZVector3(scene.Between(0.0f, 3.0f), scene.Between(0.0f, 3.0f), 1.0f));
                    break;
                case 1:
                    mover = std::make_unique<ZCollisionSphere>(scene.Between(0.2f, 3.0f));
                    break;
                default:
                    mover = std::make_unique<ZCollisionPoint>();
                    break;
            }
            mover->SetOwner(&moverOwner);
            mover->responseKind = static_cast<uint32_t>(scene.random.NextInt(5));
            const uint32_t mask = 1u + static_cast<uint32_t>(scene.random.NextInt(3));
            const uint32_t flags = static_cast<uint32_t>(scene.random.NextInt(4) == 0);
            Compare([&](CollisionResultArray& out) {
                SweepShape(ZCollisionWorld::GetInstance(), out, mover.get(), from, to, mask, flags);
                contacts += static_cast<int>(out.Count()) - 1;
            });
            Compare([&](CollisionResultArray& out) {
                OverlapQuery(ZCollisionWorld::GetInstance(), out, mover.get(), from, mask);
            });
        }
    }
    // The rooms are crowded enough that the comparison covers contacts.
    EXPECT_GT(contacts, 0);
}

// Fixed scenery is filed once; a fixed shape that moves is found at its new
// place after a refresh, and a shape that changes owner is filed again.
TEST(ZCollisionBroadPhase, RefiledShapesAreMetWhereTheyNowStand) {
    Owner scenery({50, 0, 0}, true);
    Owner walker({0, 0, 0}, false);
    ZCollisionBox wall(ZVector3(1, 10, 1));
    wall.SetOwner(&scenery);
    wall.blocker = &AlwaysBlocks;
    ZCollisionPoint mover;
    mover.SetOwner(&walker);
    auto sweepEnd = [&mover] {
        CollisionResultArray results;
        SweepShape(ZCollisionWorld::GetInstance(), results, &mover, {0, 0, 0}, {10, 0, 0}, ~0u, 0);
        return results[results.Count() - 1].position.x;
    };
    EXPECT_FLOAT_EQ(sweepEnd(), 10.0f);
    scenery.at = {5, 0, 0};
    ZCollisionWorld::GetInstance()->Refresh();
    EXPECT_NEAR(sweepEnd(), 4.0f - 0.015f, 1e-4f);

    Owner elsewhere({80, 0, 0}, true);
    wall.SetOwner(&elsewhere);
    EXPECT_FLOAT_EQ(sweepEnd(), 10.0f);
}

// Shapes whose bounds are not numbers, or a mover that stands nowhere, still
// get the same answers as a walk over every shape, and nothing breaks.
TEST(ZCollisionBroadPhase, BoundsThatAreNotNumbersAreMetAsEverywhere) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Owner scenery({0, 0, 0}, true);
    Owner lost({nan, 0, 0}, true);
    Line floor({10, 0, 0}, {-10, 0, 0}, true);
    floor.SetOwner(&scenery);
    floor.blocker = &AlwaysBlocks;
    ZCollisionSphere stray(2.0f);
    stray.SetOwner(&lost);
    stray.blocker = &AlwaysBlocks;
    Owner walker({0, 5, 0}, false);
    ZCollisionBox mover(ZVector3(1, 1, 1));
    mover.SetOwner(&walker);
    struct Case {
        ZVector3 from;
        ZVector3 to;
    };
    const Case cases[] = {
        {{0, 5, 0}, {0, -5, 0}},
        {{nan, 5, 0}, {0, -5, 0}},
        {{0, 5, 0}, {inf, -5, 0}},
        {{-inf, 5, 0}, {inf, 5, 0}},
    };
    for (const Case& c : cases) {
        Compare([&](CollisionResultArray& out) {
            SweepShape(ZCollisionWorld::GetInstance(), out, &mover, c.from, c.to, ~0u, 0);
        });
        Compare([&](CollisionResultArray& out) {
            OverlapQuery(ZCollisionWorld::GetInstance(), out, &mover, c.from, ~0u);
        });
    }
}

namespace {

// What the accept callback of the first wall does when a mover reaches it.
std::unique_ptr<ZCollisionInterface> gDoomed;
std::unique_ptr<ZCollisionInterface> gArrival;
Owner* gArrivalOwner = nullptr;

bool RemovesTheOther(ZCollisionInterface*, ZCollisionInterface*, const CollisionResult&) {
    gDoomed.reset();
    return false;
}

bool AddsAnother(ZCollisionInterface*, ZCollisionInterface*, const CollisionResult&) {
    if (gArrival == nullptr) {
        gArrival = std::make_unique<ZCollisionBox>(ZVector3(1, 10, 1));
        gArrival->SetOwner(gArrivalOwner);
        gArrival->blocker = &AlwaysBlocks;
    }
    return false;
}

}  // namespace

// A callback that removes a shape the sweep gathered, or adds one on its
// path, while the narrow tests run: the removed one is not met (nor read),
// the new one is met in the same pass, with or without the broad phase.
TEST(ZCollisionBroadPhase, ShapesThatLeaveOrArriveDuringASweep) {
    struct Case {
        const char* name;
        ZCollisionInterface::AcceptCallback callback;
        float endX;
    };
    const Case cases[] = {
        {"the wall behind it is removed", &RemovesTheOther, 20.0f},
        // The new box at x = 12 stops the point at its face.
        {"a wall is added behind it", &AddsAnother, 11.0f - 0.015f},
    };
    Owner scenery({0, 0, 0}, true);
    Owner first({5, 0, 0}, true);
    Owner second({8, 0, 0}, true);
    Owner arrival({12, 0, 0}, true);
    gArrivalOwner = &arrival;
    Owner walker({0, 0, 0}, false);
    ZCollisionPoint mover;
    mover.SetOwner(&walker);
    for (const bool broadPhase : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ZCollisionWorld::GetInstance()->useBroadPhase = broadPhase;
            // A wall that refuses the contact and runs the callback.
            ZCollisionBox wall(ZVector3(1, 10, 1));
            wall.SetOwner(&first);
            wall.blocker = &AlwaysBlocks;
            wall.accept = c.callback;
            if (c.callback == &RemovesTheOther) {
                gDoomed = std::make_unique<ZCollisionBox>(ZVector3(1, 10, 1));
                gDoomed->SetOwner(&second);
                gDoomed->blocker = &AlwaysBlocks;
            }
            CollisionResultArray results;
            SweepShape(ZCollisionWorld::GetInstance(), results, &mover, {0, 0, 0}, {20, 0, 0}, ~0u, 0);
            EXPECT_NEAR(results[results.Count() - 1].position.x, c.endX, 1e-4f);
            gDoomed.reset();
            gArrival.reset();
        }
    }
    ZCollisionWorld::GetInstance()->useBroadPhase = true;
}
