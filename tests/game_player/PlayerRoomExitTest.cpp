#include <gtest/gtest.h>

#include "game/player/PlayerRoomExit.h"
#include "game/world/MapData.h"

namespace {

// Rooms (0, 0), (1, 0) and (0, 1); the current room (0, 0) alone in its area.
// Each edge of (0, 0) carries its side as its kind, so the tests see which
// edge an exit names.
void ThreeRooms(MapData& map) {
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}}) {
        RoomData& room = map.GetOrAddRoom(x, y);
        for (uint32_t side = 0; side < 4; ++side) room.edges[side].kind = 10 * (x * 10 + y) + side + 1;
    }
    map.rectBounds[0] = 0.0f;    // top
    map.rectBounds[1] = 224.0f;  // bottom
    map.rectBounds[2] = 0.0f;    // left
    map.rectBounds[3] = 256.0f;  // right
}

}  // namespace

TEST(PlayerRoomExit, MovesOutOfTheRoomNameTheRoomTheEdgeAndTheArrival) {
    struct Case {
        const char* what;
        ZVector3 from, to;
        bool exits;
        int32_t targetX, targetY;
        uint32_t edgeKind;
        bool horizontal;
        float x, y;  // the crossing in the target room
    };
    const Case cases[] = {
        {"right", {250, 100, 0}, {258, 100, 0}, true, 1, 0, 4, true, 0.0f, 100.0f},
        {"left", {2, 100, 0}, {-3, 100, 0}, true, -1, 0, 3, true, 256.0f, 100.0f},
        {"down", {100, 220, 0}, {104, 226, 0}, true, 0, 1, 2, false, 100.0f + 4.0f * 4.0f / 6.0f, 0.0f},
        {"up, with no room above", {100, 2, 0}, {100, -3, 0}, false, 0, 0, 0, true, 0, 0},
        {"inside", {100, 100, 0}, {101, 100, 0}, false, 0, 0, 0, true, 0, 0},
        {"standing still", {258, 100, 0}, {258, 100, 0}, false, 0, 0, 0, true, 0, 0},
        // Above the top, where no room is, then out to the right: the row is
        // taken as the room's own, and the arrival keeps its height.
        {"right, above the top", {250, -5, 0}, {258, -6, 0}, true, 1, 0, 4, true, 0.0f, -5.75f},
    };
    for (const Case& c : cases) {
        MapData map;
        ThreeRooms(map);
        RoomExit exit;
        const ZVector3 v(3.0f, 4.0f, 0.0f);
        ASSERT_EQ(FindRoomExit(map, c.from, c.to, v, v, exit), c.exits) << c.what;
        if (!c.exits) continue;
        EXPECT_EQ(exit.targetX, c.targetX) << c.what;
        EXPECT_EQ(exit.targetY, c.targetY) << c.what;
        EXPECT_EQ(exit.edge.kind, c.edgeKind) << c.what;
        EXPECT_EQ(exit.horizontal, c.horizontal) << c.what;
        EXPECT_NEAR(exit.crossing.x, c.x, 1e-3f) << c.what;
        EXPECT_NEAR(exit.crossing.y, c.y, 1e-3f) << c.what;
        EXPECT_EQ(exit.velocity, v) << c.what;
    }
}

TEST(PlayerRoomExit, TheTopLeadsOnWhereTheEdgeNamesADestinationAndAnAreaKeepsItsRooms) {
    MapData map;
    ThreeRooms(map);
    map.GetOrAddRoom(0, 0).edges[kEdgeTop].hasPointA = 1;
    RoomExit exit;
    ASSERT_TRUE(FindRoomExit(map, {100, 2, 0}, {100, -3, 0}, {}, {}, exit));
    EXPECT_EQ(exit.targetY, -1);
    EXPECT_EQ(exit.crossing.y, 224.0f);
    EXPECT_FALSE(exit.horizontal);

    // An area two rooms wide: crossing into its second room is no exit.
    map.rectBounds[3] = 512.0f;
    EXPECT_FALSE(FindRoomExit(map, {250, 100, 0}, {258, 100, 0}, {}, {}, exit));
    EXPECT_TRUE(FindRoomExit(map, {510, 100, 0}, {514, 100, 0}, {}, {}, exit));
    EXPECT_EQ(exit.targetX, 2);
    EXPECT_EQ(exit.crossing.x, 0.0f);
}
