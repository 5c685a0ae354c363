// Areas taller than one room, played through the real start-up: the rooms
// below the current one lie one room height (224 px) down, so a player
// dropped into a lower room lands on that room's floor and stays in the area.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapData.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

// Builds an area of width x height rooms on the current map, from room
// (0, 0): open rooms, the lowest row of them with a solid floor (tile row 27),
// then loads it from its top-left room.
void LoadTallArea(const int32_t width, const int32_t height) {
    KorvanthGame* const game = KorvanthGame::Get();
    MapData& map = game->GetMapData();
    map.ClearRooms();
    map.areas.Clear();
    PaletteData palette;  // sheet tile (1, 0) is solid, (0, 0) open
    palette.collisionStride = 1;
    palette.collisionCount = 2;
    palette.collision.PushBack(0);
    palette.collision.PushBack(1);
    map.palettes.PushBack(palette);
    const int32_t index = static_cast<int32_t>(map.palettes.Count()) - 1;
    for (int32_t x = 0; x < width; ++x) {
        for (int32_t y = 0; y < height; ++y) {
            RoomData& room = map.GetOrAddRoom(x, y);
            for (MapCell& cell : room.background) cell = MapCell{0, 0, kCellSheet, index};
            for (MapCell& cell : room.foreground) cell = MapCell{-1, -1, kCellSheet, index};
            if (y != height - 1) continue;
            for (int32_t column = 0; column < kRoomTilesX; ++column) {
                room.background[column * kRoomTilesY + 27] = MapCell{1, 0, kCellSheet, index};
            }
        }
    }
    MapArea area;
    area.right = width;
    area.bottom = height;
    map.areas.PushBack(area);
    map.currentRoomX = 0;
    map.currentRoomY = 0;
    game->LoadRoom();
}

TEST(TallAreaGl, APlayerDroppedIntoALowerRoomLandsOnItsFloor) {
    const struct {
        const char* what;
        int32_t width, height;
        float x;  // where it is dropped, from the top-left room's corner
    } cases[] = {{"1 x 2", 1, 2, 128.0f}, {"2 x 2, the lower right room", 2, 2, 400.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gametest::RunInChild([&c] {
            playtest::PlaySetup setup;
            setup.room = {"P"};
            const float floorTop = 224.0f * static_cast<float>(c.height - 1) + 216.0f;
            setup.prepare = [&c](Player& player) {
                LoadTallArea(c.width, c.height);
                const float dropY = 224.0f * static_cast<float>(c.height - 1) + 100.0f;
                SetCheckpointPosition(player, c.x, dropY, false);
                player.spatial->current.position = ZVector3(c.x, dropY, 0.0f);
                player.spatial->current.velocity = ZVector3();
                player.SettleMotion();
            };
            const playtest::PlayResult r = playtest::RunPlay(setup, "60 -\n");
            ASSERT_TRUE(r.started) << r.error;
            ASSERT_FALSE(r.samples.empty());
            const playtest::PlaySample& last = r.samples.back();
            EXPECT_TRUE(last.grounded);
            EXPECT_NEAR(last.position.y, floorTop - 8.0f, 0.1f) << "standing on the lower room's floor";
            EXPECT_NEAR(last.position.x, c.x, 0.1f);
            for (const playtest::PlaySample& s : r.samples) {
                ASSERT_FALSE(s.transition) << "left the area at frame " << s.frame;
                ASSERT_EQ(s.roomX, 0);
                ASSERT_EQ(s.roomY, 0);
                ASSERT_FALSE(s.dead);
            }
        });
    }
}

// The campaign's cellar, Sunken (5, 2) over (5, 3), as the player sees it:
// dropped through the hole onto the lower room's floor, it is drawn standing
// on the floor's tiles, not sunk into them. The frame with the player and the
// same frame without it give the player's outline; the frame without it gives
// the floor's top edge under the player. KORV_PLAYER_SHOTS names a folder for
// the picture.
TEST(TallAreaGl, ThePlayerIsDrawnStandingOnTheLowerRoomsFloor) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 5, 2, 3, 24);
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        screenshot::Shot with, without;
        constexpr int32_t kShot = 260;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame == kShot) {
                with = screenshot::Take();
                SetPlayerVisible(player, false);
            } else if (frame == kShot + 1) {
                without = screenshot::Take();
                SetPlayerVisible(player, true);
            }
        };
        // Over the hole, then down through it.
        const playtest::PlayResult r = playtest::RunPlay(setup, "20 -\n70 right\n200 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GT(r.samples.size(), static_cast<size_t>(kShot));
        EXPECT_TRUE(r.samples[kShot].grounded);
        EXPECT_GT(r.samples[kShot].position.y, 224.0f) << "in the lower room";
        screenshot::Keep(with, "KORV_PLAYER_SHOTS", "tall-area.png");
        ASSERT_FALSE(with.pixels.empty());
        ASSERT_EQ(with.pixels.size(), without.pixels.size());
        int32_t left = with.width, right = -1, top = with.height, bottom = -1;
        for (int32_t y = 0; y < with.height; ++y) {
            for (int32_t x = 0; x < with.width; ++x) {
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(with.width) + static_cast<size_t>(x);
                if (with.pixels[i] == without.pixels[i]) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        ASSERT_GE(right, 0) << "the player is not drawn";
        const float scale = static_cast<float>(with.height) / 224.0f;  // window pixels a game pixel, at most
        EXPECT_LE(right - left, static_cast<int32_t>(24.0f * scale)) << "one figure, nothing else moved";
        // Down the middle of the player, past its feet: the first pixel that is
        // not the backdrop behind its head is the floor's top.
        const int32_t mid = (left + right) / 2;
        const auto at = [&without, mid](const int32_t y) {
            return without.pixels[static_cast<size_t>(y) * static_cast<size_t>(without.width) + static_cast<size_t>(mid)];
        };
        int32_t floor = top;
        while (floor + 1 < without.height && at(floor) == at(top)) ++floor;
        EXPECT_GT(floor, (top + bottom) / 2) << "the floor is under the player";
        // The figure (24 px) is drawn 4 px taller below than the body it stands
        // on (16 px): its lowest row lies that much over the floor's top edge.
        const float below = static_cast<float>(bottom + 1 - floor) / scale;
        EXPECT_GE(below, 0.0f) << top << ".." << bottom << ", floor at " << floor;
        EXPECT_LE(below, 6.0f) << "sunk into the floor: " << top << ".." << bottom << ", floor at " << floor;
    });
}

}  // namespace
