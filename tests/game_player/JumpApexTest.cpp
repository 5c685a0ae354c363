// The side-view player's two jump heights, measured at the apex of a held
// jump from the ground and of a double jump from the first one's top, on the
// physics a new player gets.

#include <gtest/gtest.h>

#include <algorithm>

#include "game_player/PlayerFixture.h"

namespace playertest {
namespace {

constexpr float kDt = 1.0f / 60.0f;

class JumpApexTest : public PlayerTest {
protected:
    // One fixed step of the physics as the player drives it, jump held.
    void Tick(const bool jumpPressed) {
        ZPhysicsComponent& physics = *player->physics;
        physics.TickTimers(kDt);
        physics.Walk(ZVector3(), false, false);
        physics.Jump(jumpPressed);
        physics.UpdateImpulse(kDt);
        physics.ClampGravitySpeed();
        physics.Step(kDt);
    }
    // Presses jump once and holds it until the player stops rising: the
    // height gained.
    float Rise() {
        const float from = player->spatial->current.position.y;
        float top = from;
        Tick(true);
        for (int step = 0; step < 120 && player->spatial->current.velocity.y < 0.0f; ++step) {
            top = std::min(top, player->spatial->current.position.y);
            Tick(false);
        }
        return from - std::min(top, player->spatial->current.position.y);
    }
};

TEST_F(JumpApexTest, TheJumpAndTheDoubleJumpPeakAtTheirHeights) {
    ZPhysicsComponent& physics = *player->physics;
    physics.maxJumps = 2;  // the double-jump boots
    player->spatial->current.position = ZVector3(100.0f, 200.0f, 0.0f);
    physics.ResetMotion(false);
    physics.Jump(false);
    player->spatial->ResetInterpolation();

    EXPECT_NEAR(Rise(), 51.93216f, 0.1f) << "the first jump";
    EXPECT_FALSE(physics.grounded);
    EXPECT_NEAR(Rise(), 33.38496f, 0.1f) << "the double jump, from the first one's top";
}

}  // namespace
}  // namespace playertest
