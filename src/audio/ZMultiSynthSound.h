#pragma once

#include "audio/ZSynthSound.h"

// The built-in sound "MultiSynth", played by a ZMultiSynthVoice.
class ZMultiSynthSound : public ZSynthSound {
public:
    // Its voice, handed to the music thread.
    ZVoice* CreateVoice() override;
};
