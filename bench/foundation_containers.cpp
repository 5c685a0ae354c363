// Throughput of the engine's hashed names and ordered map, next to the
// standard containers a port might otherwise have used.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZHashedStringTable.h"
#include "foundation/ZMap.h"

namespace {

// Names shaped like the engine's own: a prefix and a number.
std::vector<std::string> MakeNames(int64_t n, const char* prefix) {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        names.push_back(std::string(prefix) + std::to_string(i));
    }
    return names;
}

std::vector<int32_t> ShuffledKeys(int64_t n) {
    std::vector<int32_t> keys(static_cast<size_t>(n));
    for (size_t i = 0; i < keys.size(); ++i) {
        keys[i] = static_cast<int32_t>(i * 7919);
    }
    std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
    return keys;
}

// New texts: every pass fills an empty table with texts it has not seen, the
// way the engine interns names at start-up.
void BM_InternNewNames(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames(state.range(0), "__ZORP_Bench_Name_");
    for (auto _ : state) {
        auto table = std::make_unique<ZHashedStringTable>();
        for (const std::string& name : names) {
            const uint32_t bucket = HashString(name.c_str()) & ZHashedString::kBucketMask;
            benchmark::DoNotOptimize(table->FindOrInsert(name.c_str(), bucket, false));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InternNewNames)->Arg(256)->Arg(4096)->Arg(32768);

void BM_InternNewNames_StdUnorderedMap(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames(state.range(0), "__ZORP_Bench_Name_");
    for (auto _ : state) {
        std::unordered_map<std::string, uint32_t> table;
        for (const std::string& name : names) {
            benchmark::DoNotOptimize(
                table.try_emplace(name, static_cast<uint32_t>(table.size())).first->second);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InternNewNames_StdUnorderedMap)->Arg(256)->Arg(4096)->Arg(32768);

// Repeated texts: names already in the process table, as when code builds a
// hashed name from a literal every frame.
void BM_InternRepeatedNames(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames(state.range(0), "__ZORP_Bench_Repeat_");
    for (const std::string& name : names) {
        ZHashedString interned(name.c_str());
        benchmark::DoNotOptimize(interned);
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ZHashedString(names[i].c_str()).GetId());
        i = i + 1 == names.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InternRepeatedNames)->Arg(256)->Arg(4096);

void BM_InternRepeatedNames_StdUnorderedMap(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames(state.range(0), "__ZORP_Bench_Repeat_");
    std::unordered_map<std::string, uint32_t> table;
    for (const std::string& name : names) {
        table.try_emplace(name, static_cast<uint32_t>(table.size()));
    }
    size_t i = 0;
    for (auto _ : state) {
        // A lookup by C text, as interning gets it: the key string is built each time.
        benchmark::DoNotOptimize(table.find(std::string(names[i].c_str()))->second);
        i = i + 1 == names.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InternRepeatedNames_StdUnorderedMap)->Arg(256)->Arg(4096);

void BM_NameToText(benchmark::State& state) {
    const std::vector<std::string> names = MakeNames(state.range(0), "__ZORP_Bench_Repeat_");
    std::vector<ZHashedString> ids;
    for (const std::string& name : names) {
        ids.emplace_back(name.c_str());
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ids[i].GetText());
        i = i + 1 == ids.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NameToText)->Arg(4096);

template <typename Map>
void InsertAll(Map& map, const std::vector<int32_t>& keys) {
    for (int32_t k : keys) {
        map[k] = k;
    }
}

void BM_ZMapInsert(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    for (auto _ : state) {
        ZMap<int32_t, int32_t> map;
        for (int32_t k : keys) {
            map.Insert(k, k);
        }
        benchmark::DoNotOptimize(map.Root());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ZMapInsert)->Arg(1 << 10)->Arg(1 << 16);

void BM_StdMapInsert(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    for (auto _ : state) {
        std::map<int32_t, int32_t> map;
        for (int32_t k : keys) {
            map.insert_or_assign(k, k);
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdMapInsert)->Arg(1 << 10)->Arg(1 << 16);

void BM_ZMapFind(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    ZMap<int32_t, int32_t> map;
    InsertAll(map, keys);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.Find(keys[i]));
        i = i + 1 == keys.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ZMapFind)->Arg(1 << 10)->Arg(1 << 16);

void BM_StdMapFind(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    std::map<int32_t, int32_t> map;
    InsertAll(map, keys);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.find(keys[i]));
        i = i + 1 == keys.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StdMapFind)->Arg(1 << 10)->Arg(1 << 16);

// Erases every key of a full map; the refill happens outside the timing.
void BM_ZMapErase(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    std::vector<int32_t> order = keys;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (auto _ : state) {
        state.PauseTiming();
        ZMap<int32_t, int32_t> map;
        InsertAll(map, keys);
        state.ResumeTiming();
        for (int32_t k : order) {
            map.Remove(k);
        }
        benchmark::DoNotOptimize(map.Root());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ZMapErase)->Arg(1 << 10)->Arg(1 << 16);

void BM_StdMapErase(benchmark::State& state) {
    const std::vector<int32_t> keys = ShuffledKeys(state.range(0));
    std::vector<int32_t> order = keys;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (auto _ : state) {
        state.PauseTiming();
        std::map<int32_t, int32_t> map;
        InsertAll(map, keys);
        state.ResumeTiming();
        for (int32_t k : order) {
            map.erase(k);
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdMapErase)->Arg(1 << 10)->Arg(1 << 16);

}  // namespace

BENCHMARK_MAIN();
