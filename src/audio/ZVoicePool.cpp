#include "audio/ZVoicePool.h"

#include "audio/ZAudioMgr.h"
#include "audio/ZPooledVoice.h"
#include "audio/ZSoundData.h"

ZVoicePool::ZVoicePool(ZSoundData* data) { sound = data; }

ZVoicePool::~ZVoicePool() { Stop(); }

ZVoice* ZVoicePool::Play(const bool loop) {
    ZAudioMgr* audio = GetAudioMgr();
    const double now = audio->GetTime();
    if (!(lastPlay + 0.05 < now)) {
        return nullptr;
    }
    lastPlay = now;
    if (sound == nullptr || sound->buffer == nullptr) {
        return nullptr;  // a sound without a buffer never plays
    }
    platform::sound::SoundBuffer* copy = audio->DuplicateSoundBuffer(sound->buffer);
    if (copy == nullptr) {
        return nullptr;
    }
    ZPooledVoice* voice = new ZPooledVoice(this, copy);
    voice->Play(loop);
    copies.PushBack(voice);
    return voice;
}

void ZVoicePool::Pause() {
    for (ZPooledVoice* copy : copies) {
        copy->Pause();
    }
}

void ZVoicePool::Stop() {
    for (ZPooledVoice* copy : copies) {
        delete copy;
    }
    copies.Clear();
}

void ZVoicePool::Update() {
    for (uint32_t i = 0; i < copies.Count();) {
        if (!copies[i]->IsPlaying()) {
            delete copies[i];
            copies.RemoveAt(i);
        } else {
            ++i;
        }
    }
}

void ZVoicePool::SetVolume(const float v) {
    volume = v;
    ApplyVolume();
}

void ZVoicePool::ApplyVolume() {
    for (ZPooledVoice* copy : copies) {
        copy->ApplyVolume();
    }
}

void ZVoicePool::SetPan(const float p) {
    pan = p;
    ApplyPan();
}

void ZVoicePool::ApplyPan() {
    for (ZPooledVoice* copy : copies) {
        copy->ApplyPan();
    }
}

void ZVoicePool::SetReverb(const uint32_t reverb) {
    for (ZPooledVoice* copy : copies) {
        copy->SetReverb(reverb);
    }
}
