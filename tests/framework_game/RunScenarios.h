#pragma once

// Whole runs of the base game (start-up, frames, exit, shutdown) and what they
// must leave behind. A run frees process-wide singletons at its end, so every
// scenario runs in a child process (RunInChild).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "GameHarness.h"
#include "framework/ZLocMgr.h"
#include "menu/ZMenuMgr.h"
#include "support/TempDir.h"
#include "platform/input/fake/FakeInputSystem.h"
#include "platform/input/input.h"
#include "platform/sound/sound.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "platform/window/window.h"

namespace gametest {

// Repeats a child's failures on standard error, which the parent shows, and
// answers whether there were any.
inline bool ReportChildFailures() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) {
        return false;
    }
    const ::testing::TestResult* result = info->result();
    bool failed = false;
    for (int i = 0; i < result->total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result->GetTestPartResult(i);
        if (part.failed()) {
            failed = true;
            std::fprintf(stderr, "\nCHILD FAILURE %s:%d\n%s\n", part.file_name() ? part.file_name() : "?",
                         part.line_number(), part.summary());
        }
    }
    return failed;
}

// Runs body in a child process; a failed expectation there makes the child
// exit with 1, which fails the test here.
template <typename Body>
void RunInChild(Body body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            body();
            std::exit(ReportChildFailures() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The start of a whole game run on the real window system: the user folder
// is documents, whose Config.ini for the game titled title holds config;
// input and sound are fakes. Answers the fake input, to press keys on.
inline platform::input::FakeInputSystem* StartGameOnSdl(const korvtest::TempDir& documents, const std::string& title,
                                                        const std::string& config) {
    setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
    documents.Write("My Games/" + title + "/Config/Config.ini", config);
    platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
    auto devices = std::make_unique<platform::input::FakeInputSystem>();
    platform::input::FakeInputSystem* const input = devices.get();
    platform::input::SetInputSystem(std::move(devices));
    platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
    return input;
}

// One run's world: a temporary user folder, a fake clock, a window system of
// the chosen backend, fake input devices and the game.
class GameRun {
public:
    explicit GameRun(platform::window::Backend backend = platform::window::Backend::Fake) {
        auto window = platform::window::CreateWindowSystem(backend);
        if (backend == platform::window::Backend::Fake) {
            fakeWindow = static_cast<platform::window::FakeWindowSystem*>(window.get());
        }
        platform::window::SetWindowSystem(std::move(window));
        auto devices = std::make_unique<platform::input::FakeInputSystem>();
        input = devices.get();
        platform::input::SetInputSystem(std::move(devices));
        game = new TestGame();
        game->clock = &clock;
    }

    ~GameRun() {
        ZBaseGame::DestroyInstance();
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    }

    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // Config.ini lines for the run; logging on unless they say otherwise.
    void Configure(const std::string& lines) { user.Write("Config/Config.ini", "DoLogging: true\r\n" + lines); }

    void Run(const char* commandLine = "") { ZBaseGame::Run(game, 0, 0, commandLine, 1); }

    UserFolder user;
    os::fake::FakeClock clock;
    platform::window::FakeWindowSystem* fakeWindow = nullptr;  // null for other backends
    platform::input::FakeInputSystem* input = nullptr;
    TestGame* game = nullptr;
};

constexpr float kStep60 = 1.0f / 60.0f;

// Fixed 1/60 s game steps on 0.06 s frames, with a pause in the middle: the
// start-up throttling, the step counts, the accumulator, the pause's
// zero-length steps, the exit and the files and log lines of a clean run.
inline void FixedStepRunScenario(const platform::window::Backend backend) {
    GameRun run(backend);
    run.Configure("FixedGameFPS: 60\r\n");
    TestGame& game = *run.game;
    game.frameSeconds = {0.06};
    game.startupSeconds = 2.0;
    game.quitAfterFrames = 22;
    bool pseudoLocalized = false;
    game.afterFrame = [&](TestGame& g, const int frame) {
        if (frame == 1) {
            pseudoLocalized = ZLocMgr::GetInstance()->IsPseudoLocalized();
        }
        if (frame == 14) {
            GetMenuMgr()->OpenMenu(g.CreatePauseMenu());
        }
        if (frame == 15) {
            GetMenuMgr()->CloseAll();
        }
        if (frame == 20) {
            g.GetConsole().SetMemoryLine(5, "help");
        }
    };
    run.Run("TestLoc");

    EXPECT_TRUE(pseudoLocalized) << "TestLoc on the command line";
    EXPECT_EQ(game.shutdowns, 1);
    EXPECT_EQ(game.drawnFrames, 22);
    ASSERT_EQ(game.frames.size(), 22u);

    // Frames 1-11: the 16-frame average rate stays at 10 or below (the first
    // frame has no frame before it and adds no rate), so no game time passes;
    // each frame runs one step of length 0.
    int32_t steps = 0;
    for (size_t i = 0; i < 11; ++i) {
        const TestGame::Frame& f = game.frames[i];
        EXPECT_EQ(f.engineFrameTime, 0.0f) << "frame " << i + 1;
        EXPECT_EQ(f.stepCount, 1) << "frame " << i + 1;
        EXPECT_EQ(f.stepLength, 0.0f) << "frame " << i + 1;
        steps += f.stepCount;
    }
    // Frame 12: the first real frame: 3 steps of 1/60 s, 0.01 s left over.
    const TestGame::Frame& first = game.frames[11];
    EXPECT_NEAR(first.engineFrameTime, 0.06f, 1e-6f);
    EXPECT_EQ(first.stepCount, 3);
    EXPECT_NEAR(first.stepLength, kStep60, 1e-7f);
    EXPECT_NEAR(first.accumulator, 0.01f, 1e-5f);
    EXPECT_NEAR(first.fraction, 0.6f, 1e-3f);

    // Every unpaused frame from there on: the accumulator keeps what the steps
    // did not use, so steps and leftover add up to the game time.
    float gameTime = 0.0f;
    int32_t realSteps = 0;
    for (size_t i = 11; i < game.frames.size(); ++i) {
        const TestGame::Frame& f = game.frames[i];
        steps += f.stepCount;
        if (f.paused) {
            // Frames 15-21: the menu is open, then plays its 0.25 s closing
            // transition (five 0.06 s frames) before it goes.
            EXPECT_EQ(f.stepCount, 1) << "frame " << i + 1;
            EXPECT_EQ(f.stepLength, 0.0f) << "frame " << i + 1;
            EXPECT_EQ(f.gameFrameTime, 0.0f) << "frame " << i + 1;
            EXPECT_EQ(f.totalGameTime, game.frames[i - 1].totalGameTime) << "frame " << i + 1;
            EXPECT_EQ(f.accumulator, game.frames[i - 1].accumulator) << "frame " << i + 1;
            continue;
        }
        EXPECT_NEAR(f.stepLength, kStep60, 1e-7f) << "frame " << i + 1;
        EXPECT_GE(f.accumulator, 0.0f) << "frame " << i + 1;
        EXPECT_LT(f.accumulator, kStep60) << "frame " << i + 1;
        gameTime += f.gameFrameTime;
        realSteps += f.stepCount;
        EXPECT_NEAR(static_cast<float>(realSteps) * kStep60 + f.accumulator, gameTime, 1e-4f) << "frame " << i + 1;
    }
    int pausedFrames = 0;
    for (const TestGame::Frame& f : game.frames) {
        pausedFrames += f.paused ? 1 : 0;
    }
    EXPECT_EQ(pausedFrames, 7);
    EXPECT_EQ(game.fixedUpdates, steps);

    // The log: start-up and shutdown lines in order.
    const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().text, "ZBaseGame::preinit");
    EXPECT_TRUE(LinesInOrder(log, {
                                      "ZBaseGame::preinit",
                                      "Caching primary monitor dimensions...",
                                      "ZBaseGame::addStreamSources",
                                      "ZBaseGame::registerConfigVars",
                                      "#### Load version info.",
                                      "ZORP Game (1.00.0000) ZORP Game Engine (1.08.",
                                      "Loading config vars from file...",
                                      "Initializing localization... (CRITICAL)",
                                      "Load table of contents...",
                                      "ZBaseGame::AddLocLanguages",
                                      "ZBaseGame::AddLocStringFiles",
                                      "Set default path...",
                                      "Registering console command callbacks...",
                                      "Running command line arguments (first pass)...",
                                      "Get and parse screen modes...",
                                      "Initializing localization... (NON-CRITICAL)",
                                      "Set default path...",
                                      "ZBaseGame::init",
                                      "Set current screen res...",
                                      "Date and time logging...",
                                      "Setting up windows...",
                                      "Window class registering",
                                      "ZBaseGame::setupWindowClass",
                                      "ZBaseGame::setupWindow",
                                      "Window creation",
                                      "RNG seeding",
                                      "Initializing frame time array",
                                      "Initializing step num array",
                                      "ZBaseGame::initSubSystems",
                                      " -- Init input",
                                      " -- Update controller state",
                                      " -- Toggle XInput",
                                      " -- Select joystick",
                                      " -- Init renderer",
                                      "Presenting a blank scene",
                                      " -- Init audio",
                                      "Initialize console...",
                                      "Load console memory...",
                                      "ZBaseGame::CreateSoundGroups",
                                      "ZBaseGame::CreateControls",
                                      "ZBaseGame::LoadControlBindings",
                                      "ZBaseGame::SetUpDefaultControlBindings",
                                      "ZBaseGame::postinit",
                                      "####",
                                      "#### Initialization took 2.0",
                                      "####",
                                      "Running command line arguments (second pass)...",
                                      "#### Startup throttling threshold reached.",
                                      "Exiting",
                                      "ZBaseGame::shutdown",
                                      "Closing the log",
                                  }));
    EXPECT_EQ(CountLines(log, "Exiting"), 1);
    EXPECT_EQ(CountLines(log, "#### Startup throttling threshold reached."), 1);
    // Only the renderer's release counts follow the log's closing line (on a device).
    for (int i = static_cast<int>(log.size()) - 1; i >= 0 && log[i].text != "Closing the log"; --i) {
        EXPECT_NE(log[i].text.find("'s mCount: "), std::string::npos) << log[i].text;
    }
    // The threshold line names which conditions held: the 0.06 s delta and
    // the average, not the absolute time.
    EXPECT_GE(FindLine(log, "####     True delta: 0.060000 (MET)"), 0);
    EXPECT_GE(FindLine(log, "####     True absolute: 0.720000 (not met)"), 0);
    // Frames 2-11 put 1 / 0.06 each in the 16 slots of the ring (the first
    // frame has no frame before it and adds none): no rate that no frame ran at.
    EXPECT_GE(FindLine(log, "####     Average FPS: 10.41666"), 0);
    // Log times count from the restart at the end of start-up.
    const int took = FindLine(log, "#### Initialization took");
    ASSERT_GE(took, 1);
    ASSERT_LT(took + 2, static_cast<int>(log.size()));
    EXPECT_NEAR(log[took - 1].seconds, 2.0, 1e-3);
    EXPECT_NEAR(log[took + 1].seconds, 2.0, 1e-3);
    EXPECT_EQ(log[took + 2].text, "Running command line arguments (second pass)...");
    EXPECT_NEAR(log[took + 2].seconds, 0.0, 1e-6);

    // The files of a clean exit.
    const std::string config = run.user.Read("Config/Config.ini");
    EXPECT_NE(config.find("ShowInitialSetup: false\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("FixedGameFPS: 60.000000\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("DoLogging: true\r\n"), std::string::npos) << config;
    EXPECT_EQ(run.user.Read("Config/ControlBindings.bnd").substr(0, 4), "xbnd");
    EXPECT_NE(run.user.Read("Config/ConsoleMemory.txt").find("MemoryLine00: help"), std::string::npos);
}

}  // namespace gametest
