#pragma once

#include "audio/ZSynthSound.h"

// The built-in sound "PCSpeaker", played by a ZPCSpeakerVoice.
class ZPCSpeakerSound : public ZSynthSound {
public:
    // Its voice, handed to the music thread.
    ZVoice* CreateVoice() override;
};
