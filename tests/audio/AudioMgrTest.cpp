// The audio manager: sounds by name in groups, reference counts, volumes
// heard on the mixed samples, the voice pool's spacing, and a device that
// does not start.

#include <cmath>

#include "audio/ZBufferedVoice.h"
#include "audio/ZSoundData.h"
#include "audio/ZVoicePool.h"
#include "audio/AudioFixture.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;

const ZHashedString kSfx("__ZORP_AudioGroup_SFX");
const ZHashedString kNone = ZHashedString::None();

int16_t Scaled(const int value, const int32_t level) {
    return static_cast<int16_t>(std::lrint(value * std::pow(10.0, level / 2000.0)));
}

TEST_F(AudioTest, TheKindComesFromTheExactEnding) {
    Start();
    dir.Write("boop.wav", MonoWav(100, 1000));
    dir.Write("BOOP.WAV", MonoWav(100, 1000));
    dir.Write("tune.OGG", "not even read");
    dir.Write("notes.txt", "text");
    Tool("tone " + dir.File("tone.ogg") + " --seconds 0.2");
    struct Case {
        const char* file;
        const char* name;
        bool created;
        const char* logged;
    };
    const Case cases[] = {
        {"boop.wav", "a", true, nullptr},
        {"tone.ogg", "b", true, nullptr},
        {"BOOP.WAV", "c", false, "is neither a .wav nor a .ogg file"},
        {"tune.OGG", "d", false, "is neither a .wav nor a .ogg file"},
        {"notes.txt", "e", false, "is neither a .wav nor a .ogg file"},
        {"ab", "f", false, "is neither a .wav nor a .ogg file"},
        {"", "g", false, "is neither a .wav nor a .ogg file"},
        {"missing.wav", "h", false, "no stream source holds the file"},
        {"boop.wav", "MultiSynth", true, nullptr},  // with a file, a built-in name is just a name
        {nullptr, "PCSpeaker", true, nullptr},
        {nullptr, "PCSPEAKER", true, nullptr},  // hashed names ignore case
        {nullptr, "Whatever", false, "no file and no built-in sound of that name"},
    };
    for (const Case& c : cases) {
        ZVoice* voice = audio->CreateSound(c.file, ZHashedString(c.name), kNone, false);
        EXPECT_EQ(voice != nullptr, c.created) << (c.file ? c.file : "(none)");
        EXPECT_EQ(audio->FindSound(ZHashedString(c.name)), voice);
        if (c.logged != nullptr) {
            EXPECT_TRUE(LogHas(c.logged)) << c.logged;
        }
    }
    EXPECT_EQ(audio->GetSoundCount(), 4u);
}

TEST_F(AudioTest, TheBuiltInSoundsStartSilentAndTakeCommands) {
    Start();
    for (const char* name : {"PCSpeaker", "MultiSynth"}) {
        ZVoice* voice = audio->CreateSound(nullptr, ZHashedString(name), kNone, true);
        ASSERT_NE(voice, nullptr) << name;
        EXPECT_EQ(voice->sound->format.channels, 1u);
        EXPECT_EQ(voice->sound->format.samplesPerSec, 44100u);
        EXPECT_EQ(voice->sound->bufferBytes, 44100u) << "half a second of mono 16-bit";
        ASSERT_NE(voice->GetThreadVoice(), nullptr) << "the music thread owns it";
        voice->Play(true);
        voice->SetReverb(3);
    }
    Play(8820);
    // The speaker rests at 0; the synthesizer's silence is the sample -1.
    for (size_t i = 0; i < MixedFrames(); ++i) {
        ASSERT_TRUE(Out(i) == 0 || Out(i) == -1) << "frame " << i << ": " << Out(i);
    }
    EXPECT_FALSE(static_cast<ZBufferedVoice*>(audio->FindSound(ZHashedString("MultiSynth")))->IsStopped());
}

TEST_F(AudioTest, ReferenceCountsKeepASoundUntilTheLastRelease) {
    Start();
    dir.Write("boop.wav", MonoWav(100, 1000));
    dir.Write("other.wav", MonoWav(50, 1000));
    const ZHashedString name("Boop");
    ZVoice* first = audio->CreateSound("boop.wav", name, kSfx, false);
    ASSERT_NE(first, nullptr);
    // A second create under the name changes nothing but the count.
    EXPECT_EQ(audio->CreateSound("other.wav", name, kNone, true), first);
    EXPECT_EQ(first->sound->referenceCount, 2u);
    EXPECT_EQ(first->sound->bufferBytes, 200u) << "the first file's data, not the second's";
    EXPECT_EQ(device->GetBufferCount(), 1u);

    audio->ReleaseSound(name);
    EXPECT_EQ(audio->FindSound(name), first) << "still loaded after one of two releases";
    audio->ReleaseSound(name);
    EXPECT_EQ(audio->FindSound(name), nullptr);
    EXPECT_EQ(device->GetBufferCount(), 0u);
    EXPECT_TRUE(audio->FindSoundGroup(kSfx)->voices.IsEmpty());
    audio->ReleaseSound(name);  // absent: nothing happens
    EXPECT_EQ(audio->PlaySound(name), nullptr);
}

