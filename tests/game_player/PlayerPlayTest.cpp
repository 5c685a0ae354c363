// The player played through the whole game: the harness starts the game,
// puts the player in a small room and holds the controls of a script, and
// the positions it reads back after each fixed step are checked against the
// movement rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "entity/ZAnimComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerRoomExit.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"
#include "renderer/ZCamera.h"
#include "support/PlayRoom.h"

using playtest::PlaySample;
using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr float kWalk = 88.32f * kStep;  // pixels a step

// Open rows above a floor: n rows, the last of them holding the start.
std::vector<std::string> Rows(const int n, const std::string& row = "#..............................#") {
    return std::vector<std::string>(static_cast<size_t>(n), row);
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kWall = "################################";

// Floor top at y = 120; the player starts standing at x = 20.
const std::vector<std::string> kHall = std::vector<std::string>{kWall} + Rows(13) +
                                       std::vector<std::string>{"#.P............................#", kWall};

float HighestRise(const std::vector<PlaySample>& samples, const float from) {
    float top = from;
    for (const PlaySample& s : samples) top = std::min(top, s.position.y);
    return from - top;
}

// Fails the child when the run did not play.
bool Played(const playtest::PlayResult& r) {
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.framesWithoutOneStep, 0) << "one fixed step a frame";
    return r.error.empty() && r.started && !r.samples.empty();
}

}  // namespace

TEST(PlayerPlay, ABadScriptOrRoomIsRefusedWithItsLine) {
    std::vector<playtest::PlayFrames> frames;
    std::string error;
    EXPECT_FALSE(playtest::ParsePlayScript("10 right\nfive left\n", frames, error));
    EXPECT_EQ(error, "line 2: \"five\" is not a frame count (1 to 100000)");
    EXPECT_FALSE(playtest::ParsePlayScript("3 right hop\n", frames, error));
    EXPECT_EQ(error, "line 1: unknown control \"hop\"");
    frames.clear();
    ASSERT_TRUE(playtest::ParsePlayScript("# walk\n2 right jump  # and jump\n\n1 -\n", frames, error));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].frames, 2);
    EXPECT_EQ(frames[0].keys.size(), 2u);
    EXPECT_TRUE(frames[1].keys.empty());
    const playtest::PlayRoom room({"..", "..."});
    EXPECT_EQ(room.error(), "row 1 is 3 wide, not 2");
}

TEST(PlayerPlay, WalkingMovesTheWalkingSpeedEachStepAndTheRunInFades) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        const auto r = RunPlay(setup, "40 right\n20 left\n");
        ASSERT_TRUE(Played(r));
        for (size_t i = 1; i < 40; ++i) {
            EXPECT_NEAR(r.samples[i].position.x - r.samples[i - 1].position.x, kWalk, 1e-3f) << "step " << i;
            EXPECT_TRUE(r.samples[i].grounded) << "step " << i;
            EXPECT_NEAR(r.samples[i].position.y, r.samples[0].position.y, 1e-3f);
        }
        for (size_t i = 41; i < 60; ++i) {
            EXPECT_NEAR(r.samples[i].position.x - r.samples[i - 1].position.x, -kWalk, 1e-3f) << "step " << i;
        }

        // Placed at a room's edge the player walks in by itself, the push
        // fading with the square root of the time left.
        PlaySetup runIn;
        runIn.room = kHall;
        runIn.prepare = [](Player& p) {
            p.forcedInput = ZVector3(1.0f, 0.0f, 0.0f);
            p.forcedInputRemaining = 0.3f;
        };
        const auto s = RunPlay(runIn, "30 -\n");
        ASSERT_TRUE(Played(s));
        for (size_t i = 1; i < 18; ++i) {
            const float remaining = 0.3f - static_cast<float>(i) * kStep;
            const float w = remaining > 0.0f ? std::sqrt(remaining / 0.3f) : 0.0f;
            EXPECT_NEAR(s.samples[i].position.x - s.samples[i - 1].position.x, kWalk * w, 2e-3f) << "step " << i;
        }
        EXPECT_NEAR(s.samples[29].position.x, s.samples[20].position.x, 1e-4f) << "then it stands";
    });
}

