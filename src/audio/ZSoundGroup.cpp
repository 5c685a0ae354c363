#include "audio/ZSoundGroup.h"

#include "audio/ZVoice.h"

void ZSoundGroup::AddVoice(ZVoice* voice) {
    voice->group = this;
    voices.PushBack(voice);
}

void ZSoundGroup::RemoveVoice(ZVoice* voice) {
    if (voice->group == this) {
        voice->group = nullptr;
    }
    const int32_t index = voices.Find(voice);
    if (index >= 0) {
        voices.RemoveAt(static_cast<uint32_t>(index));
    }
}

void ZSoundGroup::SetVolume(const float v) {
    volume = v;
    for (ZVoice* voice : voices) {
        voice->ApplyVolume();
    }
}
