// Whole runs on the SDL window under the headless video driver.

#include <gtest/gtest.h>

#include <string>

#include "framework_game/RunScenarios.h"
#include "renderer/ZRenderer.h"

namespace gametest {
namespace {

TEST(ZBaseGameSdlRun, FixedStepsOnTheSdlWindow) {
    RunInChild([] { FixedStepRunScenario(platform::window::Backend::Sdl); });
}

// SDL has signal handlers of its own; the run's replace them while it lasts.
TEST(ZBaseGameSdlRun, TerminateSignalShutsDownCleanly) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        run.Configure("");
        run.game->quitBy = TestGame::QuitBy::Terminate;
        run.game->quitAfterFrames = 3;
        run.Run();

        EXPECT_EQ(run.game->drawnFrames, 3);
        EXPECT_EQ(run.game->shutdowns, 1);
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_TRUE(LinesInOrder(log, {"Quit requested by a signal", "Exiting", "ZBaseGame::shutdown",
                                       "Closing the log"}));
        EXPECT_FALSE(run.user.Read("Config/Config.ini").empty());
    });
}

// On the headless driver presenting never waits for the display: with VSync
// on the loop waits for the refresh itself; with VSync off it runs free.
TEST(ZBaseGameSdlRun, WithADeviceVSyncPacesFrames) {
    struct Case {
        const char* name;
        bool vsync;
        bool paced;
    };
    const Case cases[] = {{"VSync on", true, true}, {"VSync off", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run(platform::window::Backend::Sdl);
            run.Configure(std::string("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 320\r\nHeightWindowed: "
                                      "240\r\nVSync: ") +
                          (c.vsync ? "true" : "false") + "\r\n");
            run.game->frameSeconds = {0.001};
            bool hadDevice = false;
            run.game->afterFrame = [&hadDevice](TestGame&, int) { hadDevice = GetRenderer()->hasDevice; };
            run.game->quitAfterFrames = 8;
            run.Run();

            ASSERT_TRUE(hadDevice);
            ASSERT_EQ(run.game->frames.size(), 8u);
            const double period = 1.0 / run.game->GetPacingRefreshRate();
            for (size_t i = 2; i < run.game->frames.size(); ++i) {
                EXPECT_NEAR(run.game->frames[i].trueDelta, c.paced ? period : 0.001, 2e-6) << "frame " << i + 1;
            }
        });
    }
}

}  // namespace
}  // namespace gametest