TEST(PlayerPlay, JumpHeightsFollowTheHeightsAndTheHeldButton) {
    gametest::RunInChild([] {
        const float first = PlatformerPhysics().heights[0];
        PlaySetup setup;
        setup.room = kHall;
        // Held: the full first height.
        auto r = RunPlay(setup, "50 jump\n");
        ASSERT_TRUE(Played(r));
        const float floorY = 120.0f - 8.0f - 0.015f;  // where it stood
        EXPECT_NEAR(HighestRise(r.samples, floorY), first, 1.5f);
        EXPECT_TRUE(r.samples.back().grounded) << "landed again";
        // Tapped: cut short, but not below half the height.
        r = RunPlay(setup, "1 jump\n49 -\n");
        ASSERT_TRUE(Played(r));
        const float tapped = HighestRise(r.samples, floorY);
        EXPECT_GE(tapped, 0.5f * first - 1.5f);
        EXPECT_LT(tapped, 0.75f * first);
        // A second press in the air does nothing without the boots (letting
        // go after 12 steps cuts the first jump a little) ...
        r = RunPlay(setup, "12 jump\n2 -\n12 jump\n60 -\n");
        ASSERT_TRUE(Played(r));
        const float single = HighestRise(r.samples, floorY);
        EXPECT_LE(single, first + 0.5f);
        EXPECT_GT(r.samples[14].velocity.y, r.samples[13].velocity.y) << "still slowing down";
        // ... and jumps again with them.
        setup.powerups = {kPowerupDoubleJump};
        r = RunPlay(setup, "12 jump\n2 -\n30 jump\n60 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_LT(r.samples[14].velocity.y, -200.0f) << "a new jump";
        EXPECT_GT(HighestRise(r.samples, floorY), single + 10.0f);
        EXPECT_EQ(r.samples.back().jumpsLeft, 2) << "both back after landing";
    });
}

TEST(PlayerPlay, CoyoteTimeAndDroppingThroughAOneWayPlatform) {
    gametest::RunInChild([] {
        // A ledge ending at x = 48, the floor 64 pixels below it.
        PlaySetup setup;
        setup.room = std::vector<std::string>{kWall} + Rows(7) +
                     std::vector<std::string>{"#..P...........................#", "######.........................#"} +
                     Rows(7) + std::vector<std::string>{kWall};
        // Walk off the ledge, jump a few steps after leaving it.
        auto r = RunPlay(setup, "20 right\n1 right jump\n20 right jump\n");
        ASSERT_TRUE(Played(r));
        size_t left = 0;
        while (left < r.samples.size() && r.samples[left].grounded) ++left;
        ASSERT_GT(left, 5u) << "walked on the ledge first";
        ASSERT_LT(left, 20u) << "walked off within 20 steps";
        EXPECT_LE((20u - left) * kStep, 0.1f) << "the press falls in the grace time";
        EXPECT_LT(r.samples[20].velocity.y, 0.0f) << "it jumped after leaving the ledge";

        // Too late: a press 0.2 s after leaving falls on, and the press does
        // not wait long enough to jump on landing.
        const size_t late = left + 12;
        r = RunPlay(setup, std::to_string(late) + " right\n1 right jump\n40 -\n");
        ASSERT_TRUE(Played(r));
        for (size_t i = late; i < r.samples.size(); ++i) {
            EXPECT_GE(r.samples[i].velocity.y, 0.0f) << "step " << i;
        }
        EXPECT_NEAR(r.samples.back().position.y, 136.0f - 8.0f, 0.1f) << "on the floor below";

        // Standing on a one-way platform: down drops through it.
        // Platform top at y = 88, the floor 32 pixels below it.
        setup.room = std::vector<std::string>{kWall} + Rows(9) +
                     std::vector<std::string>{"#..P...........................#", "#=========.....................#"} +
                     Rows(3) + std::vector<std::string>{kWall};
        r = RunPlay(setup, "10 -\n1 down\n40 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_NEAR(r.samples[9].position.y, 88.0f - 8.0f, 0.1f) << "stood on the platform";
        EXPECT_NEAR(r.samples.back().position.y, 120.0f - 8.0f, 0.1f) << "on the floor below";
        // Jumping up through it lands on top.
        r = RunPlay(setup, "10 -\n1 down\n40 -\n40 jump\n40 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_NEAR(r.samples.back().position.y, 88.0f - 8.0f, 0.1f) << "back on the platform";
    });
}

TEST(PlayerPlay, WallStickAndWallJumpNeedTheGloves) {
    gametest::RunInChild([] {
        // A tall wall at x = 64 to the right of the start.
        const std::vector<std::string> room = std::vector<std::string>{kWall} +
                                              Rows(13, "#.......#......................#") +
                                              std::vector<std::string>{"#....P..#......................#", kWall};
        // Jump against the wall, let go of right, jump again.
        const char* script = "20 right jump\n4 -\n1 jump\n10 -\n";
        PlaySetup setup;
        setup.room = room;
        setup.powerups = {kPowerupClimbingGloves};
        auto r = RunPlay(setup, script);
        ASSERT_TRUE(Played(r));
        EXPECT_TRUE(r.samples[19].onWall) << "against the wall in the air";
        // For 0.15 s after letting go the input still presses into the wall.
        for (size_t i = 20; i < 24; ++i) {
            EXPECT_TRUE(r.samples[i].onWall) << "step " << i;
        }
        EXPECT_LT(r.samples[25].velocity.x, -10.0f) << "pushed away from the wall";
        EXPECT_LT(r.samples[25].velocity.y, 0.0f) << "and up";

        setup.powerups.clear();
        r = RunPlay(setup, script);
        ASSERT_TRUE(Played(r));
        EXPECT_FALSE(r.samples[19].onWall && r.samples[22].onWall) << "nothing holds it to the wall";
        EXPECT_FALSE(r.samples[25].velocity.y < 0.0f && r.samples[25].velocity.x < -10.0f) << "no wall jump";
    });
}

TEST(PlayerPlay, ADeadlyFloorKillsAndTheCheckpointTakesThePlayerBack) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = {
            "################################",
            "#..............................#",
            "#..............................#",
            "#..............................#",
            "#..P...........................#",
            "######.........................#",
            "#.....^^^^^^^^.................#",
            "################################",
        };
        const auto r = RunPlay(setup, "30 right\n60 -\n");
        ASSERT_TRUE(Played(r));
        size_t died = 0;
        while (died < r.samples.size() && !r.samples[died].dead) ++died;
        ASSERT_LT(died, r.samples.size()) << "it died";
        EXPECT_EQ(r.samples[died].deaths, 1);
        // The death timer of 0.6 s runs out on the 37th step after the death
        // (36 steps make exactly 0.6, which is not yet below 0).
        size_t back = died;
        while (back < r.samples.size() && r.samples[back].dead) ++back;
        ASSERT_LT(back, r.samples.size()) << "it came back";
        EXPECT_GE(back - died, 36u);
        EXPECT_LE(back - died, 37u);
        EXPECT_NEAR(r.samples[back].position.x, 28.0f, 0.01f) << "at the checkpoint";
        EXPECT_EQ(r.samples.back().deaths, 1);
        EXPECT_FALSE(r.samples.back().dead);
    });
}

