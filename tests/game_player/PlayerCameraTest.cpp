#include <gtest/gtest.h>

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