TEST_F(AudioTest, MasterAndGroupVolumesCombineOnTheMixedSamples) {
    Start();
    dir.Write("tone.wav", MonoWav(4410, 16000));
    ZVoice* grouped = audio->CreateSound("tone.wav", ZHashedString("grouped"), kSfx, false);
    ASSERT_NE(grouped, nullptr);
    struct Case {
        float master;
        float group;
        float voice;
        int32_t level;  // master x group x voice in hundredths of a dB
    };
    const Case cases[] = {
        {1.0f, 1.0f, 1.0f, 0},     {0.5f, 1.0f, 1.0f, -600},  {1.0f, 0.5f, 1.0f, -600},
        {0.5f, 0.5f, 1.0f, -1200}, {0.5f, 0.25f, 0.5f, ZVoice::LinearToBufferVolume(0.0625f)},
        {0.0f, 1.0f, 1.0f, -10000},
    };
    for (const Case& c : cases) {
        audio->SetMasterVolume(c.master);
        audio->FindSoundGroup(kSfx)->SetVolume(c.group);
        grouped->SetVolume(c.voice);
        now += 1.0;
        ASSERT_NE(audio->PlaySound(ZHashedString("grouped")), nullptr);
        device->ClearMixed();
        device->Advance(10);
        EXPECT_EQ(Out(5), Scaled(16000, c.level)) << c.master << " " << c.group << " " << c.voice;
        audio->StopAllSounds();
    }
    // Changing the master volume reaches a copy that is already playing.
    audio->SetMasterVolume(1.0f);
    audio->FindSoundGroup(kSfx)->SetVolume(1.0f);
    grouped->SetVolume(1.0f);
    now += 1.0;
    audio->PlaySound(ZHashedString("grouped"));
    audio->SetMasterVolume(0.25f);
    device->ClearMixed();
    device->Advance(10);
    EXPECT_EQ(Out(5), Scaled(16000, -1200));
}

TEST_F(AudioTest, ASoundInNoGroupHearsTheMasterVolumeAlone) {
    Start();
    dir.Write("tone.wav", MonoWav(4410, 16000));
    audio->CreateSoundGroup(kSfx)->SetVolume(0.5f);
    ZVoice* voice = audio->CreateSound("tone.wav", ZHashedString("free"), kNone, false);
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(voice->group, nullptr);
    audio->SetMasterVolume(0.5f);
    EXPECT_FLOAT_EQ(voice->GetEffectiveVolume(), 0.5f);
    voice->Play(false);
    device->Advance(10);
    EXPECT_EQ(Out(5), Scaled(16000, -600));
}

TEST_F(AudioTest, ThePoolDropsASecondPlayWithinFiftyMilliseconds) {
    Start();
    dir.Write("boop.wav", MonoWav(44100, 1000));
    auto* pool = static_cast<ZVoicePool*>(audio->CreateSound("boop.wav", ZHashedString("Boop"), kSfx, false));
    ASSERT_NE(pool, nullptr);
    EXPECT_NE(audio->PlaySound(ZHashedString("Boop")), nullptr);
    now += 0.010;
    EXPECT_EQ(audio->PlaySound(ZHashedString("Boop")), nullptr) << "10 ms later: dropped";
    EXPECT_EQ(pool->GetCopyCount(), 1u);
    now += 0.060;
    EXPECT_NE(audio->PlaySound(ZHashedString("Boop")), nullptr) << "60 ms after the last: a second copy";
    EXPECT_EQ(pool->GetCopyCount(), 2u);
    device->Advance(100);
    EXPECT_EQ(Out(99), 2000) << "the copies overlap";
    device->Advance(44100);
    audio->Update();
    EXPECT_EQ(pool->GetCopyCount(), 0u) << "finished copies go at the next update";
    EXPECT_EQ(device->GetBufferCount(), 1u) << "the sound's own buffer stays";
}

TEST_F(AudioTest, ReleasingAStreamedVoiceLeavesItsGroupAtOnce) {
    Start();
    dir.Write("long.wav", MonoWav(44100, 1000));
    ZVoice* voice = audio->CreateSound("long.wav", ZHashedString("Long"), kSfx, true);
    ASSERT_NE(voice, nullptr);
    ASSERT_NE(voice->GetThreadVoice(), nullptr);
    ZSoundGroup* group = audio->FindSoundGroup(kSfx);
    EXPECT_EQ(group->voices.Count(), 1u);
    audio->ReleaseSound(ZHashedString("Long"));
    // Still the thread's until its next pass, but out of the group already,
    // so the settings callback can walk the group meanwhile.
    EXPECT_TRUE(group->voices.IsEmpty());
    EXPECT_EQ(audio->GetThreadVoiceCount(), 2u) << "pending, and queued for removal";
    group->SetVolume(0.3f);
    audio->RunMusicThreadPass();
    EXPECT_EQ(audio->GetThreadVoiceCount(), 0u);
    EXPECT_EQ(device->GetBufferCount(), 0u);
}

