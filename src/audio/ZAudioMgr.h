#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "platform/os/threads.h"

namespace platform::window {
class WindowSystem;
}

// A named volume that its member sounds multiply into their own.
struct ZSoundGroup {
    ZHashedString name;
    float volume = 1.0f;
};

// The audio manager as the application framework sees it: start-up with the
// streaming thread's hand-shake, the settings the base game copies in, the
// per-frame tick, the sound groups and stopping everything.
//
// Until the audio subsystem exists this one plays nothing and starts no
// thread; it keeps the settings and the groups so that callers behave alike.
class ZAudioMgr {
public:
    ZAudioMgr() = default;
    ~ZAudioMgr();
    ZAudioMgr(const ZAudioMgr&) = delete;
    ZAudioMgr& operator=(const ZAudioMgr&) = delete;

    // Starts the device and the streaming thread. Takes the audio mutex first:
    // the thread waits on it until the base game releases it at the end of its
    // start-up, so it cannot run before the settings are in.
    void Init(platform::window::WindowSystem* window);
    // Stores the master volume; every sound re-applies its volume.
    void SetMasterVolume(float volume) { masterVolume = volume; }
    // The per-frame tick.
    void Update() {}
    // Tells every voice to stop.
    void StopAllSounds() {}
    // Drops one reference of every sound and empties the sound table.
    void ReleaseAllSounds() {}
    // Raises the streaming thread's stop flag under the audio mutex and waits
    // until the thread acknowledges. Returns at once when no thread runs.
    void StopMusicThread();

    // A new group (volume 1) under the name, replacing none: an existing group
    // of that name is returned as it is.
    ZSoundGroup* CreateSoundGroup(ZHashedString name);
    ZSoundGroup* FindSoundGroup(ZHashedString name) const;

    os::Mutex& GetMutex() { return m_mutex; }

    // Settings written by the base game and the configuration callbacks.
    float masterVolume = 1.0f;
    float streamLength = 0.0f;         // seconds
    float streamUpdatePercent = 0.0f;  // part of the stream refilled per update
    float streamWriteDelay = 0.0f;     // seconds
    bool muteWhenUnfocused = false;
    bool multiSynthExclusiveChannels = false;
    float musicVolume = 0.0f;
    float soundVolume = 0.0f;

private:
    ZMap<ZHashedString, ZSoundGroup*> m_groups;
    os::Mutex m_mutex;
};

// The audio manager, made on first use.
ZAudioMgr* GetAudioMgr();
// Frees it (shutdown, after the renderer); the next GetAudioMgr makes a new one.
void DestroyAudioMgr();
