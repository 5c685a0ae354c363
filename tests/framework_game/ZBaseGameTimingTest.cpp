// Frame timing on a fake clock: the engine and game frame times, the fixed
// steps with their accumulator, and the start-up throttling.

#include <gtest/gtest.h>

#include <vector>

#include "RunScenarios.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimer.h"
#include "framework/ZConfigCallbacks.h"
#include "framework/ZInputRecorder.h"
#include "platform/os/fake/fake.h"

namespace gametest {
namespace {

// A game that was never started: only the timing runs, without throttling.
class TimingGame : public ZBaseGame {
public:
    void StartupThrottling(float& /*engineFrameTime*/) override {}
};

struct Expected {
    float engine;
    int32_t steps;
    float stepLength;
    float accumulator;
};

struct Case {
    const char* name;
    float fixedEngineFPS;
    float fixedGameFPS;
    float minGameFPS;
    bool recording;
    std::vector<double> frames;  // measured seconds
    std::vector<Expected> expected;
};

TEST(ZBaseGameTiming, StepsAndFrameTimes) {
    constexpr float kRecorderStep = 0.0166667f;
    const Case cases[] = {
        // The engine frame time is exactly 1/30 s whatever was measured.
        {"FixedEngineFPS 30",
         30.0f,
         0.0f,
         10.0f,
         false,
         {0.01, 0.05, 0.2},
         {{1.0f / 30, 1, 1.0f / 30, 0.0f}, {1.0f / 30, 1, 1.0f / 30, 0.0f}, {1.0f / 30, 1, 1.0f / 30, 0.0f}}},
        // A 0.5 s frame is capped at 1/8 s: 7 steps of 1/60 s, half a step left.
        {"FixedGameFPS 60 with a capped frame",
         0.0f,
         60.0f,
         8.0f,
         false,
         {0.5},
         {{0.5f, 7, 1.0f / 60, 0.125f - 7.0f / 60}}},
        // While recording, steps are 1/60 s with the accumulator even without FixedGameFPS.
        {"recorder steps",
         0.0f,
         0.0f,
         10.0f,
         true,
         {0.04, 0.04, 0.04},
         {{0.04f, 2, kRecorderStep, 0.04f - 2 * kRecorderStep},
          {0.04f, 2, kRecorderStep, 0.08f - 4 * kRecorderStep},
          {0.04f, 3, kRecorderStep, 0.12f - 7 * kRecorderStep}}},
        // No time at all: one step of length 0, so the game logic still runs.
        {"zero frame with fixed steps", 0.0f, 60.0f, 10.0f, false, {0.0}, {{0.0f, 1, 0.0f, 0.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        os::fake::FakeClock clock;
        gTimer.Start();
        TimingGame game;
        game.m_fixedEngineFPS = c.fixedEngineFPS;
        game.m_fixedGameFPS = c.fixedGameFPS;
        game.m_minGameFPS = c.minGameFPS;
        OnFrameRateChanged();
        if (c.recording) {
            GetInputRecorder()->ToggleRecording();
        }
        ASSERT_EQ(c.frames.size(), c.expected.size());
        for (size_t i = 0; i < c.frames.size(); ++i) {
            clock.AdvanceSeconds(c.frames[i]);
            game.UpdateTiming();
            const Expected& e = c.expected[i];
            EXPECT_NEAR(game.GetEngineFrameTime(), e.engine, 1e-6f) << "frame " << i;
            EXPECT_EQ(game.GetStepCount(), e.steps) << "frame " << i;
            EXPECT_NEAR(game.GetStepLength(), e.stepLength, 1e-7f) << "frame " << i;
            EXPECT_NEAR(game.GetAccumulator(), e.accumulator, 1e-5f) << "frame " << i;
        }
        if (c.recording) {
            GetInputRecorder()->ToggleRecording();
        }
    }
}

// First frames of 0.2 s: no game time passes until the clock (restarted at
// the end of start-up) passes 5 s; the log then says why.
TEST(ZBaseGameTiming, SlowStartIsThrottledForFiveSeconds) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->frameSeconds = {0.2};
        run.game->quitAfterFrames = 28;
        run.Run();

        ASSERT_EQ(run.game->frames.size(), 28u);
        for (size_t i = 0; i < run.game->frames.size(); ++i) {
            // 25 x 0.2 s is 5 s exactly, which is not past 5 s.
            EXPECT_EQ(run.game->frames[i].engineFrameTime, i < 25 ? 0.0f : 0.2f) << "frame " << i + 1;
        }
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_TRUE(LinesInOrder(log, {"#### Startup throttling threshold reached.",
                                       "####     True delta: 0.200000 (not met)",
                                       "####     True absolute: 5.200000 (MET)",
                                       "####     Average FPS: 5.000000 (not met)"}));
    });
}

// A log line ticks the global timer, so the true delta of a frame that logged
// covers only the time since its line; the frame-rate history (and the
// figures read from it) take each frame's whole length.
TEST(ZBaseGameTiming, FrameRateCountsWholeFramesWhateverIsLogged) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        run.game->frameSeconds = {0.01};
        run.game->afterFrame = [&run](TestGame&, int) {
            run.clock.AdvanceSeconds(0.01);
            ZLog::Printf("a line late in the frame");
        };
        float average = 0.0f;
        float lastTrueDelta = 0.0f;
        run.game->beforeShutdown = [&](TestGame& g) {
            average = g.GetAverageFrameRate();
            lastTrueDelta = g.GetTrueDelta();
        };
        run.game->quitAfterFrames = 20;
        run.Run();

        EXPECT_NEAR(lastTrueDelta, 0.01f, 1e-6f);
        EXPECT_NEAR(average, 50.0f, 1e-3f) << "frames of 0.02 s";
    });
}

}  // namespace
}  // namespace gametest
