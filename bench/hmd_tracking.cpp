// Cost of the headset's tracking path per tracker report (the tracker sends
// about 333 reports of three samples a second): decoding, fusing a body frame
// with and without the gravity correction (the plain integration is the
// baseline), and a command's trip through the device thread's queue.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "hmd/sdk/CommandQueue.h"
#include "hmd/sdk/SensorFusion.h"
#include "hmd/sdk/TrackerReport.h"

namespace {

std::vector<uint8_t> SampleReport() {
    std::vector<uint8_t> report(62, 0);
    report[0] = 1;
    report[1] = 3;
    for (size_t i = 4; i < report.size(); ++i) report[i] = static_cast<uint8_t>(i * 37);
    return report;
}

void BM_DecodeTrackerReport(benchmark::State& state) {
    const std::vector<uint8_t> report = SampleReport();
    HSK::TrackerReport out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HSK::DecodeTrackerReport(report.data(), report.size(), &out));
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeTrackerReport);

void FuseFrames(benchmark::State& state, const bool gravity) {
    HSK::SensorFusion fusion;
    fusion.SetGravityCorrection(gravity);
    HSK::MessageBodyFrame frame;
    frame.type = HSK::Message_BodyFrame;
    frame.device = nullptr;
    frame.rotationRate = HSK::Vector3f(0.01f, 0.2f, -0.03f);
    frame.acceleration = HSK::Vector3f(0.1f, 9.8f, 0.2f);  // near rest: the correction runs
    frame.timeDelta = 0.001f;
    for (auto _ : state) {
        fusion.HandleMessage(frame);
    }
    benchmark::DoNotOptimize(fusion.GetOrientation());
    state.SetItemsProcessed(state.iterations());
}

void BM_FuseIntegrationOnly(benchmark::State& state) {
    FuseFrames(state, false);
}
BENCHMARK(BM_FuseIntegrationOnly);

void BM_FuseWithGravityCorrection(benchmark::State& state) {
    FuseFrames(state, true);
}
BENCHMARK(BM_FuseWithGravityCorrection);

void BM_CommandQueuePushPop(benchmark::State& state) {
    HSK::CommandQueue queue;
    int counter = 0;
    alignas(16) uint8_t buffer[HSK::CommandQueue::kMaxCommandSize];
    for (auto _ : state) {
        queue.Push(HSK::CallCommand([&counter] { ++counter; }, false));
        queue.Pop(buffer);
        auto* const command = reinterpret_cast<HSK::Command*>(buffer);
        command->Execute();
        queue.Finish(command);
    }
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommandQueuePushPop);

}  // namespace

BENCHMARK_MAIN();
