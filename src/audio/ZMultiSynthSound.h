#pragma once

#include "audio/ZSoundData.h"

// The built-in sound "MultiSynth": no file; a streamed buffer of mono 16-bit
// sound at 44100 Hz that starts silent and is rendered into by its voice.
class ZMultiSynthSound : public ZSoundData {
public:
    // Mono, 16 bits, 44100 Hz.
    bool Load(const char* fileName) override;
    // Silence.
    void WriteData(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    // A buffered voice handed to the music thread. Until the MultiSynth voice (tunes)
    // exists it is a plain buffered voice: it takes every command and plays
    // its silent buffer.
    ZVoice* CreateVoice() override;
};
