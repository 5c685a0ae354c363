// The player played through the whole game: the harness starts the game,
// puts the player in a small room and holds the controls of a script, and
// the positions it reads back after each fixed step are checked against the
// movement rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "entity/ZAnimComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPopupComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/DemoIdleMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerOverworld.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerRoomExit.h"
#include "game/player/PlayerTransition.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapData.h"
#include "support/PlayHarness.h"
#include "menu/ZMenuMgr.h"
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

// Letting go of Jump: before the apex the jump is cut by how far it got
// (gravity between full and the released-jump gravity, twice it here); from
// the apex time on it counts as held to its full height and falls at full
// gravity. From the step after the release the fall is one of constant
// gravity, so each position follows y + v t + g t^2 / 2 from there.
TEST(PlayerPlay, LettingGoOfJumpBeforeAtOrAfterTheApex) {
    gametest::RunInChild([] {
        const PlayerPhysicsSet& set = PlatformerPhysics();
        const float h = set.heights[0];
        const float g = 2.0f * h / (set.apexTime * set.apexTime);
        const float released = g / set.minimumFraction;
        const float floorY = 120.0f - 8.0f - 0.015f;
        struct Case {
            const char* what;
            int held;  // frames Jump is held, from the press
        };
        const Case cases[] = {
            {"before the apex", 8},
            {"at the apex", 21},
            {"after the apex", 30},
        };
        for (const Case& c : cases) {
            PlaySetup setup;
            setup.room = kHall;
            const auto r = RunPlay(setup, std::to_string(c.held) + " jump\n40 -\n");
            ASSERT_TRUE(Played(r));
            const size_t let = static_cast<size_t>(c.held);
            // How far it had risen when the release was read.
            const float risen = floorY - r.samples[let - 1].position.y;
            const float heldTime = static_cast<float>(c.held) * kStep;
            float f = std::clamp((risen - set.minimumFraction * h) / ((1.0f - set.minimumFraction) * h), 0.0f, 1.0f);
            if (heldTime > set.apexTime + 0.5f * kStep) f = 1.0f;
            const float gravity = released + (g - released) * f;
            const PlaySample& from = r.samples[let];
            for (size_t n = 1; n <= 8; ++n) {
                const float t = static_cast<float>(n) * kStep;
                const PlaySample& s = r.samples[let + n];
                ASSERT_FALSE(s.grounded) << c.what;
                EXPECT_NEAR(s.position.y, from.position.y + from.velocity.y * t + 0.5f * gravity * t * t, 0.02f)
                    << c.what << ", step " << n << " after letting go";
                EXPECT_NEAR(s.velocity.y - r.samples[let + n - 1].velocity.y, gravity * kStep, 0.01f)
                    << c.what << ", step " << n << " after letting go";
            }
            if (c.held >= 21) {
                EXPECT_NEAR(gravity, g, 0.01f * g) << c.what << ": the full height's gravity";
            } else {
                EXPECT_GT(gravity, 1.5f * g) << c.what << ": cut short";
            }
        }
    });
}

