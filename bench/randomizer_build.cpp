// Building one randomized world per seed (the placement of 17 major and 143
// minor items over a 160-place manifest), against only seeding the generator
// and drawing as many numbers as a build draws at least (the least any build
// can cost). "vs_draws" is the build's time per world divided by the draws'.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "foundation/ZRandom.h"
#include "game/progression/RandomizedPlacement.h"

namespace {

// Room masks in the shape of a campaign: open rooms, rooms behind one or two
// abilities, a water room, and rooms that need the late key items.
const uint32_t kRoomMasks[] = {0x0,    0x0,     0x4000000, 0x10,    0x20,     0x4000001, 0x1010,   0x2020,
                               0x11010, 0x30,   0x230,     0x20030, 0x100000, 0x1000CC,  0x100ECC, 0x4000020};

ZINIFile MakeManifest() {
    ZINIFile manifest;
    const std::vector<OpportunityRef> places = randomizer::PlaceList();
    const uint32_t majorRooms[randomizer::kMajorCount] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 1, 1, 0, 3, 11, 10, 12, 8};
    for (uint32_t i = 0; i < places.size(); ++i) {
        const uint32_t room = i < randomizer::kMajorCount ? majorRooms[i] : i % 16;
        uint32_t mask = kRoomMasks[room];
        if (i < randomizer::kMajorCount || i % 3 != 0) mask |= randomizer::kMajorEligibleBit;
        char text[16];
        std::snprintf(text, sizeof text, "%x", mask);
        const std::string name = places[i].fileId.GetTextOrEmpty();
        manifest.SetValue(ZHashedString(name.substr(12, 8).c_str()), ZHashedString("Reqs"), ZString(text));
        manifest.SetValue(ZHashedString(name.substr(12, 8).c_str()), ZHashedString("Location"), ZString("Room {1, 2}"));
    }
    return manifest;
}

double g_buildSeconds = 0.0;
double g_drawSeconds = 0.0;

void BM_BuildWorld(benchmark::State& state) {
    const ZINIFile manifest = MakeManifest();
    const MinimapTables tables;
    uint32_t seed = 0;
    int64_t failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const randomizer::PlacementResult result = randomizer::PlaceRandomizedWorld(manifest, tables, seed++);
        failed += result.built ? 0 : 1;
        benchmark::DoNotOptimize(result.world.size());
    }
    g_buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                     static_cast<double>(state.iterations());
    state.counters["worlds_failed"] = static_cast<double>(failed);
}

void BM_SeedAndDraw(benchmark::State& state) {
    uint32_t seed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ZRandom random;
        random.Seed(seed++);
        int32_t sum = 0;
        // 13 shuffle draws, 1 order draw, 17 x 5 candidates, 142 minor draws.
        for (int i = 0; i < 13 + 1 + 85 + 142; ++i) sum += random.NextInt(160);
        benchmark::DoNotOptimize(sum);
    }
    g_drawSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                    static_cast<double>(state.iterations());
}

BENCHMARK(BM_SeedAndDraw);
BENCHMARK(BM_BuildWorld)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_drawSeconds > 0.0 && g_buildSeconds > 0.0) {
        std::printf("one world per seed: %.1f us; seeding and drawing only: %.1f us; vs_draws %.1fx\n",
                    g_buildSeconds * 1e6, g_drawSeconds * 1e6, g_buildSeconds / g_drawSeconds);
    }
    return 0;
}
