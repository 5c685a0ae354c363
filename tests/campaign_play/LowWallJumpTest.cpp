// Jumping while pressed against a wall lower than a jump: the step at the
// seam between the caverns' first two rooms, and a plain room's one-tile step
// (with and without the climbing gloves, which hold the player to walls).
// The player walks into the wall until it stops, presses Jump still holding
// towards it, and comes down on top of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "game/player/PlayerProgress.h"
#include "support/PlayHarness.h"

namespace {

const std::string kSolid = "################################";
const std::string kOpen = "#..............................#";

TEST(LowWallJump, JumpingWhilePressedAgainstALowWallGetsOverIt) {
    struct Case {
        const char* name;
        std::optional<playtest::PlaySetup::QuickStart> quickStart;  // else the plain room
        const char* toward;
        std::vector<uint32_t> powerups;
        float wallTop;  // the top of the wall, as the player's centre stands on it
    };
    const Case cases[] = {
        {"the caverns' step at the rooms' seam", playtest::PlaySetup::QuickStartAt("Caverns", 1, 0, 3, 24), "left",
         {}, 192.0f},
        {"a plain room's one-tile step", std::nullopt, "right", {}, 96.0f},
        {"a plain room's one-tile step with the gloves", std::nullopt, "right", {kPowerupClimbingGloves}, 96.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.quickStart = c.quickStart;
            if (!c.quickStart) {
                // A ledge one tile high from x = 64 on: the player stands on it at
                // y = 96, on the floor at 112.
                setup.room = {kSolid};
                for (int i = 0; i < 12; ++i) setup.room.push_back(kOpen);
                setup.room.push_back("#.......########################");
                setup.room.push_back("#..P...........................#");
                setup.room.push_back(kSolid);
            }
            setup.powerups = c.powerups;
            const std::string toward = c.toward;
            // Into the wall and a while pressed against it, then Jump held
            // for a full jump, still towards the wall; then let go.
            constexpr int32_t kJumpFrame = 80;
            const std::string script = "20 -\n60 " + toward + "\n1 " + toward + " jump\n30 " + toward + " jump\n20 -\n";
            const playtest::PlayResult r = playtest::RunPlay(setup, script);
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_EQ(r.samples.size(), 131u);
            const playtest::PlaySample& pressed = r.samples[kJumpFrame - 1];
            EXPECT_TRUE(pressed.grounded);
            EXPECT_NEAR(pressed.position.x, r.samples[kJumpFrame - 10].position.x, 0.01f) << "stopped by the wall";
            float highest = pressed.position.y;
            for (size_t i = kJumpFrame; i < r.samples.size(); ++i) highest = std::min(highest, r.samples[i].position.y);
            EXPECT_LT(highest, c.wallTop) << "rose above the wall";
            const playtest::PlaySample& last = r.samples.back();
            EXPECT_TRUE(last.grounded);
            EXPECT_NEAR(last.position.y, c.wallTop, 0.05f) << "stands on it";
            EXPECT_EQ(last.deaths, 0);
        });
    }
}

}  // namespace
