#pragma once

#include "audio/ZSoundData.h"

// The built-in sound "PCSpeaker": no file; a streamed buffer of mono 16-bit
// sound at 44100 Hz that starts silent and is rendered into by its voice.
class ZPCSpeakerSound : public ZSoundData {
public:
    // Mono, 16 bits, 44100 Hz.
    bool Load(const char* fileName) override;
    // Silence.
    void WriteData(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    // Its voice (ZPCSpeakerVoice), handed to the music thread.
    ZVoice* CreateVoice() override;
};
