// Frame cost of the game's display chain on the OpenGL device (llvmpipe
// without a GPU): the whole chain (the frame's clears as the game makes them,
// the test card into the clean frame, NTSC, composite, the CRT screen, bloom
// down, the pre-HUD pass and the final pass), presented, at 1280 x 720 and
// 1920 x 1080; the same chain drawn with the earlier effects
// (tests/fixtures/display/before: the final pass without its plain program,
// the bloom spread by a full-screen upsample pass, the glass and the case
// lit at every pixel, the glass fetching its scanlines) as the baseline of
// the same run; and each pass alone at both sizes, drawn as a pass set of its
// own, against a frame that draws nothing (the cost of the clears and of
// presenting) at that size.
//
// llvmpipe's thread count comes from LP_NUM_THREADS when the program starts:
//   LP_NUM_THREADS=8 build/release/bench/bench_display_chain
//   LP_NUM_THREADS=2 build/release/bench/bench_display_chain
// "fps" is frames per second, "threads" the LP_NUM_THREADS the run saw (0:
// unset), "ms_over_present" a pass's time less the empty frame's. With
// LP_NUM_THREADS=0 llvmpipe draws on the calling thread, and the CPU column
// is then the frame's whole work, steady even on a busy machine.
//
// KORV_BENCH_SHOT=dir writes the screen of each whole-chain row's last frame
// to dir/display-chain-<width>x<height>-<current|baseline>.png.
//
// Needs Engine.zpk ($KORV_DATA_DIR, else data/ beside the bench folder) and
// the game's display data and test fixtures in the source tree.

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/ZScreenshot.h"
#include "platform/os/files.h"
#include "renderer/ZRenderPassSet.h"
#include "tests/support/DisplayChainHarness.h"

