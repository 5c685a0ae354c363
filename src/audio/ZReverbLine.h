#pragma once

#include <cstdint>
#include <vector>

// One feedback delay line of the MultiSynth's reverb. It keeps two buffers:
// the history, fed with what has been played, and a look-ahead copy that the
// rendering ahead of the play cursor runs through and then throws away.
class ZReverbLine {
public:
    // length = trunc(delayMs / 1000 * 44100) samples; at least 1.
    ZReverbLine(double delayMs, float feedback, float gain, float damping);

    static uint32_t LengthForDelay(double delayMs);
    // Passes one sample through the line, using the history or the look-ahead.
    float Pass(float x, bool lookAhead);
    // The look-ahead starts again from the history.
    void CopyHistory();
    uint32_t GetLength() const { return m_length; }

private:
    uint32_t m_length;
    std::vector<float> m_history;
    std::vector<float> m_lookAhead;
    float m_feedback;
    float m_gain;
    uint32_t m_historyIndex = 0;
    uint32_t m_lookAheadIndex = 0;
    float m_damping;
};
