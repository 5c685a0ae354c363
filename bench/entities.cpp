// Entities made from one definition: the cost of making, stepping and
// destroying them, the memory each takes, and the component lookup that the
// game repeats every frame, next to a plain hash map's lookup.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZSerialComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "foundation/ZUpdateRegistry.h"

namespace {

// Eight components; the timer starts at load and runs each fixed step.
const char* const kDefinition =
    "<Entity>"
    "<GUID GUID='00001234'/>"
    "<Data><Datum Name='Coins' Type='Int' Value='3'/><Datum Name='Speed' Type='Float' Value='1.5'/>"
    "<Event Name='OnTouch'><Action Text='inc Self Coins 1'/></Event></Data>"
    "<Script><OnLoad><Action Text='timer Self start Blink'/></OnLoad>"
    "<Function Name='Blink'><Action Text='inc Self Coins 1'/></Function></Script>"
    "<Timer><Timer Name='Blink' Duration='0.5' Looping='true'><OnElapsed><Action Text='run Self Blink'/>"
    "</OnElapsed></Timer></Timer>"
    "<Allegiance Value='2'/>"
    "<Checkpoint/>"
    "<Spatial/>"
    "<Physics/>"
    "</Entity>";

const ZDefNode& Definition() {
    static const ZDefNode root = [] {
        const std::string text(kDefinition);
        ZArray<ZMarkupNode*> markup;
        ParseMarkupNode(markup, text.data(), text.size(), nullptr);
        ZArray<ZDefNode> nodes;
        BuildDefinitionNodes(nodes, markup);
        RegisterComponentFactory(CreateComponentByName);
        RegisterCommandHandler(EntityCommandDispatcher);
        return nodes[0];
    }();
    return root;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_MakeStepDestroyEntities(benchmark::State& state) {
    const ZDefNode& root = Definition();
    const int64_t count = state.range(0);
    std::vector<ZEntity*> entities(static_cast<size_t>(count));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        for (ZEntity*& entity : entities) {
            entity = new ZEntity();
            entity->CreateComponentsFromNode(root);
        }
        const size_t made = HeapInUse();
        peak = made > before ? made - before : 0;
        GetUpdateRegistry()->Run(1.0f / 60.0f, 2);
        for (ZEntity* entity : entities) {
            delete entity;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["peak_bytes_per_entity"] = static_cast<double>(peak) / static_cast<double>(count);
    state.counters["components_per_entity"] = 8;
}
BENCHMARK(BM_MakeStepDestroyEntities)->Arg(10000)->Unit(benchmark::kMillisecond);

// One entity of the definition, asked for the same component again and again.
void BM_GetComponentRepeated(benchmark::State& state) {
    ZEntity entity;
    entity.CreateComponentsFromNode(Definition());
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetComponent<ZTimerComponent>(&entity));
    }
}
BENCHMARK(BM_GetComponentRepeated);

// Through a base type: the first lookup walks and caches, the rest are one search.
void BM_GetComponentRepeated_BaseType(benchmark::State& state) {
    ZEntity entity;
    entity.CreateComponentsFromNode(Definition());
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetComponent<ZSerialComponent>(&entity));
    }
}
BENCHMARK(BM_GetComponentRepeated_BaseType);

// Baseline: the same eight keys in a standard hash map.
void BM_GetComponentRepeated_StdUnorderedMap(benchmark::State& state) {
    ZEntity entity;
    entity.CreateComponentsFromNode(Definition());
    std::unordered_map<uint32_t, ZComponent*> map;
    for (const auto& node : entity.GetComponentMap()) {
        map.emplace(node.key.GetId(), node.value);
    }
    const uint32_t key = ZTimerComponent::StaticType().GetId();
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.find(key)->second);
    }
}
BENCHMARK(BM_GetComponentRepeated_StdUnorderedMap);

}  // namespace

BENCHMARK_MAIN();