TEST(PlayerPlay, SwimmingNeedsTheSuitAndSurfacingRestoresThePhysics) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = {
            "################################",
            "#..............................#",
            "#..............................#",
            "#..P...........................#",
            "######~~~~~~~~~~~~~~~~.........#",
            "######~~~~~~~~~~~~~~~~.........#",
            "######~~~~~~~~~~~~~~~~.........#",
            "######~~~~~~~~~~~~~~~~.........#",
            "######~~~~~~~~~~~~~~~~.........#",
            "################################",
        };
        setup.powerups = {kPowerupSwimSuit};
        auto r = RunPlay(setup, "20 right\n40 -\n70 jump\n");
        ASSERT_TRUE(Played(r));
        size_t in = 0;
        while (in < r.samples.size() && !r.samples[in].underwaterPhysics) ++in;
        ASSERT_LT(in, 60u) << "it entered the water";
        EXPECT_TRUE(r.samples[in].inWater);
        EXPECT_FALSE(r.samples[in].dead);
        // It sinks, slower than it falls in air.
        EXPECT_GT(r.samples[in + 10].velocity.y, 0.0f);
        EXPECT_LT(r.samples[in + 10].velocity.y, 100.0f);
        size_t out = 60;
        while (out < r.samples.size() && r.samples[out].underwaterPhysics) ++out;
        ASSERT_LT(out, r.samples.size()) << "it surfaced";
        EXPECT_FALSE(r.samples[out].inWater);
        EXPECT_LT(r.samples[out].position.y, 32.0f + 8.0f) << "head above the surface";

        setup.powerups.clear();
        r = RunPlay(setup, "20 right\n20 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_EQ(r.samples.back().deaths, 1) << "no suit, no swimming";

        // Toxic water needs the toxic suit too.
        for (std::string& row : setup.room) std::replace(row.begin(), row.end(), '~', '%');
        setup.powerups = {kPowerupSwimSuit};
        r = RunPlay(setup, "20 right\n20 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_EQ(r.samples.back().deaths, 1);
        setup.powerups = {kPowerupSwimSuit, kPowerupToxicSuit};
        r = RunPlay(setup, "20 right\n20 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_EQ(r.samples.back().deaths, 0);
    });
}

