// The real "Music Thread": its start gate, its sleep rule, its refills of a
// streamed voice, and the stop handshake at shutdown.

#include <functional>
#include <limits>

#include "audio/ZBufferedVoice.h"
#include "audio/AudioFixture.h"
#include "foundation/ZThreadTagger.h"
#include "platform/os/threads.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;

// Waits (polling, up to about five seconds) until the condition holds.
bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) {
            return true;
        }
        os::SleepMs(10);
    }
    return condition();
}

TEST(MusicThreadSleep, ThePassLastsThePeriodLessATimerTick) {
    struct Case {
        double length;
        double percent;
        double elapsed;
        int32_t sleepMs;
    };
    const Case cases[] = {
        {0.5, 0.25, 0.0, 109},     // 125 ms less 15.6
        {0.5, 0.25, 0.010, 99},    // the work is taken off
        {0.5, 0.25, 0.1094, 0},    // work that fills the period: no sleep
        {0.5, 0.25, 0.5, 0},       // longer work never sleeps negative
        {1.0, 0.5, 0.0, 484},
        {0.0, 0.25, 0.0, 0},
        {1000.0, 1.0, 0.0, 2000},  // absurd settings still answer a stop soon
        {std::numeric_limits<double>::quiet_NaN(), 0.25, 0.0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZAudioMgr::MusicThreadSleepMs(c.length, c.percent, c.elapsed), c.sleepMs)
            << c.length << " x " << c.percent << " - " << c.elapsed;
    }
}

TEST_F(AudioTest, TheThreadWaitsForTheStartGateThenRefillsAndStops) {
    audio->Init(nullptr);
    ASSERT_TRUE(audio->IsMusicThreadRunning());
    EXPECT_TRUE(audio->GetMutex().IsOwnedByCurrentThread()) << "the start gate is held";
    os::SleepMs(50);
    EXPECT_EQ(audio->GetThreadPassCount(), 0u) << "no pass before the gate opens";

    dir.Write("long.wav", MonoWav(100000, 3000));
    ZVoice* voice = audio->CreateSound("long.wav", ZHashedString("long"), ZHashedString::None(), true);
    ASSERT_NE(voice, nullptr);
    voice->Play(true);
    audio->GetMutex().Unlock();
    ASSERT_TRUE(WaitFor([&] { return audio->GetThreadPassCount() >= 1; }));

    // The cursor moves only when the test mixes: the thread refills behind it.
    for (int lap = 0; lap < 6; ++lap) {
        device->Advance(8000);
        const uint32_t passes = audio->GetThreadPassCount();
        ASSERT_TRUE(WaitFor([&] { return audio->GetThreadPassCount() >= passes + 2; }));
    }
    for (size_t i = 0; i < MixedFrames(); ++i) {
        ASSERT_EQ(Out(i), 3000) << "frame " << i << " of a stream the thread refilled";
    }

    audio->StopMusicThread();
    EXPECT_FALSE(audio->IsMusicThreadRunning());
    const uint32_t passes = audio->GetThreadPassCount();
    audio->StopMusicThread();  // a second stop returns at once
    os::SleepMs(150);
    EXPECT_EQ(audio->GetThreadPassCount(), passes) << "no pass after the stop";

    DestroyAudioMgr();
    audio = nullptr;
    device->ClearMixed();
    device->Advance(1000);
    for (size_t i = 0; i < MixedFrames(); ++i) {
        ASSERT_EQ(Out(i), 0) << "no sound after shutdown";
    }
    EXPECT_TRUE(WaitFor([] { return GetThreadTagger()->GetThreadCount() == 1; })) << "the thread has ended";
}

TEST_F(AudioTest, ShutdownWithTheStartGateStillHeldDoesNotHang) {
    audio->Init(nullptr);
    ASSERT_TRUE(audio->IsMusicThreadRunning());
    dir.Write("long.wav", MonoWav(100000, 3000));
    ASSERT_NE(audio->CreateSound("long.wav", ZHashedString("long"), ZHashedString::None(), true), nullptr);
    // Start-up was cut short: the gate was never released.
    DestroyAudioMgr();
    audio = nullptr;
    EXPECT_TRUE(WaitFor([] { return GetThreadTagger()->GetThreadCount() == 1; }));
}

// The main thread can queue a voice and release it between two steps of a
// pass: it is freed once and never opened afterwards.
TEST_F(AudioTest, AVoiceReleasedBeforeItIsOpenedIsNeverTouchedAgain) {
    struct CountingVoice : ZBufferedVoice {
        int* opens;
        explicit CountingVoice(int* counter) : opens(counter) {}
        void OpenStream() override { ++*opens; }
    };
    int opens = 0;
    audio->OpenPendingVoices();
    auto* voice = new CountingVoice(&opens);
    audio->QueueVoiceForThread(voice);
    audio->UpdateActiveVoices();
    audio->QueueVoiceForRemoval(voice);
    audio->DestroyReleasedVoices();
    EXPECT_EQ(audio->GetThreadVoiceCount(), 0u);
    audio->RunMusicThreadPass();  // opened the freed voice before
    EXPECT_EQ(opens, 0);
}

TEST_F(AudioTest, VoicesAreMadeAndReleasedWhileTheThreadRuns) {
    audio->Init(nullptr);
    audio->GetMutex().Unlock();
    dir.Write("a.wav", MonoWav(30000, 100));
    Tool("tone " + dir.File("b.ogg") + " --seconds 0.5");
    for (int i = 0; i < 20; ++i) {
        const ZHashedString name(i % 2 == 0 ? "a" : "b");
        ZVoice* voice = audio->CreateSound(i % 2 == 0 ? "a.wav" : "b.ogg", name, ZHashedString("SFX"), true);
        ASSERT_NE(voice, nullptr);
        voice->Play(i % 3 == 0);
        voice->SetVolume(0.5f);
        device->Advance(3000);
        if (i % 4 == 3) {
            audio->ReleaseAllSounds();
        } else {
            audio->ReleaseSound(name);
        }
    }
    EXPECT_TRUE(WaitFor([&] { return audio->GetThreadVoiceCount() == 0; })) << "the thread freed every voice";
    EXPECT_EQ(device->GetBufferCount(), 0u);
}

}  // namespace
