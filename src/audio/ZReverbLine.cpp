#include "audio/ZReverbLine.h"

#include <cmath>

uint32_t ZReverbLine::LengthForDelay(const double delayMs) {
    const double samples = delayMs / 1000.0 * 44100.0;
    return samples >= 1.0 ? static_cast<uint32_t>(samples) : 0u;
}

ZReverbLine::ZReverbLine(const double delayMs, const float feedback, const float gain, const float damping)
    : m_length(LengthForDelay(delayMs) > 0 ? LengthForDelay(delayMs) : 1u),
      m_history(m_length, 0.0f),
      m_lookAhead(m_length, 0.0f),
      m_feedback(feedback),
      m_gain(gain),
      m_damping(damping) {}

float ZReverbLine::Pass(const float x, const bool lookAhead) {
    float* buffer = lookAhead ? m_lookAhead.data() : m_history.data();
    uint32_t& index = lookAhead ? m_lookAheadIndex : m_historyIndex;
    const float y = buffer[index];
    const float k = 1.0f / (std::fabs(y - x) * m_damping + 1.0f);
    const float out = m_feedback * x + k * y * m_gain;
    buffer[index] = out;
    index = index + 1 < m_length ? index + 1 : 0;
    return out;
}

void ZReverbLine::CopyHistory() {
    m_lookAhead = m_history;
    m_lookAheadIndex = m_historyIndex;
}
