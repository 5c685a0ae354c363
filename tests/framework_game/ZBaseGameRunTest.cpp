// Whole runs on the fake window: timing modes, the ways a run ends, the
// engine's own keys and the shutdown watchdog.

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <string>

#include "RunScenarios.h"
#include "foundation/ZThreadTagger.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/threads.h"
#include "platform/window/keycodes.h"

namespace gametest {
namespace {

TEST(ZBaseGameRun, FixedStepsOnTheFakeWindow) {
    RunInChild([] { FixedStepRunScenario(platform::window::Backend::Fake); });
}

// Variable steps (FixedGameFPS 0): one step per frame as long as the frame,
// capped at 1 / MinGameFPS and scaled by the two time scales.
TEST(ZBaseGameRun, VariableSteps) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        TestGame& game = *run.game;
        game.frameSeconds = {1.0 / 60, 1.0 / 60, 1.0 / 60, 1.0 / 60, 1.0 / 60, 1.0 / 60, 0.5, 0.02};
        game.quitAfterFrames = 10;
        game.afterFrame = [](TestGame& g, const int frame) {
            if (frame == 7) {
                g.SetTimeScale(0, 0.5f);
            } else if (frame == 8) {
                g.SetTimeScale(1, 0.0f);
            } else if (frame == 9) {
                g.SetTimeScale(0, 1.0f);
                g.SetTimeScale(1, 1.0f);
            }
        };
        run.Run();

        struct Expected {
            float engine;
            float game;
        };
        // Frames 1-4 are throttled until the average rate passes 10 (the
        // first frame has no frame before it and adds no rate); frame 7 is a
        // 0.5 s hitch capped at 0.1 s; frame 8 runs at half speed and frame 9
        // at none.
        const Expected expected[] = {
            {0.0f, 0.0f},        {0.0f, 0.0f},        {0.0f, 0.0f},   {0.0f, 0.0f},           {1.0f / 60, 1.0f / 60},
            {1.0f / 60, 1.0f / 60}, {0.5f, 0.1f},     {0.02f, 0.01f}, {0.02f, 0.0f},          {0.02f, 0.02f},
        };
        ASSERT_EQ(game.frames.size(), std::size(expected));
        float total = 0.0f;
        for (size_t i = 0; i < game.frames.size(); ++i) {
            const TestGame::Frame& f = game.frames[i];
            total += expected[i].game;
            EXPECT_NEAR(f.engineFrameTime, expected[i].engine, 1e-6f) << "frame " << i + 1;
            EXPECT_NEAR(f.gameFrameTime, expected[i].game, 1e-6f) << "frame " << i + 1;
            EXPECT_EQ(f.stepCount, 1) << "frame " << i + 1;
            EXPECT_EQ(f.stepLength, f.gameFrameTime) << "frame " << i + 1;
            EXPECT_EQ(f.accumulator, 0.0f) << "frame " << i + 1;
            EXPECT_EQ(f.fraction, 1.0f) << "frame " << i + 1;
            EXPECT_NEAR(f.totalGameTime, total, 1e-5f) << "frame " << i + 1;
        }
        // The frame is drawn at the game clock itself.
        ASSERT_EQ(game.renderTimes.size(), 10u);
        for (const auto& [renderTime, fixedTime] : game.renderTimes) {
            EXPECT_EQ(renderTime, fixedTime);
        }
        EXPECT_NEAR(game.GetFixedTime(), total, 1e-5f);
        EXPECT_EQ(game.fixedUpdates, 10);
    });
}

// Every way to end the program goes through Exit once and runs the whole
// shutdown: the loop ends at the pump after the request.
TEST(ZBaseGameRun, EveryQuitPathShutsDownCleanly) {
    struct Case {
        const char* name;
        TestGame::QuitBy quitBy;
        bool bySignal;
    };
    const Case cases[] = {
        {"quit request", TestGame::QuitBy::Request, false},
        {"window closed", TestGame::QuitBy::CloseWindow, false},
        {"SIGINT", TestGame::QuitBy::Interrupt, true},
        {"SIGTERM", TestGame::QuitBy::Terminate, true},
        {"SIGHUP", TestGame::QuitBy::Hangup, true},
        {"Exit", TestGame::QuitBy::Exit, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            {
                GameRun run;
                run.Configure("");
                run.game->quitBy = c.quitBy;
                run.game->quitAfterFrames = 3;
                run.Run();

                EXPECT_EQ(run.game->drawnFrames, 3);
                EXPECT_EQ(run.game->shutdowns, 1);
                EXPECT_TRUE(ZBaseGame::IsExiting());
                const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
                EXPECT_EQ(CountLines(log, "Exiting"), 1);
                EXPECT_EQ(CountLines(log, "Quit requested by a signal"), c.bySignal ? 1 : 0);
                EXPECT_TRUE(LinesInOrder(log, {"Exiting", "ZBaseGame::shutdown", "Closing the log"}));
                EXPECT_FALSE(run.user.Read("Config/Config.ini").empty());
                EXPECT_FALSE(run.user.Read("Config/ControlBindings.bnd").empty());
                // No line was typed: the memory file is written, empty.
                EXPECT_TRUE(std::filesystem::exists(run.user.GamePath("Config/ConsoleMemory.txt")));
                ASSERT_NE(run.fakeWindow, nullptr);
                EXPECT_FALSE(run.fakeWindow->HasWindow());
            }
            // The handlers of the run are gone with it.
            EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
            EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);
            EXPECT_EQ(std::signal(SIGHUP, SIG_DFL), SIG_DFL);
        });
    }
}

