#pragma once

#include "audio/ZVoice.h"
#include "foundation/ZArray.h"

class ZPooledVoice;

// Plays a whole (non-streamed) WAV as overlapping copies, each on a duplicate
// of the sound's buffer, directly from the calling thread (main thread only).
// A second play within 0.05 s of the last is dropped.
class ZVoicePool : public ZVoice {
public:
    explicit ZVoicePool(ZSoundData* data);
    ~ZVoicePool() override;

    // The new copy, or null when refused (too soon, or no buffer to copy).
    ZVoice* Play(bool loop) override;
    void Pause() override;
    // Deletes every copy.
    void Stop() override;
    // Deletes the copies that have finished.
    void Update() override;
    void SetVolume(float volume) override;
    void ApplyVolume() override;
    void SetPan(float pan) override;
    void ApplyPan() override;
    void SetReverb(uint32_t reverb) override;

    uint32_t GetCopyCount() const { return copies.Count(); }

    double lastPlay = -1.0;  // seconds of the engine timer
    ZArray<ZPooledVoice*> copies;
    float volume = 1.0f;
    float pan = 0.0f;
};
