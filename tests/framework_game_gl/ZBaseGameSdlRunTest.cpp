// Whole runs on the SDL window under the headless video driver.

#include <gtest/gtest.h>

#include "framework_game/RunScenarios.h"

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

}  // namespace
}  // namespace gametest
