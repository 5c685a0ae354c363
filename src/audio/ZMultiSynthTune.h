#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

// One event of a tune (12 bytes in the file, in this order).
struct ZSynthEvent {
    float time = 0.0f;     // seconds from the start of the tune
    uint8_t channel = 0;   // bit 7 set, bit 6 the alternate flag, low bits the channel 0..3
    uint8_t note = 0;      // bit 7: starts a note; low 7 bits the note number
    uint8_t velocity = 0;  // bit 7 with the note byte; low 7 bits 0..127 (0 silences)
    uint8_t bend = 0;      // bit 7: sets the bend, (low 7 bits - 64) / 32 semitones
    uint8_t control = 0;   // 0x80 ends the tune; bit 7 with any other value loops
    uint8_t pad[3] = {0, 0, 0};
};

// An event list for the MultiSynth, read from a ".zms" file: a 32-bit word,
// the major and minor version, four channel headers (volume, duty and, from
// version 1.1 on, an enabled byte), the event count and the events, and from
// 1.1 on the loop event index. All little-endian.
class ZMultiSynthTune {
public:
    static constexpr size_t kEventBytes = 12;

    // An empty tune (plays as silence) with the defaults.
    ZMultiSynthTune() = default;
    // Loads the file through the stream manager. A file that is missing,
    // short or malformed is logged and leaves the tune empty.
    ZMultiSynthTune(const char* fileName, int32_t priority, uint8_t defaultChannelMask = 0xFF);

    // Reads the bytes of a file. Every event is kept. For playing, channel
    // bytes 0x88 and 0x89 become 0xC3 and 0x83 and every other byte stays as
    // read; raw keeps every byte as written (the tune tool prints files this
    // way). False, with the reason, when the bytes do not hold a whole tune:
    // the events are then emptied.
    bool Read(const uint8_t* data, size_t size, bool raw, ZString* problem);
    // The bytes of a file holding this tune (the word and the versions from
    // the fields below). The channels' enabled bytes are written as read
    // while they still make channelMask, else each as the mask's bit.
    std::vector<uint8_t> Write() const;

    // The channel byte as the synthesizer plays it.
    static uint8_t RemapChannel(uint8_t channel);
    // The channel a (remapped) channel byte names: 0 to 3, or above 3 when it
    // names none (0x80..0x83 and 0xC0..0xC3 name the four).
    static uint32_t ChannelOf(uint8_t channel);
    // The channel mask the four enabled bytes make: flag0 | flag1 << 1 |
    // flag2 << 2 | flag3 << 3, each byte as it stands.
    static uint8_t MaskOf(const uint8_t flags[4]);
    // True when the version has the enabled bytes and the loop index.
    static bool HasV11Fields(int32_t major, int32_t minor) { return major > 1 || (major == 1 && minor >= 1); }

    ZArray<ZSynthEvent> events;
    int32_t priority = 0;
    uint8_t channelMask = 0xFF;  // bit c: channel c is used
    int32_t channelVolume[4] = {15, 15, 15, 15};
    int32_t duty[4] = {2, 2, 2, 2};
    // Event to jump to on a loop event; -1 (or an index past the events)
    // restarts at time 0.
    int32_t loopIndex = -1;
    // Each channel's enabled byte as the file holds it (kept whole so a raw
    // read writes it back).
    uint8_t enabledBytes[4] = {1, 1, 1, 1};

    // As read from (or to be written to) the file.
    uint32_t word = 0;
    int32_t majorVersion = 1;
    int32_t minorVersion = 1;
    // Events read that start a note or set a bend on no channel 0 to 3: the
    // player does not play those parts (their end or loop still counts).
    uint32_t strayEvents = 0;
};
