// Frame pacing on the fake window, which gives the renderer no device: the
// loop must wait for the display's refresh instead of spinning. The fake
// clock's sleeps advance it, so a paced frame shows as a longer true delta.

#include <gtest/gtest.h>

#include "RunScenarios.h"

namespace gametest {
namespace {

TEST(FramePacing, WithoutADeviceFramesComeAtTheRefreshRate) {
    struct Case {
        const char* name;
        uint32_t refreshRate;  // the desktop mode's; 0: unknown
        double frameSeconds;   // the work of one frame
        bool vsync;
        double expectedDelta;  // of every frame after the second (the first paced one)
    };
    const Case cases[] = {
        {"60 Hz, quick frames", 60, 0.001, true, 1.0 / 60},
        {"unknown rate counts as 60 Hz", 0, 0.001, true, 1.0 / 60},
        {"144 Hz", 144, 0.001, true, 1.0 / 144},
        {"VSync off: no device still never spins", 60, 0.002, false, 1.0 / 60},
        {"slow frames are not slowed further", 60, 0.05, true, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run;
            run.Configure(c.vsync ? "" : "[Video]\r\nVSync: false\r\n");
            platform::window::DisplayMode desktop{1920, 1080, 32, c.refreshRate};
            run.fakeWindow->SetDesktopMode(desktop);
            run.game->frameSeconds = {c.frameSeconds};
            run.game->quitAfterFrames = 8;
            run.Run();

            ASSERT_EQ(run.game->frames.size(), 8u);
            for (size_t i = 2; i < run.game->frames.size(); ++i) {
                EXPECT_NEAR(run.game->frames[i].trueDelta, c.expectedDelta, 2e-6) << "frame " << i + 1;
            }
            EXPECT_EQ(run.clock.SleepCount() > 0, c.frameSeconds < c.expectedDelta);
        });
    }
}

TEST(FramePacing, CanBeSwitchedOffForMeasurements) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->SetFramePacing(false);
        run.game->frameSeconds = {0.001};
        run.game->quitAfterFrames = 5;
        run.Run();

        EXPECT_EQ(run.clock.SleepCount(), 0u);
        ASSERT_EQ(run.game->frames.size(), 5u);
        EXPECT_NEAR(run.game->frames[4].trueDelta, 0.001, 1e-6);
    });
}

// Minimized, nothing is drawn or presented: the loop still waits.
TEST(FramePacing, AMinimizedWindowDoesNotSpin) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->frameSeconds = {0.001};
        run.game->afterFrame = [](TestGame&, const int frame) {
            if (frame == 2) {
                platform::window::GetWindowSystem()->ShowWindow(platform::window::SW_MINIMIZE);
            }
        };
        run.game->quitAfterPasses = 6;
        run.Run();

        EXPECT_EQ(run.game->drawnFrames, 2);
        ASSERT_EQ(run.game->frames.size(), 6u);
        for (size_t i = 2; i < run.game->frames.size(); ++i) {
            EXPECT_NEAR(run.game->frames[i].trueDelta, 1.0 / 60, 2e-6) << "pass " << i + 1;
        }
    });
}

}  // namespace
}  // namespace gametest
