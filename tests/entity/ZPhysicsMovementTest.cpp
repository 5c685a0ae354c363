#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "entity/BodyFixture.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZPhysicsComponent.h"

using entitytest::Body;
using entitytest::WorldUp;

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr float kTolerance = 0.015f;
constexpr float kHalf = 8.0f;
// The floor's top face is at y = 90 (screen y grows downward, so up is -y);
// a body of half-height 8 stands the tolerance above its grown face.
constexpr float kFloorTop = 90.0f;
constexpr float kStandY = kFloorTop - kHalf - kTolerance;

// The movement constants a test gives, and what the model makes of them.
struct Tuning {
    std::vector<float> heights{32.0f};
    float apexTime = 0.3f;
    float minimumFraction = 0.5f;
    float pushSpeed = 100.0f;
    float FirstSpeed() const { return 2.0f * heights[0] / apexTime; }
    float Gravity() const { return FirstSpeed() / apexTime; }
};

int gJumps = 0;
void CountJump(ZEntity*) { ++gJumps; }

// A player body on a floor, driven each fixed step the way the game's actors
// drive it.
struct Player {
    explicit Player(const ZVector3& at, const Tuning& tuning = {}) : body(at, kHalf, kHalf, "") {
        physics = AddComponent<ZPhysicsComponent>(&body.entity);
        physics->InitPhysics(tuning.pushSpeed, tuning.heights.data(), static_cast<int32_t>(tuning.heights.size()),
                             tuning.apexTime, tuning.minimumFraction, 0.0f);
        physics->maxJumps = static_cast<int32_t>(tuning.heights.size());
        physics->ResetMotion(at.y != kStandY);
        physics->SetOnJump(&CountJump);
        // Gravity already acts, as after any earlier step.
        physics->Jump(false);
        body.spatial->ResetInterpolation();
        gJumps = 0;
    }
    void Tick(const ZVector3& move = {}, const bool jump = false, const bool release = false) {
        physics->TickTimers(kDt);
        physics->Walk(move, false, false);
        physics->Jump(jump);
        if (release) {
            physics->ReleaseJump(false);
        }
        physics->UpdateImpulse(kDt);
        physics->ClampGravitySpeed();
        physics->Step(kDt);
    }
    float Y() const { return body.spatial->current.position.y; }
    float X() const { return body.spatial->current.position.x; }

    Body body;
    ZPhysicsComponent* physics = nullptr;
};

// One axis of velocity Verlet as the movement model integrates it: the
// acceleration of the previous step enters the displacement, the mean of the
// previous and the new one the velocity. The fall speed (down is +y) is
// limited before the step.
struct Reference {
    double y;
    double v;
    double a;
    double Step(const double newA, const double fallLimit = 1e30) {
        v = std::min(v, fallLimit);
        y += v * kDt + 0.5 * a * kDt * kDt;
        v += 0.5 * (a + newA) * kDt;
        a = newA;
        return y;
    }
};

struct Scene {
    WorldUp up{ZVector3(0.0f, -1.0f, 0.0f)};
    // From x = -100 to 100.
    Body floor{{0.0f, kFloorTop + 10.0f, 0.0f}, 100.0f, 10.0f};
};

}  // namespace

