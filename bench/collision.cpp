// Swept moves through the collision world: 500 moving bodies in a room of
// collision lines, fixed steps per second, and how the cost grows with the
// number of lines. The first figure (no lines, bodies only) is the baseline
// the others add to. The lines stand still, so the broad phase files them in
// its grid; the "brute_force" runs walk every shape in the world on every
// sweep, as the world did before it had a broad phase. "vs_no_lines" is the
// time of a step divided by that of the no-lines step with the grid.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZRandom.h"

namespace {

constexpr float kRoom = 4000.0f;
constexpr float kStep = 1.0f / 60.0f;

struct SceneryOwner : ZCollisionOwner {
    ZRTTIBase* GetSpatial() override { return nullptr; }
    bool IsFixed() const override { return true; }
};
SceneryOwner gScenery;

bool Blocks(ZCollisionInterface*, ZCollisionInterface*) { return true; }

// A one-sided wall segment, as the game's tile edges are.
class Line : public ZCollisionInterface {
    Z_RTTI(Line, ZCollisionInterface)

public:
    Line(const ZVector3& from, const ZVector3& to) : a(from), b(to) {
        owner = &gScenery;
        blocker = &Blocks;
    }
    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface&) const override {
        ZCollisionFeature f;
        f.kind = ZCollisionFeature::kSegment;
        f.a = a;
        f.b = b;
        list.PushBack(f);
        return true;
    }
    void GetBounds(float out[6]) const override {
        out[0] = std::min(a.x, b.x);
        out[1] = std::min(a.y, b.y);
        out[2] = -1.0f;
        out[3] = std::max(a.x, b.x);
        out[4] = std::max(a.y, b.y);
        out[5] = 1.0f;
    }
    ZVector3 a;
    ZVector3 b;
};

struct Room {
    explicit Room(const int64_t lineCount) {
        ZRandom random;
        random.Seed(1234);
        auto between = [&random](const float lo, const float hi) { return lo + (hi - lo) * random.NextFloat(); };
        // Four walls facing in, then short inward-facing ledges scattered inside.
        lines.push_back(std::make_unique<Line>(ZVector3(0, 0, 0), ZVector3(kRoom, 0, 0)));
        lines.push_back(std::make_unique<Line>(ZVector3(kRoom, 0, 0), ZVector3(kRoom, kRoom, 0)));
        lines.push_back(std::make_unique<Line>(ZVector3(kRoom, kRoom, 0), ZVector3(0, kRoom, 0)));
        lines.push_back(std::make_unique<Line>(ZVector3(0, kRoom, 0), ZVector3(0, 0, 0)));
        while (static_cast<int64_t>(lines.size()) < lineCount) {
            const float x = between(100.0f, kRoom - 100.0f);
            const float y = between(100.0f, kRoom - 100.0f);
            lines.push_back(std::make_unique<Line>(ZVector3(x + 32.0f, y, 0), ZVector3(x, y, 0)));
        }
        if (lineCount == 0) {
            lines.clear();
        }
        for (int i = 0; i < 500; ++i) {
            auto entity = std::make_unique<ZEntity>();
            ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(entity.get());
            spatial->current.position = {between(200.0f, kRoom - 200.0f),
                                         between(200.0f, kRoom - 200.0f), 0.0f};
            spatial->current.velocity = {between(-300.0f, 300.0f), between(-300.0f, 300.0f),
                                         0.0f};
            spatial->ResetInterpolation();
            ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(entity.get());
            auto* box = new ZCollisionBox(ZVector3(8.0f, 8.0f, 1.0f));
            box->SetOwner(spatial);
            box->responseKind = ZCollisionInterface::kBounce;
            // Bodies meet the room, not each other.
            box->filterMask = 2;
            collision->sweepMask = 1;
            collision->SetPrimitive(ZHashedString().GetId(), box);
            bodies.push_back(spatial);
            entities.push_back(std::move(entity));
        }
    }
    std::vector<std::unique_ptr<Line>> lines;
    std::vector<std::unique_ptr<ZEntity>> entities;
    std::vector<ZSpatialComponent*> bodies;
};

double gNoLinesSeconds = 0.0;

void RunSteps(benchmark::State& state, const bool broadPhase) {
    Room room(state.range(0));
    ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
    world->useBroadPhase = broadPhase;
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (ZSpatialComponent* body : room.bodies) {
            body->Integrate(kStep);
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    world->useBroadPhase = true;
    state.counters["steps_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["lines"] = double(room.lines.size());
    const double perStep = total / static_cast<double>(state.iterations());
    if (broadPhase && room.lines.empty()) {
        gNoLinesSeconds = perStep;
    } else if (gNoLinesSeconds > 0.0) {
        state.counters["vs_no_lines"] = perStep / gNoLinesSeconds;
    }
}

void BM_FixedStepsOf500Bodies(benchmark::State& state) { RunSteps(state, true); }
BENCHMARK(BM_FixedStepsOf500Bodies)->Arg(0)->Arg(500)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_FixedStepsOf500Bodies_brute_force(benchmark::State& state) { RunSteps(state, false); }
BENCHMARK(BM_FixedStepsOf500Bodies_brute_force)->Arg(0)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
