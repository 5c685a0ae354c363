#pragma once

#include <cstdint>
#include <vector>

#include "audio/ZBufferedVoice.h"

// A voice that renders its own mono 16-bit sound on the music thread into a
// looping buffer that starts silent: finds the span due for writing, and
// copies the rendered samples into it.
class ZSynthVoice : public ZBufferedVoice {
public:
    // Silence: the voice renders everything it plays.
    void FillFromStart(uint8_t* region, uint32_t bytes) override;
    // The output sample for a mixed value: -1.0 is -32768, 1.0 is 32767.
    static int16_t ToSample(float x);

protected:
    // Ring distance from a forward to b in a ring of size n.
    static uint32_t RingDistance(uint32_t a, uint32_t b, uint32_t n);
    // The buffer's size in bytes, rounded down to whole samples.
    uint32_t BufferSize() const;
    // The play and write cursors, inside the buffer and on whole samples;
    // false when the buffer does not tell them.
    bool ReadCursors(uint32_t size, uint32_t& play, uint32_t& write) const;
    // Bytes to write from the write cursor: what has played since the last
    // pass, up to the play cursor; 0 until more than a refill's worth is due.
    uint32_t DueLength(uint32_t size, uint32_t play, uint32_t write) const;
    // Copies samples[write / 2 ...] into the buffer's span (wrapping), and
    // records the play cursor as this pass's position.
    void WriteSamples(const std::vector<int16_t>& samples, uint32_t size, uint32_t write, uint32_t length,
                      uint32_t play);
};
