// Frames per second of the main loop with nothing to do: one pass pumps the
// (fake) window's messages, times the frame, runs its fixed steps and the
// per-frame services, and "draws" through the stand-in renderer.

#include <benchmark/benchmark.h>

#include <cstdlib>
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

BENCHMARK(BM_MainLoopVariableSteps);
BENCHMARK(BM_MainLoopFixedSteps60);

}  // namespace

BENCHMARK_MAIN();
