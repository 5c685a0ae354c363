#pragma once

#include <cstdint>

class ZBufferedVoice;
class ZSoundData;
class ZSoundGroup;

// What game code holds to play a sound. The root does nothing by itself; a
// voice pool plays overlapping copies on the caller's thread, a buffered
// voice hands its work to the music thread.
class ZVoice {
public:
    ZVoice() = default;
    // Leaves its group (main thread) and deletes its sound data.
    virtual ~ZVoice();
    ZVoice(const ZVoice&) = delete;
    ZVoice& operator=(const ZVoice&) = delete;

    virtual ZVoice* Play(bool /*loop*/) { return nullptr; }
    virtual void Pause() {}
    virtual void Stop() {}
    virtual void Update() {}
    virtual void SetVolume(float /*volume*/) {}
    virtual void ApplyVolume() {}
    virtual void SetPan(float /*pan*/) {}
    virtual void ApplyPan() {}
    virtual void SetReverb(uint32_t /*reverb*/) {}
    // The voice itself when the music thread owns it, else null.
    virtual ZBufferedVoice* GetThreadVoice() { return nullptr; }
    // Master volume x group volume (1 without a group).
    virtual float GetEffectiveVolume() const;
    virtual void Lock() {}
    virtual void Unlock() {}

    // Linear volume to hundredths of a dB: -6 dB per halving, -10000 at or
    // below 1e-5, never above 0.
    static int32_t LinearToBufferVolume(float volume);
    // Pan in [-1, 1] to the buffer's pan; positive attenuates the left channel.
    static int32_t PanToBufferPan(float pan);

    ZSoundGroup* group = nullptr;  // not owned
    ZSoundData* sound = nullptr;   // owned
};
