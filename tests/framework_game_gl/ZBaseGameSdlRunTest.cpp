// Whole runs on the SDL window under the headless video driver.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

// A virtual X server of its own for one test: started on a free display
// number, stopped (if still running) when the test ends.
class VirtualDisplay {
public:
    VirtualDisplay() {
        for (int number = 90 + static_cast<int>(getpid() % 400); number < 1000; ++number) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists(socket) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
                continue;
            }
            name = ":" + std::to_string(number);
            pid = fork();
            if (pid == 0) {
                execlp("Xvfb", "Xvfb", name.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int i = 0; i < 100 && pid > 0; ++i) {
                if (std::filesystem::exists(socket)) return;
                if (waitpid(pid, nullptr, WNOHANG) == pid) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Stop();
            return;
        }
    }
    ~VirtualDisplay() { Stop(); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Running() const { return pid > 0; }
    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    std::string name;
    pid_t pid = -1;
};

// The X server going away under a running game: the game ends within moments,
// through its usual shutdown (user files saved), instead of waiting on the dead
// connection for ever.
TEST(ZBaseGameSdlRun, LosingTheDisplayEndsTheRun) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
    {
        const VirtualDisplay probe;
        if (!probe.Running()) GTEST_SKIP() << "Xvfb does not start on this machine";
    }
    RunInChild([] {
        // A run that hangs is ended by the alarm, which fails the test (long:
        // a loaded machine starts the sanitized game slowly).
        alarm(120);
        VirtualDisplay display;
        ASSERT_TRUE(display.Running()) << "Xvfb did not start";
        const pid_t server = display.pid;
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("DISPLAY", display.name.c_str(), 1);
        GameRun run(platform::window::Backend::Sdl);
        run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 320\r\nHeightWindowed: 240\r\n");
        std::chrono::steady_clock::time_point lost{};
        run.game->afterFrame = [server, &lost](TestGame&, const int frame) {
            if (frame != 5) return;
            kill(server, SIGKILL);
            lost = std::chrono::steady_clock::now();
        };
        run.game->quitAfterFrames = 100000;
        testing::internal::CaptureStderr();
        run.Run();
        // Counted from the display's loss. Alone it ends within a second or
        // two; a machine busy with other GL tests stretches the shutdown to
        // over ten, so the bound only tells an end from the old endless wait.
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - lost).count();
        const std::string errors = testing::internal::GetCapturedStderr();

        EXPECT_LT(seconds, 60.0);
        EXPECT_GE(run.game->drawnFrames, 5);
        EXPECT_LT(run.game->drawnFrames, 100000);
        EXPECT_EQ(run.game->shutdowns, 1);
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_NE(errors.find("The connection to the display was lost"), std::string::npos) << errors;
        EXPECT_TRUE(LinesInOrder(log, {"Exiting", "ZBaseGame::shutdown", "Closing the log"}));
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