TEST_F(AudioTest, ReleaseAllSoundsDisposesOfEverySoundWhateverItsCount) {
    Start();
    dir.Write("a.wav", MonoWav(100, 1000));
    dir.Write("b.wav", MonoWav(100, 1000));
    audio->CreateSound("a.wav", ZHashedString("A"), kSfx, false);
    audio->CreateSound("a.wav", ZHashedString("A"), kSfx, false);
    audio->CreateSound("b.wav", ZHashedString("B"), kSfx, true);
    audio->StopAllSounds();
    audio->ReleaseAllSounds();
    EXPECT_EQ(audio->GetSoundCount(), 0u);
    audio->RunMusicThreadPass();
    EXPECT_EQ(device->GetBufferCount(), 0u) << "nothing left orphaned";
    EXPECT_TRUE(audio->FindSoundGroup(kSfx)->voices.IsEmpty());
}

TEST_F(AudioTest, AFailedStartShowsTheBoxAndEveryCallIsHarmless) {
    device->openResult = platform::sound::DSERR_NODRIVER;
    audio->Init(nullptr);
    EXPECT_EQ(audio->lastResult, platform::sound::DSERR_NODRIVER);
    ASSERT_EQ(window->Boxes().size(), 1u);
    const auto& box = window->Boxes()[0];
    EXPECT_EQ(box.caption, "DirectSound Initialization Error");
    EXPECT_EQ(box.text, std::string("DirectSound Initialization Error: DSERR_NODRIVER\r\n\r\n") +
                            platform::sound::ResultDescription(platform::sound::DSERR_NODRIVER) +
                            "\r\n\r\nUnable to proceed.\r\n\r\nFile: .\\src\\ZAudioMgr\r\nLine: 75");
    EXPECT_EQ(box.flags, platform::window::MB_OK | platform::window::MB_ICONERROR);
    EXPECT_FALSE(audio->IsMusicThreadRunning());
    EXPECT_FALSE(audio->GetMutex().IsOwnedByCurrentThread()) << "no start gate is held";

    dir.Write("boop.wav", MonoWav(100, 1000));
    EXPECT_EQ(audio->CreateSound("boop.wav", ZHashedString("Boop"), kSfx, false), nullptr);
    EXPECT_EQ(audio->PlaySound(ZHashedString("Boop")), nullptr);
    audio->SetMasterVolume(0.3f);
    audio->Update();
    audio->StopAllSounds();
    audio->ReleaseAllSounds();
    audio->StopMusicThread();  // returns at once: no thread
    audio->StopMusicThread();
}

TEST(AudioWithoutSystem, NoInstalledSystemMeansSilence) {
    DestroyAudioMgr();
    ZAudioMgr* audio = GetAudioMgr();
    audio->Init(nullptr);
    EXPECT_FALSE(audio->IsRunning());
    EXPECT_EQ(audio->CreateSound("x.wav", ZHashedString("X"), ZHashedString::None(), false), nullptr);
    DestroyAudioMgr();
}

}  // namespace

namespace {

// Sounds made while MuteWhenUnfocused is on fall silent while the window has
// no focus; the others play on. The setting is read when a sound is made.
TEST_F(AudioTest, MuteWhenUnfocusedSilencesSoundsMadeUnderIt) {
    platform::window::WindowCreateInfo info;
    info.width = 320;
    info.height = 240;
    ASSERT_TRUE(window->CreateMainWindow(info));
    window->UserActivate(false);
    Start();
    dir.Write("a.wav", MonoWav(44100, 1000));
    dir.Write("b.wav", MonoWav(44100, 30));
    ZVoice* global = audio->CreateSound("a.wav", ZHashedString("global"), kNone, false);
    audio->muteWhenUnfocused = true;
    ZVoice* local = audio->CreateSound("b.wav", ZHashedString("local"), kNone, false);
    ASSERT_NE(global, nullptr);
    ASSERT_NE(local, nullptr);
    EXPECT_NE(global->sound->description.flags & platform::sound::DSBCAPS_GLOBALFOCUS, 0u);
    EXPECT_EQ(local->sound->description.flags & platform::sound::DSBCAPS_GLOBALFOCUS, 0u);
    global->Play(false);
    local->Play(false);
    audio->Update();
    device->Advance(10);
    EXPECT_EQ(Out(5), 1030);
    window->UserDeactivate();
    audio->Update();
    device->Advance(10);
    EXPECT_EQ(Out(15), 1000) << "only the sound made under the setting falls silent";
}

}  // namespace