// A signal during start-up stops the run at its first pump: no frame runs,
// and the shutdown is the full one.
TEST(ZBaseGameRun, InterruptDuringStartupRunsNoFrame) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->duringStartup = [](TestGame&) { std::raise(SIGINT); };
        run.Run();

        EXPECT_TRUE(run.game->frames.empty());
        EXPECT_EQ(run.game->drawnFrames, 0);
        EXPECT_EQ(run.game->shutdowns, 1);
        EXPECT_TRUE(LinesInOrder(run.user.ReadLog(), {"ZBaseGame::postinit", "Quit requested by a signal",
                                                      "Exiting", "ZBaseGame::shutdown", "Closing the log"}));
        EXPECT_FALSE(run.user.Read("Config/ControlBindings.bnd").empty());
    });
}

// The engine's own keys, read from the input devices while the window has the
// keyboard: Escape opens the pause menu, Alt+F4 ends the program.
TEST(ZBaseGameRun, EscapePausesAndAltF4Exits) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        TestGame& game = *run.game;
        platform::input::FakeInputSystem* input = run.input;
        bool pauseOnTop = false;
        game.afterFrame = [&](TestGame&, const int frame) {
            if (frame == 5) {
                input->SetKey(platform::DIK_ESCAPE, true);
            } else if (frame == 6) {
                input->SetKey(platform::DIK_ESCAPE, false);
            } else if (frame == 8) {
                if (ZMenu* menu = GetMenuMgr()->GetTopMenu()) {
                    pauseOnTop = menu->IsPauseMenu();
                }
                input->SetKey(platform::DIK_LMENU, true);
                input->SetKey(platform::DIK_F4, true);
            }
        };
        game.quitAfterFrames = 30;  // a safety net: Alt+F4 ends the run first
        run.Run();

        ASSERT_EQ(game.frames.size(), 9u);
        EXPECT_FALSE(game.frames[5].paused) << "frame 6 reads the key and queues the menu";
        EXPECT_TRUE(game.frames[6].paused);
        EXPECT_TRUE(game.frames[7].paused);
        EXPECT_TRUE(pauseOnTop);
        EXPECT_EQ(game.drawnFrames, 9);
        EXPECT_EQ(game.shutdowns, 1);
        EXPECT_EQ(CountLines(run.user.ReadLog(), "Exiting"), 1);
    });
}

// A registered thread that keeps running until told to stop; it moves the
// fake clock on, which is all the watchdog's timer reads.
struct Worker {
    std::atomic<bool> stop{false};
    std::atomic<int> remainingMs{-1};  // below 0: runs until stopped
    os::fake::FakeClock* clock = nullptr;
};

uint32_t WorkerBody(const uintptr_t argument) {
    Worker* worker = reinterpret_cast<Worker*>(argument);
    while (!worker->stop.load()) {
        if (worker->remainingMs.load() == 0) {
            break;
        }
        if (worker->remainingMs.load() > 0) {
            --worker->remainingMs;
        }
        worker->clock->AdvanceMs(1);
        os::YieldThread();
    }
    return 0;
}

// Shutdown waits DeadlockCheckTime (2 s here) for other threads, shows its
// warning once and goes on; a thread that ends in time gets no warning.
TEST(ZBaseGameRun, ThreadWatchdog) {
    struct Case {
        const char* name;
        int workerMs;  // -1: never ends
        bool titleGone;
        bool boxShown;
    };
    const Case cases[] = {
        {"thread never ends", -1, false, true},
        {"no title, no box", -1, true, false},
        {"thread ends in time", 500, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            Worker worker;
            {
                GameRun run;
                run.Configure("DeadlockCheckTime: 2\r\n");
                worker.clock = &run.clock;
                worker.remainingMs = c.workerMs;
                run.game->quitAfterFrames = 2;
                run.game->beforeShutdown = [&](TestGame& g) {
                    g.titleGone = c.titleGone;
                    GetThreadTagger()->CreateNamedThread("Stuck Worker", WorkerBody,
                                                         reinterpret_cast<uintptr_t>(&worker));
                };
                run.Run();

                int warnings = 0;
                for (const auto& box : run.fakeWindow->Boxes()) {
                    if (box.text.rfind("Possible deadlock waiting for threads to shut down.", 0) != 0) {
                        continue;
                    }
                    ++warnings;
                    EXPECT_EQ(box.caption, ZBaseGame::kEngineGameTitle);
                    EXPECT_EQ(box.flags, platform::window::MB_OK | platform::window::MB_ICONWARNING);
                    EXPECT_EQ(box.text.rfind("Possible deadlock waiting for threads to shut down.\n\n"
                                             "HTTP manager: Waiting for 0 threads.\n\nThread tagger:",
                                             0),
                              0u)
                        << box.text;
                    EXPECT_NE(box.text.find("Stuck Worker"), std::string::npos) << box.text;
                }
                EXPECT_EQ(warnings, c.boxShown ? 1 : 0);
                // Shutdown went on to the end either way.
                EXPECT_EQ(run.game->shutdowns, 1);
                EXPECT_FALSE(run.user.Read("Config/Config.ini").empty());
                EXPECT_GE(FindLine(run.user.ReadLog(), "Closing the log"), 0);
                // The worker uses the run's clock: it ends before the run does.
                worker.stop = true;
                while (GetThreadTagger()->GetThreadCount() > 1) {
                    os::YieldThread();
                }
            }
        });
    }
}

}  // namespace
}  // namespace gametest
