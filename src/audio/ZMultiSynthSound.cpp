#include "audio/ZMultiSynthSound.h"

#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZBufferedVoice.h"
#include "foundation/ZLog.h"

bool ZMultiSynthSound::Load(const char* name) {
    if (!ZSoundData::Load(name)) {
        return false;
    }
    format.channels = 1;
    format.bitsPerSample = 16;
    format.samplesPerSec = 44100;
    format.blockAlign = 2;
    return true;
}

void ZMultiSynthSound::WriteData(void* ptr1, const uint32_t bytes1, void*, uint32_t) {
    if (ptr1 != nullptr) {
        std::memset(ptr1, 0, bytes1);
    }
}

ZVoice* ZMultiSynthSound::CreateVoice() {
    ZLog::Printf("Sound \"MultiSynth\": its synthesizer is not built yet; the voice plays silence");
    ZBufferedVoice* voice = new ZBufferedVoice();
    voice->sound = this;
    GetAudioMgr()->QueueVoiceForThread(voice);
    return voice;
}
