#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "audio/ZSoundGroup.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "platform/os/threads.h"
#include "platform/sound/sound.h"

class ZBufferedVoice;
class ZVoice;

namespace platform::window {
class WindowSystem;
}

// The engine's audio manager: the sound device, the loaded sounds (each held
// as the voice that plays it, by name), the sound groups, the master volume
// and the streaming settings, and the "Music Thread" that refills every
// buffered voice. Main thread, except where a member says otherwise.
//
// When the device does not start (or no sound system is installed) every call
// is a harmless no-op: no sound is created and nothing plays.
class ZAudioMgr {
public:
    ZAudioMgr() = default;
    // Shutdown, then frees the tables.
    ~ZAudioMgr();
    ZAudioMgr(const ZAudioMgr&) = delete;
    ZAudioMgr& operator=(const ZAudioMgr&) = delete;

    // Starts the device and the music thread. The thread waits on the audio
    // mutex, which this takes and the base game releases at the end of its
    // start-up, so it cannot run before the settings are in. A device that
    // does not start shows the "DirectSound Initialization Error" box and
    // starts no thread.
    void Init(platform::window::WindowSystem* window);
    // The device alone (Init's first half): true when it started.
    bool InitDevice();
    // Destroys the groups, stops the thread, deletes every voice left and
    // releases the device. Safe to run twice.
    void Shutdown();
    // Raises the thread's stop flag and waits for its done flag; returns at
    // once when no thread runs or it has ended.
    void StopMusicThread();

    // The sound's voice: loaded on the first call for the name (the kind by
    // the file's exact ".wav"/".ogg" ending), later calls only add a
    // reference. Null, logged, for an unknown kind, a file that cannot be
    // used, or with no device.
    ZVoice* CreateSound(const char* fileName, ZHashedString soundName, ZHashedString groupName, bool streamed);
    ZVoice* FindSound(ZHashedString name) const;
    // Plays the sound once; the voice playing it, or null.
    ZVoice* PlaySound(ZHashedString name);
    void StopAllSounds();
    // Drops one reference; the last one disposes of the voice.
    void ReleaseSound(ZHashedString name);
    // Disposes of every sound, whatever its count, and empties the table.
    void ReleaseAllSounds();
    // The per-frame tick: the focus for the mixer, then every voice's Update.
    void Update();
    // masterVolume := volume, then every sound re-applies its volume.
    void SetMasterVolume(float volume);

    // A new group (volume 1) under the name; an existing one is returned as it is.
    ZSoundGroup* CreateSoundGroup(ZHashedString name);
    ZSoundGroup* FindSoundGroup(ZHashedString name) const;
    // The voice leaves the group of that name (its group pointer is cleared).
    void RemoveVoiceFromGroup(ZHashedString groupName, ZVoice* voice);

    // Buffers on the device; null (logged) when it refuses or is not running.
    platform::sound::SoundBuffer* CreateSoundBuffer(const platform::sound::BufferDesc& desc);
    platform::sound::SoundBuffer* DuplicateSoundBuffer(platform::sound::SoundBuffer* source);

    // Music thread hand-over, under the audio mutex (any thread).
    void QueueVoiceForThread(ZBufferedVoice* voice);
    void QueueVoiceForRemoval(ZBufferedVoice* voice);
    // Steps 1 to 3 of a thread pass: open the pending voices, update the
    // active ones, destroy the released ones. Tests without a thread call it,
    // or its steps one by one; the main thread may queue between any two.
    void RunMusicThreadPass();
    void OpenPendingVoices();
    void UpdateActiveVoices();
    void DestroyReleasedVoices();
    // Milliseconds the thread sleeps after a pass whose work took elapsed seconds.
    static int32_t MusicThreadSleepMs(double streamLength, double updatePercent, double elapsed);

    os::Mutex& GetMutex() { return m_mutex; }
    bool IsRunning() const { return m_system != nullptr; }
    bool IsMusicThreadRunning();
    // Seconds on the engine timer (the voice pool's play spacing); tests may
    // put their own clock in.
    double GetTime() const;
    void SetTimeSource(std::function<double()> source) { m_timeSource = std::move(source); }
    uint32_t GetSoundCount() const { return m_sounds.Count(); }
    // Voices held by the music thread's lists (pending, active, to remove).
    uint32_t GetThreadVoiceCount();
    uint32_t GetThreadPassCount() const { return m_passes.load(); }

    platform::sound::Result lastResult = platform::sound::DS_OK;
    float masterVolume = 1.0f;
    // Read by the music thread and the voices while the settings callback
    // writes them.
    std::atomic<float> streamLength{0.0f};         // seconds held by a streaming buffer
    std::atomic<float> streamUpdatePercent{0.0f};  // part of a buffer played before a refill
    std::atomic<float> streamWriteDelay{0.0f};     // seconds
    // The two stream settings as the voices use them. Config.ini holds any
    // float, so they are clamped where they are read: the part to 0..1, the
    // delay to 0..kMaxStreamWriteDelay seconds; NaN reads as 0.
    static constexpr float kMaxStreamWriteDelay = 10.0f;
    float GetStreamUpdatePart() const;
    float GetStreamWriteDelay() const;
    std::atomic<bool> muteWhenUnfocused{false};
    std::atomic<bool> multiSynthExclusiveChannels{false};
    std::atomic<float> musicVolume{0.0f};
    std::atomic<float> soundVolume{0.0f};

private:
    void StartMusicThread();
    static uint32_t MusicThreadProc(uintptr_t manager);
    // Out of its group, then to the thread's removal list or deleted at once.
    void DisposeVoice(ZVoice* voice);

    platform::sound::SoundSystem* m_system = nullptr;  // null until Init succeeds and after Shutdown
    ZMap<ZHashedString, ZSoundGroup*> m_groups;
    ZMap<ZHashedString, ZVoice*> m_sounds;
    std::function<double()> m_timeSource;

    // Music thread state; the lists and flags are guarded by m_mutex.
    os::Mutex m_mutex;
    bool m_threadStarted = false;
    bool m_stop = false;
    bool m_done = false;
    ZArray<ZBufferedVoice*> m_pending;
    ZArray<ZBufferedVoice*> m_toRemove;
    ZArray<ZBufferedVoice*> m_active;
    std::atomic<uint32_t> m_passes{0};
};

// The audio manager, made on first use.
ZAudioMgr* GetAudioMgr();
// Frees it (shutdown, after the renderer); the next GetAudioMgr makes a new one.
void DestroyAudioMgr();
