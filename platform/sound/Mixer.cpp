#include "platform/sound/Mixer.h"

#include <algorithm>
#include <cmath>

namespace platform::sound {

namespace {

// One frame of a buffer as left and right floats in [-1, 1).
template <int Bits, int Channels>
inline void ReadFrame(const std::uint8_t* data, const std::uint32_t frame, float& left, float& right) {
    if constexpr (Bits == 8) {
        const std::uint8_t* p = data + static_cast<std::size_t>(frame) * Channels;
        left = (static_cast<float>(p[0]) - 128.0f) * (1.0f / 128.0f);
        right = Channels == 2 ? (static_cast<float>(p[Channels - 1]) - 128.0f) * (1.0f / 128.0f) : left;
    } else {
        const std::uint8_t* p = data + static_cast<std::size_t>(frame) * Channels * 2;
        const auto sample = [](const std::uint8_t* q) {
            return static_cast<float>(static_cast<std::int16_t>(q[0] | (q[1] << 8))) * (1.0f / 32768.0f);
        };
        left = sample(p);
        right = Channels == 2 ? sample(p + 2) : left;
    }
}

template <int Bits, int Channels>
void AddFrames(BufferState& s, float* acc, const std::uint32_t frames, const double step, const float gainL,
               const float gainR) {
    const std::uint8_t* data = s.data->data();
    const std::uint32_t count = s.FrameCount();
    double position = s.position;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto index = static_cast<std::uint32_t>(position);
        const float frac = static_cast<float>(position - index);
        float l0 = 0.0f;
        float r0 = 0.0f;
        ReadFrame<Bits, Channels>(data, index, l0, r0);
        if (frac != 0.0f) {
            // The next frame wraps to the start only for a looping buffer.
            std::uint32_t next = index + 1;
            float l1 = 0.0f;
            float r1 = 0.0f;
            if (next >= count) {
                next = 0;
            }
            if (next != 0 || s.looping) {
                ReadFrame<Bits, Channels>(data, next, l1, r1);
            }
            l0 += (l1 - l0) * frac;
            r0 += (r1 - r0) * frac;
        }
        acc[2 * i] += l0 * gainL;
        acc[2 * i + 1] += r0 * gainR;
        position += step;
        if (position >= count) {
            if (!s.looping) {
                s.playing = false;
                s.position = 0.0;
                return;
            }
            position = std::fmod(position, static_cast<double>(count));
        }
    }
    s.position = position;
}

}  // namespace

float LevelToGain(const std::int32_t hundredthsOfDb) {
    if (hundredthsOfDb <= DSBVOLUME_MIN) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, static_cast<double>(hundredthsOfDb) / 2000.0));
}

std::uint32_t BufferState::FrameCount() const {
    if (!data || format.blockAlign == 0) {
        return 0;
    }
    return static_cast<std::uint32_t>(data->size() / format.blockAlign);
}

void Mixer::Mix(std::int16_t* out, const std::uint32_t frames) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_accumulator.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
    for (BufferState* state : m_buffers) {
        if (state->playing && !state->primary) {
            MixBuffer(*state, frames);
        }
    }
    for (std::size_t i = 0; i < m_accumulator.size(); ++i) {
        const float scaled = m_accumulator[i] * m_masterGain * 32768.0f;
        out[i] = static_cast<std::int16_t>(std::lrint(std::clamp(scaled, -32768.0f, 32767.0f)));
    }
}

void Mixer::MixBuffer(BufferState& s, const std::uint32_t frames) {
    if (s.FrameCount() == 0 || s.frequency == 0) {
        s.playing = false;
        s.position = 0.0;
        return;
    }
    float gain = LevelToGain(s.volume);
    if (!m_focused && (s.flags & DSBCAPS_GLOBALFOCUS) == 0) {
        gain = 0.0f;  // still advances, as a muted buffer keeps time
    }
    const float gainL = s.pan > 0 ? gain * LevelToGain(-s.pan) : gain;
    const float gainR = s.pan < 0 ? gain * LevelToGain(s.pan) : gain;
    const double step = static_cast<double>(s.frequency) / m_deviceRate;
    float* acc = m_accumulator.data();
    const bool wide = s.format.bitsPerSample == 16;
    if (s.format.channels == 2) {
        wide ? AddFrames<16, 2>(s, acc, frames, step, gainL, gainR) : AddFrames<8, 2>(s, acc, frames, step, gainL, gainR);
    } else {
        wide ? AddFrames<16, 1>(s, acc, frames, step, gainL, gainR) : AddFrames<8, 1>(s, acc, frames, step, gainL, gainR);
    }
}

void Mixer::SetDeviceRate(const std::uint32_t rate) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_deviceRate = rate > 0 ? rate : 44100;
}

std::uint32_t Mixer::GetDeviceRate() const {
    const std::lock_guard<std::mutex> lock(m_guard);
    return m_deviceRate;
}

void Mixer::SetLatencyFrames(const std::uint32_t frames) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_latencyFrames = frames;
}

void Mixer::SetFocused(const bool focused) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_focused = focused;
}

std::uint32_t Mixer::GetBufferCount() const {
    const std::lock_guard<std::mutex> lock(m_guard);
    std::uint32_t count = 0;
    for (const BufferState* state : m_buffers) {
        count += state->primary ? 0 : 1;
    }
    return count;
}

SoundBuffer* Mixer::NewBuffer(const std::shared_ptr<Mixer>& self, std::shared_ptr<BufferState> state) {
    BufferState* raw = state.get();
    SoundBuffer* buffer = new SoundBuffer(self, std::move(state));
    const std::lock_guard<std::mutex> lock(m_guard);
    m_buffers.push_back(raw);
    return buffer;
}

void Mixer::Forget(const BufferState* state) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), state), m_buffers.end());
}

std::uint32_t Mixer::LatencyBytes(const BufferState& state) const {
    // The latency in the buffer's own frames, rounded up.
    const double frames = std::ceil(static_cast<double>(m_latencyFrames) * state.frequency / m_deviceRate);
    return static_cast<std::uint32_t>(frames) * state.format.blockAlign;
}

void Mixer::SetMasterVolume(const std::int32_t volume) { m_masterGain = LevelToGain(volume); }

}  // namespace platform::sound