TEST(PlayerPlay, CoyoteTimeAndDroppingThroughAOneWayPlatform) {
    gametest::RunInChild([] {
        // A ledge ending at x = 48, the floor 64 pixels below it.
        PlaySetup setup;
        setup.room = std::vector<std::string>{kWall} + Rows(7) +
                     std::vector<std::string>{"#..P...........................#", "######.........................#"} +
                     Rows(7) + std::vector<std::string>{kWall};
        // Walk off the ledge: the first step in the air.
        auto r = RunPlay(setup, "40 right\n");
        ASSERT_TRUE(Played(r));
        size_t left = 0;
        while (left < r.samples.size() && r.samples[left].grounded) ++left;
        ASSERT_GT(left, 5u) << "walked on the ledge first";
        ASSERT_LT(left, 30u) << "walked off";
        // A press up to 0.1 s after leaving still jumps, with the jump's full
        // speed, and does not use up the jump; later it falls on.
        struct Press {
            size_t after;  // steps after the first one in the air
            bool jumps;
        };
        for (const Press& p : {Press{1, true}, Press{5, true}, Press{7, false}, Press{12, false}}) {
            const size_t at = left + p.after;
            r = RunPlay(setup, std::to_string(at) + " right\n1 right jump\n20 right jump\n");
            ASSERT_TRUE(Played(r));
            for (size_t i = left; i < at; ++i) ASSERT_FALSE(r.samples[i].grounded) << "step " << i;
            const float speed = 2.0f * PlatformerPhysics().heights[0] / PlatformerPhysics().apexTime;
            if (p.jumps) {
                EXPECT_NEAR(r.samples[at].velocity.y, -speed, 20.0f) << p.after << " steps after leaving";
                EXPECT_EQ(r.samples[at].jumpsLeft, 0) << p.after << ": the ledge's one jump";
            } else {
                EXPECT_GT(r.samples[at].velocity.y, 0.0f) << p.after << " steps after leaving: falls on";
            }
        }

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
        for (size_t i = 20; i < 24; ++i) {
            EXPECT_TRUE(r.samples[i].onWall) << "step " << i;
        }
        EXPECT_LT(r.samples[25].velocity.x, -10.0f) << "pushed away from the wall";
        EXPECT_LT(r.samples[25].velocity.y, 0.0f) << "and up";

        // For 0.15 s after letting go (nine steps) the input still presses
        // into the wall; then it lets go.
        r = RunPlay(setup, "20 right jump\n20 -\n");
        ASSERT_TRUE(Played(r));
        for (size_t i = 19; i < 29; ++i) {
            EXPECT_TRUE(r.samples[i].onWall) << "step " << i;
            EXPECT_FALSE(r.samples[i].grounded) << "step " << i;
        }
        for (size_t i = 30; i < 40; ++i) {
            EXPECT_FALSE(r.samples[i].onWall) << "step " << i << ": let go";
        }

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
        auto r = RunPlay(setup, "40 right\n20 -\n70 jump\n");
        ASSERT_TRUE(Played(r));
        size_t in = 0;
        while (in < r.samples.size() && !r.samples[in].underwaterPhysics) ++in;
        ASSERT_LT(in, 60u) << "it entered the water";
        EXPECT_TRUE(r.samples[in].inWater);
        EXPECT_FALSE(r.samples[in].dead);
        // It sinks at the underwater set's own gravity (a quarter of the
        // released-jump gravity there), and walks at half speed.
        const PlayerPhysicsSet& water = UnderwaterPhysics();
        const float sink = 2.0f * water.heights[0] / (water.apexTime * water.apexTime);
        EXPECT_NEAR(sink, 105.98f, 0.01f);
        ASSERT_GT(40u, in + 12) << "still walking for a while under water";
        for (size_t i = in + 2; i < in + 12; ++i) {
            ASSERT_FALSE(r.samples[i].grounded) << "step " << i;
            EXPECT_NEAR(r.samples[i].velocity.y - r.samples[i - 1].velocity.y, sink * kStep, 1e-3f) << "step " << i;
        }
        for (size_t i = in + 1; i < 40; ++i) {
            EXPECT_NEAR(r.samples[i].velocity.x, 44.16f, 1e-3f) << "step " << i;
            EXPECT_NEAR(r.samples[i].position.x - r.samples[i - 1].position.x, 44.16f * kStep, 1e-3f) << "step " << i;
        }
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

// An overworld step that ends past the room's side takes the player into the
// neighbour room, on the same cell there. The fixture is an empty room (4, 2)
// of the overworld's map with a room on each side.
TEST(PlayerPlay, OverworldStepsOffEachOpenSideArriveInTheNeighbourRoom) {
    gametest::RunInChild([] {
        struct Case {
            const char* control;
            ZVector3 start;
            int32_t roomX, roomY;
            ZVector3 arrival;
        };
        const Case cases[] = {
            {"right", ZVector3(248.0f, 104.0f, 0.0f), 5, 2, ZVector3(8.0f, 104.0f, 0.0f)},
            {"left", ZVector3(8.0f, 104.0f, 0.0f), 3, 2, ZVector3(248.0f, 104.0f, 0.0f)},
            {"down", ZVector3(120.0f, 216.0f, 0.0f), 4, 3, ZVector3(120.0f, 8.0f, 0.0f)},
            {"up", ZVector3(120.0f, 8.0f, 0.0f), 4, 1, ZVector3(120.0f, 216.0f, 0.0f)},
        };
        for (const Case& c : cases) {
            PlaySetup setup;
            setup.room = Rows(27, std::string(32, '.')) + std::vector<std::string>{"P" + std::string(31, '.')};
            setup.prepare = [&c](Player& player) {
                KorvanthGame* const game = KorvanthGame::Get();
                game->LoadCampaign(ZString("Overworld"));
                MapData& map = game->GetMapData();
                for (const auto& [x, y] : {std::pair{4, 2}, {5, 2}, {3, 2}, {4, 1}, {4, 3}}) map.GetOrAddRoom(x, y);
                map.currentRoomX = 4;
                map.currentRoomY = 2;
                game->LoadRoom();
                const float bounds[4] = {0.0f, 224.0f, 0.0f, 256.0f};
                std::copy(bounds, bounds + 4, map.rectBounds);
                player.spatial->current.position = c.start;
                player.spatial->ResetInterpolation();
            };
            const auto r = RunPlay(setup, std::string("15 -\n40 ") + c.control + "\n");
            ASSERT_TRUE(Played(r));
            const auto arrived = std::find_if(r.samples.begin(), r.samples.end(), [&c](const PlaySample& s) {
                return s.roomX == c.roomX && s.roomY == c.roomY;
            });
            ASSERT_NE(arrived, r.samples.end()) << c.control << ": never reached the neighbour room";
            // The step ran its quarter second after the 0.2 s freeze.
            EXPECT_GE(arrived->frame, 12 + 15) << c.control;
            EXPECT_NEAR(arrived->position.x, c.arrival.x, 1e-3f) << c.control;
            EXPECT_NEAR(arrived->position.y, c.arrival.y, 1e-3f) << c.control;
            for (auto s = arrived; s != r.samples.end(); ++s) {
                EXPECT_EQ(s->roomX, c.roomX) << c.control << ", frame " << s->frame << ": stays there";
                EXPECT_EQ(s->roomY, c.roomY) << c.control << ", frame " << s->frame;
            }
        }
    });
}

// The shipped overworld's two rooms meet in the open land: walking east over
// the seam arrives in the second room, on the next cell.
TEST(PlayerPlay, TheShippedOverworldIsCrossedOnFoot) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Overworld", 0, 0, 29, 10);
        float startX = 0.0f;
        float startY = 0.0f;
        setup.prepare = [&](Player& player) {
            startX = player.spatial->current.position.x;
            startY = player.spatial->current.position.y;
        };
        const auto r = RunPlay(setup, "15 -\n60 right\n");
        ASSERT_TRUE(Played(r));
        EXPECT_EQ(r.samples.front().roomX, 0);
        const auto arrived = std::find_if(r.samples.begin(), r.samples.end(),
                                          [](const PlaySample& s) { return s.roomX == 1 && s.roomY == 0; });
        ASSERT_NE(arrived, r.samples.end()) << "never reached the second room from x " << startX;
        const float cells = std::ceil((256.0f - startX) / 16.0f);
        EXPECT_NEAR(arrived->position.x, startX + 16.0f * cells - 256.0f, 1e-3f);
        EXPECT_NEAR(arrived->position.y, SnapToCellCentre(startY), 1e-3f) << "on the row's cells";
        EXPECT_GT(r.samples.back().position.x, arrived->position.x) << "walks on in the second room";
        EXPECT_EQ(r.samples.back().roomX, 1);
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
            // Where the player is drawn in this frame: the camera keeps up
            // with it, not with the frame before.
            playerX.push_back(player.spatial->interpolated.position.x);
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

// In demo mode the countdown screen comes when nobody has played for 45 s:
// the player's inactivity time decides, so a held direction, on the keys or
// on a pad's stick, is play, and standing still is not.
TEST(PlayerPlay, TheDemoIdleScreenComesOnlyWhenNobodyPlays) {
    gametest::RunInChild([] {
        struct Case {
            const char* script;
            bool opens;
        };
        const Case cases[] = {
            {"2800 right\n", false},
            {"2800 pad-right\n", false},
            {"2760 -\n", true},
        };
        for (const Case& c : cases) {
            PlaySetup setup;
            setup.room = kHall;
            setup.config = "DemoMode: true\r\n";
            int32_t opened = -1;
            float mostInactive = 0.0f;
            setup.afterFrame = [&](Player& player, const int32_t frame) {
                mostInactive = std::max(mostInactive, player.inactivityTime);
                if (opened < 0 && dynamic_cast<DemoIdleMenu*>(GetMenuMgr()->GetTopMenu()) != nullptr) opened = frame;
            };
            const auto r = RunPlay(setup, c.script);
            ASSERT_TRUE(Played(r));
            if (c.opens) {
                // More than 45 s: the 2701st step of 1/60 s, give or take a
                // float's sum.
                EXPECT_GE(opened, 2699) << c.script;
                EXPECT_LE(opened, 2702) << c.script;
            } else {
                EXPECT_EQ(opened, -1) << c.script;
                EXPECT_LT(mostInactive, 0.1f) << c.script << ": held input is play";
                EXPECT_GT(r.samples.back().position.x, 200.0f) << c.script << ": it walked";
            }
        }
    });
}

// On a course the ghost keeps where the player fell and where it came back,
// both at the moment of the respawn.
TEST(PlayerPlay, ARespawnOnACourseMarksTheGhostWhereItFellAndWhereItReturns) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = {
            "################################",
            "#..............................#",
            "#..P...........................#",
            "######.........................#",
            "#.....^^^^^^^^.................#",
            "################################",
        };
        std::vector<GhostFrame> frames;
        setup.prepare = [](Player& player) {
            GetComponent<SpeedrunComponent>(&player)->SetCourseState(true, true, ZHashedString("Gallery"));
        };
        setup.afterFrame = [&frames](Player& player, int32_t) {
            frames = GetComponent<SpeedrunComponent>(&player)->GetRecording();
        };
        const auto r = RunPlay(setup, "25 right\n50 -\n");
        ASSERT_TRUE(Played(r));
        size_t died = 0;
        while (died < r.samples.size() && !r.samples[died].dead) ++died;
        ASSERT_LT(died, r.samples.size()) << "it died";
        const float fellX = r.samples[died].position.x;
        ASSERT_FALSE(frames.empty());
        const auto back = std::find_if(frames.begin() + 1, frames.end(),
                                       [](const GhostFrame& f) { return std::fabs(f.x - 28.0f) < 0.01f; });
        ASSERT_NE(back, frames.end()) << "a frame at the checkpoint after the start's";
        const GhostFrame& before = *(back - 1);
        EXPECT_NEAR(before.x, fellX, 0.01f) << "then where it fell";
        EXPECT_EQ(before.time, back->time) << "both at the respawn";
    });
}

