#pragma once

#include "audio/ZVoice.h"
#include "platform/sound/sound.h"

class ZVoicePool;

// One playing copy of a pooled sound, on its own duplicated buffer.
class ZPooledVoice : public ZVoice {
public:
    ZPooledVoice(ZVoicePool* owner, platform::sound::SoundBuffer* buffer);
    ~ZPooledVoice() override;

    ZVoice* Play(bool loop) override;
    // Stops the buffer (its position stays).
    void Pause() override;
    // Releases the buffer: the copy is finished.
    void Stop() override;
    void SetVolume(float volume) override;
    void ApplyVolume() override;
    void ApplyPan() override;

    // True while the buffer plays.
    bool IsPlaying() const;

    ZVoicePool* owner;
    platform::sound::SoundBuffer* buffer;  // owned
    float volume = 1.0f;
    float pan = 0.0f;
};