TEST(ZPhysicsComponent, InitPhysicsDerivesTheJumpConstants) {
    struct Case {
        std::vector<float> heights;
        float apex, fraction, landing;
        float speed, gravity, released, maxFall, landingLimit;
    };
    const Case cases[] = {
        {{32}, 0.3f, 1.0f, 0.0f, 213.333f, 711.111f, 711.111f, 213.333f, 0.0f},
        {{32, 16}, 0.3f, 0.5f, 1.5f, 213.333f, 711.111f, 1422.222f, 213.333f * std::sqrt(1.5f), -320.0f},
        {{}, 0.3f, 0.5f, 1.0f, 0, 0, 0, 0, 0},
        {{32}, 0.0f, 0.0f, 1.0f, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ZPhysicsComponent physics;
        physics.InitPhysics(0.0f, c.heights.data(), static_cast<int32_t>(c.heights.size()), c.apex, c.fraction,
                            c.landing);
        EXPECT_NEAR(physics.firstJumpSpeed, c.speed, 1e-2f);
        EXPECT_NEAR(physics.gravity, c.gravity, 1e-2f);
        EXPECT_NEAR(physics.releasedJumpGravity, c.released, 1e-2f);
        EXPECT_NEAR(physics.maxFallSpeed, c.maxFall, 1e-2f);
        EXPECT_NEAR(physics.landingSpeedLimit, c.landingLimit, 1e-2f);
    }
}

TEST(ZPhysicsMovement, WalkingKeepsToTheFloorAtTheWalkingSpeed) {
    Scene scene;
    Player player({-50.0f, kStandY, 0.0f});
    for (int n = 1; n <= 30; ++n) {
        player.Tick({120.0f, 0.0f, 0.0f});
        EXPECT_NEAR(player.X(), -50.0f + n * 120.0f * kDt, 1e-3f) << n;
        EXPECT_NEAR(player.Y(), kStandY, 1e-4f) << n;
        EXPECT_TRUE(player.physics->grounded) << n;
    }
    // Letting go stops at once on a floor.
    player.Tick();
    const float x = player.X();
    player.Tick();
    EXPECT_FLOAT_EQ(player.X(), x);
}

TEST(ZPhysicsMovement, AFullJumpRisesToItsHeightAtTheApexTimeAndLands) {
    Scene scene;
    const Tuning tuning;
    Player player({0.0f, kStandY, 0.0f}, tuning);
    // Up is -y: the take-off speed is negative in y, gravity positive.
    Reference ref{kStandY, -tuning.FirstSpeed(), tuning.Gravity()};
    player.Tick({}, true);
    ref.Step(tuning.Gravity());
    EXPECT_EQ(gJumps, 1);
    EXPECT_NEAR(player.Y(), ref.y, 1e-3);
    const int apexStep = static_cast<int>(std::lround(tuning.apexTime / kDt));
    const int landStep = 2 * apexStep;
    for (int n = 2; n < landStep; ++n) {
        player.Tick();
        ref.Step(tuning.Gravity());
        ASSERT_NEAR(player.Y(), ref.y, 2e-3) << n;
        EXPECT_FALSE(player.physics->grounded) << n;
        if (n == apexStep) {
            EXPECT_NEAR(player.Y(), kStandY - tuning.heights[0], 2e-3);
        }
    }
    player.Tick();
    EXPECT_NEAR(player.Y(), kStandY, 2e-3);
    EXPECT_TRUE(player.physics->grounded);
    EXPECT_EQ(player.physics->jumpsLeft, 1);
    player.Tick();
    EXPECT_NEAR(player.Y(), kStandY, 2e-3);
}

TEST(ZPhysicsMovement, ReleasingTheJumpEarlyFallsWithTheReleasedGravity) {
    Scene scene;
    const Tuning tuning;  // minimum fraction 0.5: released jumps fall twice as hard
    struct Case {
        int releaseStep;
    };
    const Case cases[] = {{1}, {5}, {9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.releaseStep);
        Player player({0.0f, kStandY, 0.0f}, tuning);
        Reference ref{kStandY, -tuning.FirstSpeed(), tuning.Gravity()};
        double gravity = tuning.Gravity();
        double nextGravity = gravity;
        for (int n = 1; n <= 30 && !(n > 2 && player.physics->grounded); ++n) {
            const bool release = n == c.releaseStep;
            const double risenBefore = kStandY - player.Y();
            player.Tick({}, n == 1, release);
            if (release) {
                // The fraction of the way from the minimum height to the full one.
                const double minimum = 0.5 * tuning.heights[0];
                const double expected = std::clamp((risenBefore - minimum) / (tuning.heights[0] - minimum), 0.0, 1.0);
                EXPECT_NEAR(player.physics->jumpFraction, expected, 1e-4);
                // Takes effect from the next step's jump call on.
                nextGravity = tuning.Gravity() * 2.0 + (tuning.Gravity() - tuning.Gravity() * 2.0) * expected;
            }
            ref.Step(gravity, player.physics->maxFallSpeed);
            gravity = nextGravity;
            if (!player.physics->grounded) {
                ASSERT_NEAR(player.Y(), ref.y, 2e-3) << n;
            }
        }
    }
}

TEST(ZPhysicsMovement, JumpReleaseFractionsStayFinite) {
    Scene scene;
    struct Case {
        float minimumFraction;
        float risen;
        float fraction;
    };
    const Case cases[] = {
        {0.5f, 0.0f, 0.0f},  {0.5f, 16.0f, 0.0f}, {0.5f, 24.0f, 0.5f},
        {0.5f, 32.0f, 1.0f}, {0.5f, 40.0f, 1.0f},
        // The minimum is the whole jump: nothing to divide.
        {1.0f, 10.0f, 1.0f}, {1.0f, 32.0f, 1.0f},
    };
    for (const Case& c : cases) {
        Tuning tuning;
        tuning.minimumFraction = c.minimumFraction;
        Player player({0.0f, kStandY, 0.0f}, tuning);
        player.physics->Jump(true);
        player.body.spatial->current.position.y = kStandY - c.risen;
        player.physics->ReleaseJump(false);
        EXPECT_FLOAT_EQ(player.physics->jumpFraction, c.fraction) << c.minimumFraction << " " << c.risen;
        player.Tick();
        EXPECT_TRUE(std::isfinite(player.Y()));
        EXPECT_TRUE(std::isfinite(player.body.spatial->current.acceleration.y));
    }
}

TEST(ZPhysicsMovement, WalkingOffALedgeLeavesATenthOfASecondToJump) {
    struct Case {
        int waitSteps;
        bool jumps;
    };
    const Case cases[] = {{0, true}, {3, true}, {5, true}, {7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.waitSteps);
        Scene scene;
        // The floor's right edge grown by the body is at x = 108.
        Player player({104.0f, kStandY, 0.0f});
        int n = 0;
        while (player.physics->grounded && n++ < 10) {
            player.Tick({120.0f, 0.0f, 0.0f});
        }
        ASSERT_FALSE(player.physics->grounded);
        EXPECT_GT(player.X(), 108.0f);
        EXPECT_EQ(player.physics->jumpsLeft, 0);
        for (int i = 0; i < c.waitSteps; ++i) {
            player.Tick();
        }
        player.Tick({}, true);
        EXPECT_EQ(gJumps, c.jumps ? 1 : 0);
        if (c.jumps) {
            // A coyote jump leaves the one jump still counted as used once.
            EXPECT_EQ(player.physics->jumpsLeft, 0);
            EXPECT_NEAR(player.physics->jumpHeight, 32.0f, 1e-5f);
        } else {
            EXPECT_GT(player.physics->jumpBufferTimer, 0.0f);
        }
    }
}

TEST(ZPhysicsMovement, JumpingOffTheGroundGivesNoCoyoteTime) {
    Scene scene;
    Player player({0.0f, kStandY, 0.0f});
    player.Tick({}, true);
    player.Tick();
    EXPECT_FALSE(player.physics->grounded);
    EXPECT_LE(player.physics->coyoteTimer, 0.0f);
    for (int i = 0; i < 6; ++i) {
        player.Tick();
    }
    player.Tick({}, true);
    EXPECT_EQ(gJumps, 1);
}

TEST(ZPhysicsMovement, AJumpRequestedJustBeforeLandingGoesOffOnLanding) {
    Scene scene;
    const Tuning tuning;
    // Low enough that the fall never reaches the fall-speed limit.
    const float startY = kStandY - 25.0f;
    Player player({0.0f, startY, 0.0f}, tuning);
    // The fall as the model integrates it: the first step that reaches the floor.
    Reference ref{startY, 0.0, tuning.Gravity()};
    int landStep = 0;
    for (int n = 1; landStep == 0 && n < 200; ++n) {
        if (ref.Step(tuning.Gravity()) >= kStandY) {
            landStep = n;
        }
    }
    ASSERT_GT(landStep, 4);
    for (int n = 1; n <= landStep; ++n) {
        player.Tick({}, n == landStep - 3);  // 0.05 s early
        if (n < landStep) {
            EXPECT_FALSE(player.physics->grounded) << n;
        }
    }
    EXPECT_EQ(gJumps, 0);
    EXPECT_TRUE(player.physics->grounded);
    EXPECT_TRUE(player.physics->jumpPending);
    player.Tick();  // no request: the buffered one goes
    EXPECT_EQ(gJumps, 1);
    EXPECT_LT(player.Y(), kStandY);

    // Requested too early, the buffer runs out before the landing.
    Player late({50.0f, startY, 0.0f}, tuning);
    for (int n = 1; n <= landStep + 1; ++n) {
        late.Tick({}, n == landStep - 8);
    }
    EXPECT_EQ(gJumps, 0);
}

TEST(ZPhysicsMovement, EachJumpUsesItsOwnHeight) {
    Scene scene;
    Tuning tuning;
    tuning.heights = {32.0f, 16.0f};
    Player player({0.0f, kStandY, 0.0f}, tuning);
    player.Tick({}, true);
    EXPECT_FLOAT_EQ(player.physics->jumpHeight, 32.0f);
    for (int i = 0; i < 8; ++i) {
        player.Tick();
    }
    player.Tick({}, true);
    EXPECT_EQ(gJumps, 2);
    EXPECT_FLOAT_EQ(player.physics->jumpHeight, 16.0f);
    // The take-off speed of that height, less one step of gravity.
    EXPECT_NEAR(player.body.spatial->current.velocity.y,
                -std::sqrt(2.0f * 16.0f * tuning.Gravity()) + tuning.Gravity() * kDt, 1e-2f);
    for (int i = 0; i < 8; ++i) {
        player.Tick();
    }
    player.Tick({}, true);
    EXPECT_EQ(gJumps, 2) << "no third jump in the air";
}

TEST(ZPhysicsMovement, WallsSlowTheFallAndLaunchWallJumps) {
    Scene scene;
    const Tuning tuning;
    // A wall whose left face is at x = 40; a body pressing into it from the air.
    Body wall({50.0f, 0.0f, 0.0f}, 10.0f, 200.0f);
    Player player({20.0f, -100.0f, 0.0f}, tuning);
    player.physics->wallJumping = true;
    const float limit = player.physics->maxFallSpeed / 5.0f;
    int onWallSteps = 0;
    for (int n = 0; n < 40; ++n) {
        const bool wasOnWall = player.physics->onWall;
        player.physics->TickTimers(kDt);
        player.physics->Walk({120.0f, 0.0f, 0.0f}, false, false);
        player.physics->Jump(false);
        player.physics->UpdateImpulse(kDt);
        player.physics->ClampGravitySpeed();
        if (wasOnWall) {
            ++onWallSteps;
            EXPECT_LE(player.body.spatial->current.velocity.y, limit + 1e-3f) << n;
        }
        player.physics->Step(kDt);
    }
    EXPECT_GT(onWallSteps, 30);
    EXPECT_TRUE(player.physics->IsWallSliding());
    EXPECT_NEAR(player.X(), 40.0f - kHalf - kTolerance, 1e-3f);

    // The wall jump pushes away from the wall, and the push fades over 0.4 s.
    player.Tick({}, true);
    EXPECT_EQ(gJumps, 1);
    double x = player.X();
    // The jump's own step already ran one step of the fade.
    double timer = 0.4 - kDt;
    for (int n = 0; n < 20; ++n) {
        player.Tick();
        timer -= kDt;
        const double vx = -tuning.pushSpeed * std::max(timer, 0.0) / 0.4;
        x += vx * kDt;
        EXPECT_NEAR(player.body.spatial->current.velocity.x, vx, 1e-2) << n;
        EXPECT_NEAR(player.X(), x, 2e-2) << n;
    }
}

TEST(ZPhysicsComponent, GroundContactsStandOrSlideByTheirSlope) {
    WorldUp up(ZVector3(0.0f, -1.0f, 0.0f));
    struct Case {
        float upDot;
        bool grounded;
        bool sliding;
    };
    const Case cases[] = {{1.0f, true, false}, {0.5f, true, false}, {0.4f, false, true}};
    for (const Case& c : cases) {
        Player player({0.0f, 0.0f, 0.0f});
        CollisionResult contact;
        contact.normal = ZVector3(std::sqrt(1.0f - c.upDot * c.upDot), -c.upDot, 0.0f);
        contact.direction = contact.normal;
        player.physics->BeginContactPass();
        player.physics->OnGroundContact(contact);
        EXPECT_EQ(player.physics->grounded, c.grounded) << c.upDot;
        EXPECT_EQ(player.physics->sliding, c.sliding) << c.upDot;
    }
}