// Pop-up messages age by the frame time while the game runs.
TEST(PlayerPlay, PopUpMessagesAgeFrameByFrame) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        ZPopupComponent* popup = nullptr;
        std::vector<float> remaining;
        setup.prepare = [&popup](Player& player) {
            popup = ::AddComponent<ZPopupComponent>(&player);
            popup->Push(ZString("first"));
            popup->Push(ZString("second"));
        };
        setup.afterFrame = [&](Player&, int32_t) {
            remaining.push_back(popup->queue.IsEmpty() ? -1.0f : popup->queue[0].remaining);
        };
        const auto r = RunPlay(setup, "330 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_NEAR(remaining[59], ZPopupComponent::kShowTime - 1.0f, 0.05f) << "a second later";
        // The first is gone after its five seconds; the second runs on.
        EXPECT_NEAR(remaining[329], 2 * ZPopupComponent::kShowTime - 5.5f, 0.1f);
    });
}

// Arriving through a door or at a respawn, the player is put onto the floor
// under it and pressed down onto it at the jump speed; the landing pose ends.
TEST(PlayerPlay, AnArrivalIsPutOntoTheFloorAndPressedOntoIt) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = kHall;
        ZVector3 velocity;
        float landing = -1.0f;
        float floorY = 0.0f;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 4) return;
            floorY = player.spatial->current.position.y;
            player.spatial->current.position.y -= 6.0f;  // arrived a little above the floor
            player.landingTimer = 0.2f;
            NudgePlayerOutOfFloor(player, 4.0f, 12.0f);
            velocity = player.spatial->current.velocity;
            landing = player.landingTimer;
        };
        const auto r = RunPlay(setup, "20 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_NEAR(velocity.y, PlatformerPhysics().heights[0] * 2.0f / PlatformerPhysics().apexTime, 0.01f)
            << "down at the jump speed";
        EXPECT_EQ(velocity.x, 0.0f);
        EXPECT_EQ(landing, 0.0f);
        for (size_t i = 5; i < r.samples.size(); ++i) {
            EXPECT_TRUE(r.samples[i].grounded) << "step " << i;
            EXPECT_NEAR(r.samples[i].position.y, floorY, 0.02f) << "step " << i;
        }
    });
}