TEST(PlayerPlay, OverworldStepsAreSixteenPixelsInAQuarterSecondAndStopAtWalls) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = {
            "################################",
            "#..............................#",
            "#..............................#",
            "#.P.........#..................#",
            "#...........#..................#",
            "################################",
        };
        setup.prepare = [](Player& player) {
            KorvanthGame::Get()->LoadCampaign(ZString("Overworld"));
            player.spatial->current.position = ZVector3(24.0f, 24.0f, 0.0f);
            player.spatial->ResetInterpolation();
        };
        const auto r = RunPlay(setup, "15 -\n90 right\n");
        ASSERT_TRUE(Played(r));
        // The mode change freezes the input for 0.2 s; then a step starts.
        size_t s0 = 0;
        while (s0 < r.samples.size() && r.samples[s0].position.x == 24.0f) ++s0;
        ASSERT_GE(s0, 12u) << "frozen at first";
        const float y = r.samples[0].position.y;
        // Each step moves 16/15 of a pixel a fixed step for 15 steps, 0.25 s;
        // the next fixed step ends it and, with the input held, starts the next.
        for (size_t k = 0; k < 4; ++k) {
            const size_t start = s0 + k * 15;
            EXPECT_NEAR(r.samples[start].position.x, 24.0f + 16.0f * k + 16.0f / 15.0f, 1e-3f) << "step " << k;
            EXPECT_NEAR(r.samples[start + 14].position.x, 40.0f + 16.0f * k, 1e-4f) << "step " << k;
            EXPECT_EQ(r.samples[start + 14].position.y, y);
        }
        // Cells to x = 88 are free; the wall at x = 96 stops the player there.
        EXPECT_NEAR(r.samples.back().position.x, 88.0f, 1e-3f);
        EXPECT_EQ(r.samples.back().stepState, 0);
    });
}

