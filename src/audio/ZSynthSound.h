#pragma once

#include "audio/ZSoundData.h"

class ZSynthVoice;

// A built-in sound with no file: a streamed buffer of mono 16-bit sound at
// 44100 Hz that starts silent and is rendered into by its voice.
class ZSynthSound : public ZSoundData {
public:
    // Mono, 16 bits, 44100 Hz.
    bool Load(const char* fileName) override;
    // Silence.
    void WriteData(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;

protected:
    // Ties a new voice to this sound and hands it to the music thread.
    ZVoice* StartVoice(ZSynthVoice* voice);
};
