// Where the stand-in CRT glass sits on screens of several shapes.

#include <gtest/gtest.h>

#include "game/display/TubeQuad.h"

TEST(TubeQuadTest, FourByThreeInTheMiddleOfAnyScreen) {
    struct Case {
        int32_t width, height;
        float halfWidth, halfHeight;
    };
    const Case cases[] = {
        {1280, 720, 0.75f, 1.0f},       // wider: bars beside it
        {1920, 1080, 0.75f, 1.0f},
        {640, 480, 1.0f, 1.0f},         // the tube's own shape
        {720, 720, 1.0f, 0.75f},        // narrower: bars above and below
        {0, 0, 1.0f, 1.0f},             // no screen yet
        {-5, 100, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        float hw = 0.0f, hh = 0.0f;
        TubeQuad::Extents(c.width, c.height, hw, hh);
        EXPECT_FLOAT_EQ(hw, c.halfWidth) << c.width << "x" << c.height;
        EXPECT_FLOAT_EQ(hh, c.halfHeight) << c.width << "x" << c.height;
    }
}
