#include <gtest/gtest.h>

#include "game/player/PlayerControls.h"
#include "game/player/PlayerOverworld.h"

TEST(PlayerFormulas, PressingUpOrDownTakesADeadZoneOffTheWalkInput) {
    struct Case {
        float right, left, enter, down, h;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0.0f, 0.0f, 1.0f},     // plain walk
        {0.0f, 0.6f, 0.0f, 0.0f, -0.6f},    // left at 0.6
        {1.0f, 1.0f, 0.0f, 0.0f, 0.0f},     // both cancel
        {0.5f, 0.0f, 0.0f, 1.0f, 0.0f},     // half right, fully down: no walk
        {1.0f, 0.0f, 0.0f, 1.0f, 1.0f},     // the part above 0.9 stretched to 0..1
        {0.95f, 0.0f, 1.0f, 0.0f, 0.5f},    // up counts like down
        {0.0f, 0.8f, 0.0f, 0.5f, -0.6f},    // (0.8 - 0.5) / 0.5 to the left
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(SideViewInput(c.right, c.left, c.enter, c.down), c.h, 1e-5f)
            << c.right << " " << c.left << " " << c.enter << " " << c.down;
    }
}

TEST(PlayerFormulas, ForcedInputFadesWithTheSquareRootOfWhatIsLeft) {
    EXPECT_FLOAT_EQ(BlendForcedInput(0.0f, 1.0f, 0.3f, 0.3f), 1.0f);
    EXPECT_FLOAT_EQ(BlendForcedInput(-1.0f, 1.0f, 0.075f, 0.3f), 0.0f);  // w = 0.5
    EXPECT_FLOAT_EQ(BlendForcedInput(-1.0f, 1.0f, 0.0f, 0.3f), -1.0f);
}

TEST(PlayerFormulas, WalkCycleRunsAtNineFramesASecondAndHalfUnderWater) {
    EXPECT_NEAR(AdvanceWalkPhase(0.0f, 1.0f, 0.0f, false, 0.5f), 4.5f, 1e-5f);
    EXPECT_NEAR(AdvanceWalkPhase(0.0f, -1.0f, 0.0f, true, 0.5f), 2.25f, 1e-5f);
    EXPECT_NEAR(AdvanceWalkPhase(5.5f, 0.0f, 1.0f, false, 0.1f), 0.4f, 1e-5f);  // wraps at 6
}

TEST(PlayerFormulas, SlipperyGroundSpeedFollowsSlowlyAndStops) {
    // 1.5 per second over a 1/60 s step: 2.5 % of the way.
    EXPECT_NEAR(SmoothGroundSpeed(0.0f, 88.32f, 1.5f, 1.0f / 60.0f), 2.208f, 1e-3f);
    EXPECT_NEAR(SmoothGroundSpeed(88.32f, 0.0f, 1.5f, 1.0f / 60.0f), 86.112f, 1e-3f);
    EXPECT_EQ(SmoothGroundSpeed(3.9f, 0.0f, 1.5f, 1.0f / 60.0f), 0.0f);
    EXPECT_NE(SmoothGroundSpeed(3.9f, 1.0f, 1.5f, 1.0f / 60.0f), 0.0f);  // still pushed
    EXPECT_EQ(SmoothGroundSpeed(0.0f, 10.0f, 1000.0f, 1.0f), 10.0f);      // the blend clamps at 1
}

TEST(PlayerFormulas, OverworldTargetsLandOnCellCentres) {
    struct Case {
        float t, centre;
    };
    const Case cases[] = {{8.0f, 8.0f}, {24.0f, 24.0f}, {30.0f, 24.0f}, {33.0f, 40.0f}, {-3.0f, -8.0f}, {0.0f, 8.0f}};
    for (const Case& c : cases) {
        EXPECT_EQ(SnapToCellCentre(c.t), c.centre) << c.t;
    }
}
