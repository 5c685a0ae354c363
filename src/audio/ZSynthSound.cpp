#include "audio/ZSynthSound.h"

#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZSynthVoice.h"

bool ZSynthSound::Load(const char* name) {
    if (!ZSoundData::Load(name)) {
        return false;
    }
    format.channels = 1;
    format.bitsPerSample = 16;
    format.samplesPerSec = 44100;
    format.blockAlign = 2;
    return true;
}

void ZSynthSound::WriteData(void* ptr1, const uint32_t bytes1, void*, uint32_t) {
    if (ptr1 != nullptr) {
        std::memset(ptr1, 0, bytes1);
    }
}

ZVoice* ZSynthSound::StartVoice(ZSynthVoice* voice) {
    voice->sound = this;
    GetAudioMgr()->QueueVoiceForThread(voice);
    return voice;
}
