// Reading a map data file of 64 rooms into the map records, against copying
// the same bytes (the least any reader must do), and a full pass of tile
// collision queries over every room. "vs_copy" is the reader's time per map
// divided by the copy's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "game/world/MapFileReader.h"
#include "game/world/MapSource.h"

namespace {

std::vector<uint8_t> MakeMap() {
    MapSource map;
    for (int32_t r = 0; r < 64; ++r) {
        MapRoomSource room;
        room.x = r % 8;
        room.y = r / 8;
        for (int32_t i = 0; i < 4; ++i) {
            MapPlacementSource p;
            p.names[0] = "Thing";
            p.id = static_cast<uint32_t>(r * 4 + i);
            room.placements.push_back(p);
        }
        for (int32_t i = 0; i < kRoomCells; ++i) {
            room.background[i] = MapCell{i % 8, i % 2, i % 3 == 0 ? 1 : 0, 0};
            room.foreground[i] = MapCell{-1, -1, kCellNone, 0};
        }
        map.rooms.push_back(room);
    }
    MapAreaSource area;
    area.width = 8;
    area.height = 8;
    area.properties = "<BGMusic Name='x'/>";
    map.areas.push_back(area);
    return EncodeMap(map);
}

const std::vector<uint8_t>& MapBytes() {
    static const std::vector<uint8_t> bytes = MakeMap();
    return bytes;
}

double CopySeconds() {
    const std::vector<uint8_t>& bytes = MapBytes();
    std::vector<uint8_t> copy(bytes.size());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 200.0;
}

void BM_ReadMap(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = MapBytes();
    const double copy = CopySeconds();
    MapData map;
    const auto start = std::chrono::steady_clock::now();
    int64_t runs = 0;
    for (auto _ : state) {
        ReadMapDataFromMemory(bytes.data(), bytes.size(), map, "bench.map");
        benchmark::DoNotOptimize(map.GetRoomCount());
        ++runs;
    }
    const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                        static_cast<double>(runs > 0 ? runs : 1);
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * runs);
    state.counters["vs_copy"] = copy > 0.0 ? each / copy : 0.0;
}
BENCHMARK(BM_ReadMap)->Unit(benchmark::kMicrosecond);

void BM_CollisionQueries(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = MapBytes();
    MapData map;
    ReadMapDataFromMemory(bytes.data(), bytes.size(), map, "bench.map");
    PaletteData palette;
    palette.collisionStride = 2;
    palette.collisionCount = 8;
    for (int32_t i = 0; i < 16; ++i) palette.collision.PushBack(static_cast<uint8_t>(i % 3));
    TileAnimation animation;
    animation.frames.PushBack(TileFrame{1, 1});
    palette.animations.PushBack(animation);
    map.palettes.PushBack(palette);
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int32_t ry = 0; ry < 8; ++ry) {
            for (int32_t rx = 0; rx < 8; ++rx) {
                for (int32_t x = 0; x < kRoomTilesX; ++x) {
                    for (int32_t y = 0; y < kRoomTilesY; ++y) sum += GetTileCollision(map, rx, ry, x, y, nullptr);
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 64 * kRoomCells);
}
BENCHMARK(BM_CollisionQueries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
