// Frames per second of the main loop with nothing to do: one pass pumps the
// (fake) window's messages, times the frame, runs its fixed steps and the
// per-frame services, and "draws" through the stand-in renderer (no device).
// The bare-loop figures switch frame pacing off; the paced figure keeps it on
// and reports the processor time per second of wall time (cores) next to the
// frame rate, which pacing holds at the display's refresh rate.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/ZBaseGame.h"
#include "framework/ZConfigCallbacks.h"
#include "input/ZInputHandler.h"
#include "platform/input/input.h"
#include "platform/window/window.h"

namespace {

// One started game for every benchmark of the program, in a user folder of
// its own; never shut down (the process ends instead).
class StartedGame {
public:
    StartedGame() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
            setenv("XDG_DOCUMENTS_DIR", m_folder.c_str(), 1);
            const std::filesystem::path config =
                std::filesystem::path(m_folder) / "My Games" / ZBaseGame::kEngineGameTitle / "Config";
            std::filesystem::create_directories(config);
            std::ofstream(config / "Config.ini") << "DoLogging: false\r\n";
        }
        platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Fake));
        platform::input::SetInputSystem(platform::input::CreateInputSystem(platform::input::Backend::Fake));
        game = new ZBaseGame();
        game->preinit();
        game->init();
        game->postinit();
    }

    ~StartedGame() {
        // The input handler's devices go before the system that made them.
        DeleteInputHandler();
        platform::input::SetInputSystem(nullptr);
        if (!m_folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_folder, ignored);
        }
    }

    ZBaseGame* game = nullptr;

private:
    std::string m_folder;
};

ZBaseGame* Game() {
    static StartedGame started;
    return started.game;
}

void RunFrames(benchmark::State& state, const float fixedGameFPS) {
    ZBaseGame* game = Game();
    game->SetFramePacing(false);
    game->m_fixedGameFPS = fixedGameFPS;
    OnFrameRateChanged();
    for (auto _ : state) {
        benchmark::DoNotOptimize(game->RunFrame());
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_MainLoopVariableSteps(benchmark::State& state) { RunFrames(state, 0.0f); }
void BM_MainLoopFixedSteps60(benchmark::State& state) { RunFrames(state, 60.0f); }

// The loop as it runs for a player without a device: paced, never spinning.
void BM_MainLoopPacedCpuUse(benchmark::State& state) {
    ZBaseGame* game = Game();
    game->SetFramePacing(true);
    game->m_fixedGameFPS = 0.0f;
    OnFrameRateChanged();
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(game->RunFrame());
    }
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    state.counters["cores"] = wall > 0.0 ? cpu / wall : 0.0;
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    game->SetFramePacing(false);
}

BENCHMARK(BM_MainLoopVariableSteps);
BENCHMARK(BM_MainLoopFixedSteps60);
BENCHMARK(BM_MainLoopPacedCpuUse)->Iterations(120)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
