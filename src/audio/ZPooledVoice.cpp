#include "audio/ZPooledVoice.h"

#include "audio/ZVoicePool.h"

ZPooledVoice::ZPooledVoice(ZVoicePool* pool, platform::sound::SoundBuffer* copy) : owner(pool), buffer(copy) {}

ZPooledVoice::~ZPooledVoice() { Stop(); }

ZVoice* ZPooledVoice::Play(const bool loop) {
    if (buffer != nullptr) {
        buffer->Play(loop ? platform::sound::DSBPLAY_LOOPING : 0u);
    }
    ApplyVolume();
    ApplyPan();
    return this;
}

void ZPooledVoice::Pause() {
    if (buffer != nullptr) {
        buffer->Stop();
    }
}

void ZPooledVoice::Stop() {
    if (buffer != nullptr) {
        buffer->Release();
        buffer = nullptr;
    }
}

void ZPooledVoice::SetVolume(const float v) {
    volume = v;
    ApplyVolume();
}

void ZPooledVoice::ApplyVolume() {
    if (buffer != nullptr) {
        buffer->SetVolume(LinearToBufferVolume(owner->GetEffectiveVolume() * owner->volume * volume));
    }
}

void ZPooledVoice::ApplyPan() {
    if (buffer != nullptr) {
        buffer->SetPan(PanToBufferPan(owner->pan));
    }
}

bool ZPooledVoice::IsPlaying() const {
    uint32_t status = 0;
    return buffer != nullptr && !platform::sound::Failed(buffer->GetStatus(&status)) &&
           (status & platform::sound::DSBSTATUS_PLAYING) != 0;
}