// A platform never carries the player out of the room: carried over the
// room's open side, the player is put back where its step left it and let
// go, and no transition starts.
TEST(PlayerPlay, APlatformCarryingThePlayerOverTheRoomsSideLetsItGoInside) {
    gametest::RunInChild([] {
        PlaySetup setup;
        // The player stands on a platform 24 pixels above the floor.
        setup.room = std::vector<std::string>{kWall} + Rows(10, "#...............................") +
                     std::vector<std::string>{"#.......................P.......", "#...............................",
                                              "#...............................", "#...............................",
                                              kWall};
        std::unique_ptr<ZEntity> body;
        ZEntity* platform = nullptr;
        std::vector<bool> riding;
        std::vector<float> x;
        setup.prepare = [&](Player& player) {
            body = std::make_unique<ZEntity>();
            platform = body.get();
            ZSpatialComponent* const spatial = ::AddComponent<ZSpatialComponent>(platform);
            spatial->current.position = player.spatial->current.position + ZVector3(0.0f, 8.0f + 4.0f, 0.0f);
            spatial->ResetInterpolation();
            auto* const box = new ZCollisionBox(ZVector3(16.0f, 4.0f, 1.0f));
            box->SetOwner(spatial);
            box->blocker = [](ZCollisionInterface*, ZCollisionInterface*) { return true; };
            box->gate = [](ZCollisionInterface*, ZCollisionInterface*) { return true; };
            box->filterMask = 1;
            ::AddComponent<ZCollisionComponent>(platform)->SetPrimitive(ZHashedString().GetId(), box);
            ::AddComponent<ZBasingComponent>(platform)->parentRole = true;
            player.basing->AttachTo(platform->GetHandle());
        };
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            riding.push_back(player.basing->parent == platform);
            x.push_back(player.spatial->current.position.x);
            if (frame == 89) {
                body.reset();
                platform = nullptr;
                return;
            }
            // The platform glides right at 90 pixels a second.
            ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(platform);
            spatial->current.velocity = ZVector3(90.0f, 0.0f, 0.0f);
            spatial->Integrate(kStep);
        };
        const auto r = RunPlay(setup, "90 -\n");
        ASSERT_TRUE(Played(r));
        ASSERT_TRUE(riding.front()) << "it rode at first";
        EXPECT_GT(x[10], x[0] + 10.0f) << "carried along";
        const auto off = std::find(riding.begin(), riding.end(), false);
        ASSERT_NE(off, riding.end()) << "let go";
        const size_t at = static_cast<size_t>(off - riding.begin());
        for (size_t i = 0; i < x.size(); ++i) {
            EXPECT_LE(x[i], 256.0f) << "frame " << i << ": inside the room";
            EXPECT_EQ(r.samples[i].roomX, r.samples[0].roomX) << "frame " << i;
            EXPECT_FALSE(r.samples[i].transition) << "frame " << i;
        }
        EXPECT_GT(x[at], 254.0f) << "put back at the side";
        EXPECT_FALSE(riding.back());
        EXPECT_NEAR(x.back(), x[at], 1e-3f) << "and stays there";
    });
}

// In a conversation the choice wraps: up from the first goes to the last,
// down from the last to the first. The workshop's elder offers three.
TEST(PlayerPlay, TheDialogChoiceWrapsAtBothEnds) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Workshop", 0, 0, 7, 24);  // beside the elder
        std::vector<int32_t> selected;
        setup.afterFrame = [&selected](Player& player, int32_t) {
            selected.push_back(GetComponent<ZDialogConsumerComponent>(&player)->selected);
        };
        const auto r = RunPlay(setup,
                               "20 -\n1 interact\n70 -\n"  // he greets; the choices show
                               "1 up\n1 -\n1 up\n1 -\n"    // frames 91 and 93
                               "1 up\n1 -\n"                // frame 95: past the top
                               "1 down\n5 -\n");            // frame 97: past the bottom
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(selected.size(), 103u);
        EXPECT_EQ(selected[90], 2) << "the default choice, the last";
        EXPECT_EQ(selected[91], 1);
        EXPECT_EQ(selected[93], 0);
        EXPECT_EQ(selected[95], 2) << "up from the first: the last";
        EXPECT_EQ(selected[97], 0) << "down from the last: the first";
    });
}
