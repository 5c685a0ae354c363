#include <gtest/gtest.h>

#include "entity/ZCollisionBox.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/PlayerOverworld.h"
#include "game_player/PlayerFixture.h"
#include "support/PlayRoom.h"

using playertest::PlayerTest;

namespace {

constexpr float kDt = 1.0f / 60.0f;

// Starts one step in the direction and runs it to its end.
void OneStep(Player& player, const ZVector3& input) {
    ZVector3 velocity = input;
    OverworldStep(player, kDt, velocity);
    EXPECT_EQ(velocity, ZVector3()) << "the step moves the player itself";
    for (int i = 0; i < 60 && player.stepState == 1; ++i) {
        ZVector3 none;
        OverworldStep(player, kDt, none);
    }
}

}  // namespace

TEST_F(PlayerTest, OverworldStepsAreOneCellInAQuarterSecondAndStopAtWalls) {
    // A wall two cells to the right of the start cell (centre 24, 24).
    const playtest::PlayRoom room({
        "..........",
        "..........",
        "..........",
        "......####",
        "..........",
    });
    DynamicCast<ZCollisionBox>(player->collision->GetPrimary())->halfExtents = ZVector3(4.0f, 4.0f, 1.0f);
    player->spatial->current.position = ZVector3(21.0f, 27.0f, 0.0f);  // off-centre

    // A diagonal input steps down (+y): the vertical direction is tested first.
    ZVector3 input(0.7f, 0.7f, 0.0f);
    OverworldStep(*player, kDt, input);
    EXPECT_EQ(player->stepState, 1);
    EXPECT_EQ(player->stepTarget.x, 24.0f) << "snapped to the cell centre";
    EXPECT_EQ(player->stepTarget.y, 40.0f);
    // 15 steps of 1/60 s make 0.25 s: the last puts it exactly on the target,
    // and the step after that ends the step.
    for (int i = 1; i < 15; ++i) {
        ZVector3 none;
        OverworldStep(*player, kDt, none);
        const float f = (i + 1) * kDt / 0.25f;
        EXPECT_NEAR(player->spatial->current.position.y, 27.0f + f * 13.0f, 1e-3f) << "step " << i;
    }
    EXPECT_EQ(player->spatial->current.position, ZVector3(24.0f, 40.0f, 0.0f));
    EXPECT_EQ(player->stepState, 1);
    ZVector3 none;
    OverworldStep(*player, kDt, none);
    EXPECT_EQ(player->stepState, 0);

    // Up, then right along the row of the wall: one cell, then the wall.
    player->spatial->current.position = ZVector3(24.0f, 40.0f, 0.0f);
    OneStep(*player, ZVector3(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(player->spatial->current.position, ZVector3(24.0f, 24.0f, 0.0f));
    EXPECT_EQ(player->previousOverworldFacing.y, 1.0f) << "turned from down";
    OneStep(*player, ZVector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(player->spatial->current.position, ZVector3(40.0f, 24.0f, 0.0f));
    ZVector3 right(1.0f, 0.0f, 0.0f);
    OverworldStep(*player, kDt, right);
    EXPECT_EQ(player->stepState, 0) << "the wall is within the probe";
    EXPECT_EQ(player->overworldFacing.x, 1.0f);

    // Blocked, the facing still turns towards the input.
    player->overworldFacing = ZVector2(0.0f, 1.0f);
    ZVector3 again(1.0f, 0.0f, 0.0f);
    OverworldStep(*player, kDt, again);
    EXPECT_EQ(player->stepState, 0);
    EXPECT_EQ(player->overworldFacing.x, 1.0f);
    EXPECT_EQ(player->previousOverworldFacing.y, 1.0f);
}
