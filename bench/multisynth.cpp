// The MultiSynth: one second of a tune that keeps all four channels busy
// (pulses with bends, triangle, noise drums), stepped sample by sample into
// frames as the voice renders them, with the silent default player beneath.
// Runs: the default player alone (the baseline), the busy tune without
// reverb, and with the game's default reverb (200 ms down to 40 ms: four
// lines, each sample passed through them twice, once for the history and
// once ahead of the cursor). "x_realtime" is seconds of sound made per second
// of work; "vs_silent" is the time of a run divided by the baseline's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "audio/ZMultiSynthVoice.h"
#include "audio/ZReverbLine.h"

namespace {

constexpr uint32_t kSamples = 44100;
double gSilentSeconds = 0.0;

ZSynthEvent Event(const float time, const uint8_t channel, const uint8_t note, const uint8_t velocity,
                  const uint8_t bend = 0) {
    ZSynthEvent e;
    e.time = time;
    e.channel = channel;
    e.note = static_cast<uint8_t>(0x80 | note);
    e.velocity = static_cast<uint8_t>(0x80 | velocity);
    e.bend = bend;
    return e;
}

// Sixteenth notes at 120 beats a minute on every channel for a second, then a loop.
ZMultiSynthTune BusyTune() {
    ZMultiSynthTune tune;
    tune.priority = 1;
    static const uint8_t drums[4] = {36, 42, 38, 42};
    for (int step = 0; step < 8; ++step) {
        const float t = static_cast<float>(step) * 0.125f;
        tune.events.PushBack(
            Event(t, 0x80, static_cast<uint8_t>(60 + step), 110, static_cast<uint8_t>(0x80 | (60 + step))));
        tune.events.PushBack(Event(t, 0x81, static_cast<uint8_t>(64 + step), 90));
        tune.events.PushBack(Event(t, 0x82, static_cast<uint8_t>(36 + step), 127));
        tune.events.PushBack(Event(t, 0x83, drums[step % 4], 100));
    }
    ZSynthEvent loop;
    loop.time = 1.0f;
    loop.channel = 0x80;
    loop.control = 0x81;
    tune.events.PushBack(loop);
    return tune;
}

void Run(benchmark::State& state, const bool busy, const uint32_t reverb) {
    ZMultiSynthVoice voice;
    voice.ApplyReverb(reverb);
    if (busy) {
        voice.PlayTune(BusyTune(), ZHashedString("busy"), 0, false);
    }
    ZArray<ZMultiSynthPlayer> players;
    voice.GetPlayingTunes(players);
    std::vector<ZSynthFrame> frames(kSamples);
    std::vector<int16_t> out(kSamples);
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (ZMultiSynthPlayer& player : players) {
            for (ZSynthFrame& frame : frames) {
                voice.StepPlayer(player, frame, 0);
            }
        }
        for (uint32_t i = 0; i < kSamples; ++i) {
            ZSynthFrame& frame = frames[i];
            const float x = 0.0f + frame.channel[0] + frame.channel[1] + frame.channel[2] + frame.channel[3];
            float history = x;
            float ahead = x;
            for (uint32_t l = 0; l < voice.GetReverbLineCount(); ++l) {
                auto* line = voice.GetReverbLine(l);
                history = line->Pass(history, false);
                ahead = line->Pass(ahead, true);
            }
            out[i] = ZMultiSynthVoice::ToSample(ahead);
            frame = ZSynthFrame{};
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perRun = seconds / static_cast<double>(state.iterations());
    if (!busy) {
        gSilentSeconds = perRun;
    }
    state.counters["x_realtime"] = 1.0 / perRun;
    if (gSilentSeconds > 0.0) {
        state.counters["vs_silent"] = perRun / gSilentSeconds;
    }
}

constexpr uint32_t kGameReverb = 200u << 20 | 40u << 12 | 15u << 8 | 3u << 4 | 5u;

void BM_SilentDefaultPlayer(benchmark::State& state) {
    Run(state, false, 0);
}
void BM_BusyTune(benchmark::State& state) {
    Run(state, true, 0);
}
void BM_BusyTuneWithReverb(benchmark::State& state) {
    Run(state, true, kGameReverb);
}

BENCHMARK(BM_SilentDefaultPlayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyTune)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyTuneWithReverb)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
