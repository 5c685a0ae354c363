#pragma once

#include <cstdint>

#include "audio/ZMultiSynthTune.h"
#include "foundation/ZHashedString.h"

// One playing tune on the MultiSynth voice: the tune's fields, then where it
// is in the tune and in the voice's buffer.
struct ZMultiSynthPlayer {
    ZArray<ZSynthEvent> events;
    int32_t priority = 0;
    uint8_t channelMask = 0xFF;
    int32_t channelVolume[4] = {15, 15, 15, 15};
    int32_t duty[4] = {2, 2, 2, 2};
    int32_t loopIndex = -1;

    float time = 0.0f;                              // seconds since the tune started
    float phase[4] = {0.0f, 0.0f, 0.0f, 0.0f};      // [0, 1)
    float increment[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // cycles per sample
    float amplitude[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float bend[4] = {0.0f, 0.0f, 0.0f, 0.0f};        // semitones
    float bendFactor[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // 1.0594631^bend, kept with the bend
    int32_t nextEvent = 0;
    int32_t position = -1;  // byte position rendered up to; -1 = not started
    bool ended = false;
    ZHashedString name{"none"};
    uint32_t volumeClass = 0;  // 0 none, 1 music, 2 sound
    bool exclusive = false;    // silences its channels in every lower-priority tune
};
