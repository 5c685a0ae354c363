#include <gtest/gtest.h>

#include <cmath>

#include "game/player/PlayerCamera.h"
#include "game/world/MapData.h"

TEST(PlayerCamera, TheCameraFollowsInsideADeadZoneAndStaysInTheArea) {
    struct Case {
        const char* what;
        float right, bottom;  // the area from (0, 0), in pixels
        bool overworld, keepOffset;
        ZVector3 camera, player;
        ZVector3 target;
        bool stillOffset;
    };
    const Case cases[] = {
        {"centred", 512, 448, false, false, {128, 112, -17}, {128, 112, 0}, {128, 112, -17}, false},
        {"right of the zone", 512, 448, false, false, {128, 112, -17}, {200, 112, 0}, {188, 112, -17}, false},
        {"inside the zone", 512, 448, false, false, {195, 112, -17}, {200, 100, 0}, {195, 112, -17}, false},
        {"the area's left edge", 512, 448, false, false, {128, 112, -17}, {100, 112, 0}, {128, 112, -17}, false},
        {"down and right", 512, 448, false, false, {128, 112, -17}, {300, 300, 0}, {288, 272, -17}, false},
        {"taller zone in side view", 512, 448, false, false, {128, 112, 0}, {128, 200, 0}, {128, 172, 0}, false},
        {"overworld zone", 512, 448, true, false, {128, 112, 0}, {128, 200, 0}, {128, 188, 0}, false},
        {"one room: always its centre", 256, 224, false, false, {128, 112, 0}, {250, 10, 0}, {128, 112, 0}, false},
        {"narrower than a screen", 200, 224, false, false, {128, 112, 0}, {150, 112, 0}, {72, 112, 0}, false},
        {"kept offset", 512, 448, false, true, {300, 112, 0}, {200, 112, 0}, {300, 112, 0}, true},
        {"offset back in the zone", 512, 448, false, true, {205, 112, 0}, {200, 112, 0}, {205, 112, 0}, false},
    };
    for (const Case& c : cases) {
        MapData map;
        map.rectBounds[0] = 0.0f;
        map.rectBounds[1] = c.bottom;
        map.rectBounds[2] = 0.0f;
        map.rectBounds[3] = c.right;
        bool still = !c.stillOffset;
        const ZVector3 t = ComputeCameraTarget(c.camera, c.player, map, c.overworld, c.keepOffset, still);
        EXPECT_EQ(t, c.target) << c.what;
        if (c.keepOffset) {
            EXPECT_EQ(still, c.stillOffset) << c.what;
        }
    }
}

// The offset that brings the camera to the centre of the screen a place lies
// on: the place is wrapped onto one screen and the camera with it.
TEST(PlayerCamera, TheScreenOffsetCentresTheScreenThePlaceLiesOn) {
    struct Case {
        const char* what;
        ZVector3 position, camera;
        bool enabled;
        ZVector3 offset;
    };
    const Case cases[] = {
        {"centred already", {128, 112, 0}, {128, 112, -17}, true, {0, 0, -17}},
        {"second screen across", {300, 100, 0}, {290, 112, -17}, true, {128 - 34, 0, -17}},
        {"left of the first", {-10, 100, 0}, {-20, 112, 0}, true, {128 - 236, 0, 0}},
        {"two screens down", {100, 500, 0}, {128, 480, 0}, true, {0, 112 - 32, 0}},
        {"above the first", {100, -300, 0}, {128, -290, 0}, true, {0, 112 - 158, 0}},
        {"on the far edge", {256, 224, 0}, {200, 200, 0}, true, {-72, -88, 0}},
        {"off", {300, 500, 0}, {290, 480, -17}, false, {0, 0, 0}},
        {"not a place", {NAN, 100, 0}, {128, 112, 0}, true, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputeScreenOffset(c.position, c.camera, c.enabled), c.offset) << c.what;
    }
}

// After a door the camera keeps the offset it had from the last frame's drawn
// player, but the zone it clamps to is around this frame's.
TEST(PlayerCamera, TheKeptOffsetIsMeasuredFromTheLastFrameAndTheZoneFollowsThisOne) {
    MapData map;
    map.rectBounds[1] = 448.0f;
    map.rectBounds[3] = 512.0f;
    bool still = false;
    // 40 pixels off last frame: the zone widens to 40; the player moved 2 on.
    const ZVector3 t = ComputeCameraTarget(ZVector3(240, 112, 0), ZVector3(202, 112, 0), ZVector3(200, 112, 0), map,
                                           false, true, still);
    EXPECT_EQ(t, ZVector3(240, 112, 0));
    EXPECT_TRUE(still);
    // Following: the zone of 12 is around this frame's place.
    const ZVector3 u = ComputeCameraTarget(ZVector3(188, 112, 0), ZVector3(203, 112, 0), ZVector3(200, 112, 0), map,
                                           false, false, still);
    EXPECT_EQ(u, ZVector3(191, 112, 0));
}