namespace {

std::string EnginePackage() {
    if (const char* dir = std::getenv("KORV_DATA_DIR")) return std::string(dir) + "/Engine.zpk";
    return os::ExecutableFolder() + "/../data/Engine.zpk";
}

double Threads() {
    const char* n = std::getenv("LP_NUM_THREADS");
    return n != nullptr ? std::atof(n) : 0.0;
}

// A busy card: colour bars, a ramp and a checker, so every pass has edges to work on.
uint32_t Card(int32_t x, int32_t y) {
    static const uint32_t bars[8] = {0xFFFFFFFFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFF00FF00u,
                                     0xFFFF00FFu, 0xFFFF0000u, 0xFF0000FFu, 0xFF101010u};
    if (y < 150) return bars[x * 8 / 256];
    if (y < 185) return 0xFF000000u | static_cast<uint32_t>(x) * 0x010101u;
    return ((x / 16 + y / 16) % 2) != 0 ? 0xFFE63C28u : 0xFF141450u;
}

// One harness at a time; a new size, or a change between the current and the
// earlier effects, starts a new one. Never torn down at the end: the process ends.
korvtest::DisplayChainHarness* Harness(int32_t width, int32_t height, std::string& why, bool before = false) {
    static korvtest::DisplayChainHarness* harness = nullptr;
    static int32_t w = 0, h = 0;
    static bool b = false;
    if (harness != nullptr && w == width && h == height && b == before) return harness;
    if (harness != nullptr) {
        harness->Stop();
        delete harness;
        harness = nullptr;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    harness = new korvtest::DisplayChainHarness();
    const std::string first = before ? std::string(KORV_SOURCE_DIR "/tests/fixtures/display/before") : std::string();
    if (!harness->Start(width, height, EnginePackage(), KORV_SOURCE_DIR, why, first)) return nullptr;
    harness->SetCard(Card);
    w = width;
    h = height;
    b = before;
    return harness;
}

void BM_WholeChain(benchmark::State& state) {
    std::string why;
    const bool before = state.range(2) != 0;
    state.SetLabel(before ? "earlier effects (baseline)" : "current");
    korvtest::DisplayChainHarness* harness =
        Harness(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)), why, before);
    if (harness == nullptr) {
        state.SkipWithError(why.c_str());
        return;
    }
    // The driver compiles each program at its first draw; that is not a frame's cost.
    harness->Frame();
    harness->Frame();
    for (auto _ : state) {
        if (!harness->Frame()) state.SkipWithError("a frame failed");
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["threads"] = Threads();
    if (const char* dir = std::getenv("KORV_BENCH_SHOT")) {
        const std::string path = std::string(dir) + "/display-chain-" + std::to_string(state.range(0)) + "x" +
                                 std::to_string(state.range(1)) + (before ? "-baseline" : "-current") + ".png";
        const std::vector<uint32_t> screen = harness->ReadScreen();
        WriteScreenshotPNG(path.c_str(), screen.data(), static_cast<int32_t>(state.range(0)),
                           static_cast<int32_t>(state.range(1)));
    }
}
BENCHMARK(BM_WholeChain)
    ->Args({1280, 720, 1})
    ->Args({1280, 720, 0})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The passes timed alone, each with the target-setter pass that gives it its
// target when it has none of its own. Row 0 draws nothing: the baseline. The
// upsample pass is off with the current effects (it draws nothing then).
struct PassRow {
    const char* label;
    const char* passes[3];
};
const PassRow kPassRows[] = {
    {"present only", {nullptr, nullptr, nullptr}},
    {"card into Clean Frame", {"Clear Pass", "World Background Pass", nullptr}},
    {"NTSC Pass", {"NTSC Pass", nullptr, nullptr}},
    {"Composite Pass", {"Composite Pass", nullptr, nullptr}},
    {"CRT screen (default pass)", {"@preHUDSetter", "@default", nullptr}},
    {"Downsample Pass", {"Downsample Pass", nullptr, nullptr}},
    {"Upsample Pass", {"Upsample Pass", nullptr, nullptr}},
    {"pre-HUD pass (FXAA none, bloom)", {"@finalSetter", "@preHUD", nullptr}},
    {"final pass", {"@actualSetter", "@final", nullptr}},
};

// A game pass by name, or an engine pass ("@...") by the base game's name for it.
ZHashedString PassName(const char* name) {
    const ZBaseGame* game = ZBaseGame::GetInstance();
    const std::string n = name;
    if (n == "@preHUDSetter") return game->GetPreHUDTargetSetterPassName();
    if (n == "@default") return game->GetDefaultPassName();
    if (n == "@finalSetter") return game->GetFinalTargetSetterPassName();
    if (n == "@preHUD") return game->GetPreHUDPassName();
    if (n == "@actualSetter") return game->GetActualTargetSetterPassName();
    if (n == "@final") return game->GetFinalPassName();
    return ZHashedString(name);
}

double g_presentOnlyMs = 0.0;

void BM_Pass(benchmark::State& state) {
    std::string why;
    korvtest::DisplayChainHarness* harness =
        Harness(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)), why);
    if (harness == nullptr) {
        state.SkipWithError(why.c_str());
        return;
    }
    const PassRow& row = kPassRows[state.range(2)];
    state.SetLabel(row.label);
    ZRenderer* renderer = GetRenderer();
    const std::string setName = std::string("bench: ") + row.label;
    ZRenderPassSet* set = renderer->FindPassSet(ZHashedString(setName.c_str()));
    if (set == nullptr) {
        set = renderer->CreatePassSet(ZHashedString(setName.c_str()));
        for (const char* name : row.passes) {
            if (name == nullptr) continue;
            ZRenderPassDesc* pass = renderer->FindRenderPass(PassName(name));
            if (pass == nullptr) {
                state.SkipWithError((std::string("no pass ") + name).c_str());
                return;
            }
            set->passes.PushBack(pass);
        }
    }
    // Every target filled once by a whole frame, then the programs compiled.
    harness->Frame();
    harness->Frame(set->name);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!harness->Frame(set->name)) state.SkipWithError("a frame failed");
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
                      static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
    if (state.range(2) == 0) g_presentOnlyMs = ms;
    state.counters["ms_over_present"] = ms - g_presentOnlyMs;
    state.counters["threads"] = Threads();
}
// Every row at one size, then every row at the other: row 0 of a size is that size's baseline.
void PassRows(benchmark::internal::Benchmark* bench) {
    const std::array<int64_t, 2> sizes[] = {{1280, 720}, {1920, 1080}};
    for (const std::array<int64_t, 2>& size : sizes) {
        for (int64_t row = 0; row < static_cast<int64_t>(std::size(kPassRows)); ++row) {
            bench->Args({size[0], size[1], row});
        }
    }
}
BENCHMARK(BM_Pass)->Apply(PassRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
