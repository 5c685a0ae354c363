#pragma once

#include <cstdint>

#include "foundation/ZArray.h"

// One note of a PC-speaker melody.
struct ZPCSpeakerNote {
    int32_t note = -1;      // 0..107 (57 = A 440 Hz); -1 = rest
    float duration = 0.0f;  // seconds
    float sounding = 1.0f;  // part of the duration that sounds, 0..1
};

// One note list playing on the PC-speaker voice.
struct ZPCSpeakerPlayer {
    ZArray<ZPCSpeakerNote> notes;
    bool loop = false;
    int32_t priority = 0;
    float phase = 0.0f;  // radians
    int32_t noteIndex = 0;
    float timeInNote = 0.0f;  // seconds
    int32_t position = -1;    // byte position rendered up to; -1 = not started
    int32_t holdUntil = -1;   // byte position before which it writes nothing; -1 = none
    bool ended = false;
};
