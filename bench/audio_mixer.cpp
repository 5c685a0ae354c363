// The sound device's mixer: one second of stereo output at 44100 Hz mixed in
// device-sized pieces of 1024 frames, from 1 voice (the baseline) and from 32
// looping voices of mixed formats (16-bit mono at the device's rate, 8-bit
// stereo at 22050 Hz, so half of them are resampled), with volumes and pans.
// "x_realtime" is seconds of sound mixed per second of work; "vs_one_voice"
// is the time of a run divided by the one-voice run's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/sound/Mixer.h"
#include "platform/sound/fake/FakeSoundSystem.h"

namespace ps = platform::sound;

namespace {

double gOneVoiceSeconds = 0.0;

ps::SoundBuffer* MakeVoice(ps::FakeSoundSystem& system, const int index) {
    const bool wide = index % 2 == 0;
    ps::WaveFormat f;
    f.channels = wide ? 1 : 2;
    f.bitsPerSample = wide ? 16 : 8;
    f.samplesPerSec = wide ? 44100 : 22050;
    f.blockAlign = static_cast<uint16_t>(f.channels * f.bitsPerSample / 8);
    f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
    ps::BufferDesc desc;
    desc.flags = ps::DSBCAPS_GLOBALFOCUS | ps::DSBCAPS_CTRLVOLUME | ps::DSBCAPS_CTRLPAN;
    desc.bufferBytes = f.avgBytesPerSec / 2;
    desc.format = &f;
    ps::SoundBuffer* buffer = nullptr;
    system.CreateSoundBuffer(desc, &buffer);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    buffer->Lock(0, 0, &p1, &n1, &p2, &n2, ps::DSBLOCK_ENTIREBUFFER);
    auto* bytes = static_cast<uint8_t*>(p1);
    for (uint32_t i = 0; i < n1; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 37 + index * 11) & 0xFF);
    }
    buffer->Unlock(p1, n1, p2, n2);
    buffer->SetVolume(-(index * 50));
    buffer->SetPan((index % 5 - 2) * 1000);
    buffer->Play(ps::DSBPLAY_LOOPING);
    return buffer;
}

void BM_MixOneSecond(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    ps::FakeSoundSystem system;
    system.Open();
    std::vector<ps::SoundBuffer*> buffers;
    for (int i = 0; i < voices; ++i) {
        buffers.push_back(MakeVoice(system, i));
    }
    std::vector<int16_t> out(1024 * 2);
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int piece = 0; piece < 44100 / 1024 + 1; ++piece) {
            system.GetMixer().Mix(out.data(), 1024);
            benchmark::DoNotOptimize(out.data());
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perSecond = total / static_cast<double>(state.iterations());
    state.counters["x_realtime"] = perSecond > 0.0 ? 1.0 / perSecond : 0.0;
    if (voices == 1) {
        gOneVoiceSeconds = perSecond;
    } else if (gOneVoiceSeconds > 0.0) {
        state.counters["vs_one_voice"] = perSecond / gOneVoiceSeconds;
    }
    for (ps::SoundBuffer* buffer : buffers) {
        buffer->Release();
    }
}
BENCHMARK(BM_MixOneSecond)->Arg(1)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