TEST(PlayerPlay, WaterUnderThePlayerIsFoundInTheRoomThatHoldsItsPosition) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        setup.powerups = {kPowerupSwimSuit};
        setup.prepare = [](Player& player) {
            KorvanthGame* game = KorvanthGame::Get();
            EXPECT_EQ(game->GetPlayer(), &player);
            EXPECT_EQ(game->GetPowerupHolder(), &player.powerups) << "tiles ask the player";
            game->LoadCampaign(ZString("Caverns"));
            MapData& map = game->GetMapData();
            // Room (1, 1) of the caverns is flooded, and so are the last three
            // columns of room (0, 1) beside it from row 20 down; room (1, 0)
            // above it is dry, and nothing lies above row 0.
            struct Case {
                int roomX, roomY;
                float x, y;
                bool water;
            };
            const Case cases[] = {
                {1, 1, 100.0f, 20 * 8 + 4.0f, true},           // in the room
                {1, 0, 100.0f, 224 + 20 * 8 + 4.0f, true},     // below the room: its neighbour's water
                {1, 0, 100.0f, 100.0f, false},
                {1, 0, 100.0f, -20.0f, false},                 // above the map's top row: no room there
                {1, 1, -3.0f, 20 * 8 + 4.0f, true},            // just left of it: room (0, 1)'s pool
                {1, 1, -30.0f, 20 * 8 + 4.0f, false},          // further left: room (0, 1), open there
                {1, 1, 300.0f, -1.0f, false},                  // up and right: room (2, 0), dry
                {1, 1, 1.0e6f, -1.0e6f, false},                // far away
            };
            for (const Case& c : cases) {
                map.currentRoomX = c.roomX;
                map.currentRoomY = c.roomY;
                player.roomConditions[1] = !c.water;
                player.spatial->current.position = ZVector3(c.x, c.y, 0.0f);
                RefreshWaterState(player);
                EXPECT_EQ(player.roomConditions[1], c.water) << c.roomX << "," << c.roomY << " at " << c.x << ", " << c.y;
                EXPECT_EQ(player.underwaterPhysics, c.water);
            }
            EXPECT_FALSE(player.IsDead()) << "the suit lets it swim";
            map.currentRoomX = 0;
            map.currentRoomY = 0;
            player.spatial->current.position = ZVector3(20.0f, 111.985f, 0.0f);
            player.roomConditions[1] = false;
            ApplyRoomConditions(player, false, false);
        };
        const auto r = RunPlay(setup, "1 -\n");
        ASSERT_TRUE(Played(r));
    });
}

namespace {

std::vector<RoomExit> gExits;
void RecordExit(Player&, const RoomExit& exit) { gExits.push_back(exit); }

}  // namespace

TEST(PlayerPlay, WalkingOutOfTheRoomHandsTheExitToTheTransition) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = std::vector<std::string>{kWall} + Rows(13, "#...............................") +
                     std::vector<std::string>{"#.......................P.......", kWall};
        setup.prepare = [](Player& player) {
            KorvanthGame::Get()->GetMapData().currentRoomX = 4;
            KorvanthGame::Get()->GetMapData().currentRoomY = 2;
            player.facingLeft = false;
            GetRoomTransitionHook() = &RecordExit;
        };
        const auto r = RunPlay(setup, "60 right\n");
        GetRoomTransitionHook() = nullptr;
        ASSERT_TRUE(Played(r));
        ASSERT_FALSE(gExits.empty()) << "it left the room";
        const RoomExit& exit = gExits.front();
        EXPECT_EQ(exit.targetX, 5);
        EXPECT_EQ(exit.targetY, 2);
        EXPECT_TRUE(exit.horizontal);
        EXPECT_EQ(exit.crossing.x, 0.0f) << "arrives on the next room's left side";
        EXPECT_NEAR(exit.crossing.y, 120.0f - 8.0f - 0.015f, 0.01f);
        EXPECT_NEAR(exit.velocity.x, 88.32f, 0.01f);
    });
}

TEST(PlayerPlay, TheCameraFollowsAcrossAWideArea) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        setup.prepare = [](Player&) { KorvanthGame::Get()->GetMapData().rectBounds[3] = 512.0f; };
        std::vector<float> cameraX;
        std::vector<float> playerX;
        setup.afterFrame = [&](Player& player, int) {
            cameraX.push_back(player.camera->camera->GetPosition().x);
            playerX.push_back(player.spatial->previousInterpolated.position.x);
        };
        const auto r = RunPlay(setup, "150 right\n");
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(cameraX.size(), 150u);
        EXPECT_EQ(cameraX[0], 128.0f) << "held at the area's left edge";
        // Once the player is 12 pixels past the centre, the camera keeps that distance.
        EXPECT_GT(playerX.back(), 160.0f);
        EXPECT_NEAR(cameraX.back(), playerX.back() - 12.0f, 1e-3f);
    });
}

TEST(PlayerPlay, TheLastSafePlaceIsKeptOnGroundInASafeRoomAndScriptsFindThePlayer) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        setup.prepare = [](Player& player) {
            EXPECT_EQ(GetGamePlayerHandle(), player.GetHandle()) << "the \"Player\" operand";
            player.roomConditions[0] = false;
        };
        float before = 0.0f;
        ZVector2 safe;
        float safeTime = 0.0f;
        setup.afterFrame = [&](Player& player, const int frame) {
            if (frame == 9) {
                before = player.lastSafeTime;
                player.roomConditions[0] = true;  // a safe room from here on
            }
            if (frame == 19) {
                safe = player.lastSafePosition;
                safeTime = player.lastSafeTime;
            }
        };
        const auto r = RunPlay(setup, "10 right\n10 right\n20 right jump\n");
        ASSERT_TRUE(Played(r));
        EXPECT_EQ(before, -1000.0f) << "nothing kept outside a safe room";
        EXPECT_NEAR(safe.x, r.samples[19].position.x, 1e-3f);
        EXPECT_NEAR(safe.y, r.samples[19].position.y, 1e-3f);
        EXPECT_GT(safeTime, 0.0f);
    });
}

TEST(PlayerPlay, ALandingRaisesDustAtTheFeetForAMoment) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        // The effects alive after each frame (the hall has nothing else that animates).
        std::vector<int> alive;
        std::vector<float> dustY;
        std::vector<float> playerY;
        setup.afterFrame = [&](Player& player, int32_t) {
            int count = 0;
            for (ZEntity* entity : KorvanthGame::Get()->GetEntityList()) {
                if (GetComponent<ZAnimComponent>(entity) == nullptr) continue;
                ++count;
                dustY.push_back(GetComponent<ZSpatialComponent>(entity)->current.position.y);
                playerY.push_back(player.spatial->current.position.y);
            }
            alive.push_back(count);
        };
        const auto r = RunPlay(setup, "50 jump\n60 -\n");
        ASSERT_TRUE(Played(r));
        const auto first = std::find(alive.begin(), alive.end(), 1);
        ASSERT_NE(first, alive.end()) << "no dust on landing";
        const auto landed = std::find_if(r.samples.begin(), r.samples.end(), [](const PlaySample& s) {
            return s.frame > 5 && s.grounded;
        });
        ASSERT_NE(landed, r.samples.end());
        EXPECT_EQ(first - alive.begin(), landed->frame) << "raised on the landing's frame";
        EXPECT_EQ(*std::max_element(alive.begin(), alive.end()), 1) << "one puff for one landing";
        EXPECT_FLOAT_EQ(dustY.front(), playerY.front() + 6.0f) << "at the feet";
        // A quarter of a second, then it is gone from the game's list.
        const auto shown = std::count(alive.begin(), alive.end(), 1);
        EXPECT_NEAR(static_cast<double>(shown), 15.0, 2.0);
        EXPECT_EQ(alive.back(), 0);
    });
}
