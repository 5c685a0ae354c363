#include "platform/sound/Mixer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace platform::sound {

namespace {

// Output frames mixed per block: the block's positions and the two sides'
// sums live on the stack of one pass.
constexpr std::uint32_t kBlock = 256;
// Positions that are whole multiples of 1/kUnit (and rates that step by
// them) add up exactly in fixed point, as they do in doubles.
constexpr double kUnit = 65536.0;
constexpr int kUnitBits = 16;

// One sample as a float in [-1, 1).
template <int Bits>
inline float Sample(const std::uint8_t* p) {
    if constexpr (Bits == 8) {
        return (static_cast<float>(p[0]) - 128.0f) * (1.0f / 128.0f);
    } else {
        return static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8))) * (1.0f / 32768.0f);
    }
}

// One frame of a buffer as left and right floats.
template <int Bits, int Channels>
inline void ReadFrame(const std::uint8_t* data, const std::uint32_t frame, float& left, float& right) {
    constexpr std::size_t kFrameBytes = Channels * Bits / 8;
    const std::uint8_t* p = data + static_cast<std::size_t>(frame) * kFrameBytes;
    left = Sample<Bits>(p);
    right = Channels == 2 ? Sample<Bits>(p + Bits / 8) : left;
}

// What one buffer adds this pass, fixed before any frame is mixed.
struct Voice {
    const std::uint8_t* data;
    std::uint32_t count;  // frames in the buffer
    bool looping;
    double step;  // buffer frames per output frame
    float gainL;
    float gainR;
};

// Frames the buffer plays at its own rate: a straight run of samples.
template <int Bits, int Channels>
void AddRun(const Voice& v, const std::uint32_t first, const std::uint32_t n, float* accL, float* accR) {
    constexpr std::size_t kFrameBytes = Channels * Bits / 8;
    const std::uint8_t* p = v.data + static_cast<std::size_t>(first) * kFrameBytes;
    const float gainL = v.gainL;
    const float gainR = v.gainR;
    for (std::uint32_t i = 0; i < n; ++i) {
        const float l = Sample<Bits>(p + i * kFrameBytes);
        const float r = Channels == 2 ? Sample<Bits>(p + i * kFrameBytes + Bits / 8) : l;
        accL[i] += l * gainL;
        accR[i] += r * gainR;
    }
}

// One sample from its raw bits (the low 8 or 16 of raw): what Sample reads.
template <int Bits>
inline float Decode(const std::uint64_t raw) {
    if constexpr (Bits == 8) {
        return (static_cast<float>(static_cast<std::uint32_t>(raw & 0xFFu)) - 128.0f) * (1.0f / 128.0f);
    } else {
        return static_cast<float>(static_cast<std::int16_t>(raw & 0xFFFFu)) * (1.0f / 32768.0f);
    }
}

// A frame and the one after it, as one little-endian word.
template <int Bits, int Channels>
struct FramePair {
    static constexpr std::size_t kBytes = 2 * Channels * Bits / 8;
    using Word = std::conditional_t<kBytes == 2, std::uint16_t,
                                    std::conditional_t<kBytes == 4, std::uint32_t, std::uint64_t>>;

    static Word Load(const std::uint8_t* p) {
        Word w = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&w, p, kBytes);
        } else {
            for (std::size_t i = 0; i < kBytes; ++i) {
                w = static_cast<Word>(w | (static_cast<Word>(p[i]) << (8 * i)));
            }
        }
        return w;
    }
};

// Frames between two buffer frames, each at index[i] + frac[i]. A fraction of
// zero leaves the first frame as it is (it adds a zero), so no test is needed.
// The two neighbouring frames are fetched first, one word each, so that the
// arithmetic runs as a loop the compiler vectorizes.
template <int Bits, int Channels>
void AddInterpolated(const Voice& v, const std::uint32_t* index, const float* frac, const std::uint32_t n,
                     float* accL, float* accR) {
    using Pair = FramePair<Bits, Channels>;
    constexpr std::size_t kFrameBytes = Channels * Bits / 8;
    // Where each sample sits in the pair, in bits.
    constexpr int kSecondFrame = 8 * static_cast<int>(kFrameBytes);
    constexpr int kRightSide = Bits;
    typename Pair::Word pairs[kBlock];
    const std::uint8_t* data = v.data;
    for (std::uint32_t i = 0; i < n; ++i) {
        pairs[i] = Pair::Load(data + static_cast<std::size_t>(index[i]) * kFrameBytes);
    }
    const float gainL = v.gainL;
    const float gainR = v.gainR;
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t w = pairs[i];
        const float l0 = Decode<Bits>(w);
        const float l1 = Decode<Bits>(w >> kSecondFrame);
        const float l = l0 + (l1 - l0) * frac[i];
        float r = l;
        if constexpr (Channels == 2) {
            const float r0 = Decode<Bits>(w >> kRightSide);
            const float r1 = Decode<Bits>(w >> (kSecondFrame + kRightSide));
            r = r0 + (r1 - r0) * frac[i];
        }
        accL[i] += l * gainL;
        accR[i] += r * gainR;
    }
}

// One output frame the slow way: the buffer's last frame, where the next one
// wraps to the start or is silence, and the end of the buffer. False when
// the buffer stopped.
template <int Bits, int Channels>
bool AddEdgeFrame(BufferState& s, const Voice& v, double& position, float& accL, float& accR) {
    const auto index = static_cast<std::uint32_t>(position);
    const float frac = static_cast<float>(position - index);
    float l0 = 0.0f;
    float r0 = 0.0f;
    ReadFrame<Bits, Channels>(v.data, index, l0, r0);
    if (frac != 0.0f) {
        // The next frame wraps to the start only for a looping buffer.
        std::uint32_t next = index + 1;
        float l1 = 0.0f;
        float r1 = 0.0f;
        if (next >= v.count) {
            next = 0;
        }
        if (next != 0 || v.looping) {
            ReadFrame<Bits, Channels>(v.data, next, l1, r1);
        }
        l0 += (l1 - l0) * frac;
        r0 += (r1 - r0) * frac;
    }
    accL += l0 * v.gainL;
    accR += r0 * v.gainR;
    position += v.step;
    if (position >= v.count) {
        if (!v.looping) {
            s.playing = false;
            s.position = 0.0;
            return false;
        }
        position = std::fmod(position, static_cast<double>(v.count));
    }
    return true;
}

// Mixes frames output frames of one buffer into the two sides' sums. Frames
// whose buffer frame and the one after both lie inside the buffer, and whose
// step stays inside it, go in blocks; the rest one at a time. Positions take
// exactly the values that adding the step frame by frame gives.
template <int Bits, int Channels>
void AddFrames(BufferState& s, const Voice& v, const std::uint32_t frames, float* accL, float* accR) {
    double position = s.position;
    // Whole multiples of 1/kUnit: their sums are exact in doubles, so the
    // block's positions can be worked out in integers.
    const double unitStep = v.step * kUnit;
    // Small enough that a block's offsets fit in 32 bits.
    const bool exactStep = unitStep >= 1.0 && unitStep < 8388608.0 && std::floor(unitStep) == unitStep;
    const auto fixedStep = static_cast<std::uint64_t>(exactStep ? unitStep : 0.0);
    const bool sameRate = v.step == 1.0;
    std::uint32_t index[kBlock];
    float frac[kBlock];
    std::uint32_t done = 0;
    while (done < frames) {
        const std::uint32_t room = std::min(frames - done, kBlock);
        std::uint32_t n = 0;
        const double unitPosition = position * kUnit;
        if (exactStep && std::floor(unitPosition) == unitPosition && v.count >= 2) {
            // Frames at P + k S stay inside while P + k S < limit.
            const auto p = static_cast<std::uint64_t>(unitPosition);
            const std::uint64_t lastStart = static_cast<std::uint64_t>(v.count - 1) << kUnitBits;
            const std::uint64_t end = static_cast<std::uint64_t>(v.count) << kUnitBits;
            const std::uint64_t limit = std::min(lastStart, end > fixedStep ? end - fixedStep : 0);
            if (p < limit) {
                n = static_cast<std::uint32_t>(std::min<std::uint64_t>((limit - p + fixedStep - 1) / fixedStep, room));
            }
            if (n > 0) {
                if (sameRate && (p & ((1u << kUnitBits) - 1)) == 0) {
                    AddRun<Bits, Channels>(v, static_cast<std::uint32_t>(p >> kUnitBits), n, accL + done, accR + done);
                } else {
                    const auto base = static_cast<std::uint32_t>(p >> kUnitBits);
                    const auto start = static_cast<std::uint32_t>(p & ((1u << kUnitBits) - 1));
                    const auto stride = static_cast<std::uint32_t>(fixedStep);
                    for (std::uint32_t i = 0; i < n; ++i) {
                        const std::uint32_t at = start + i * stride;
                        index[i] = base + (at >> kUnitBits);
                        frac[i] = static_cast<float>(at & ((1u << kUnitBits) - 1)) * (1.0f / static_cast<float>(kUnit));
                    }
                    AddInterpolated<Bits, Channels>(v, index, frac, n, accL + done, accR + done);
                }
                position = static_cast<double>(p + n * fixedStep) / kUnit;
            }
        } else {
            const double lastStart = static_cast<double>(v.count) - 1.0;
            while (n < room && position < lastStart && position + v.step < static_cast<double>(v.count)) {
                index[n] = static_cast<std::uint32_t>(position);
                frac[n] = static_cast<float>(position - index[n]);
                position += v.step;
                ++n;
            }
            AddInterpolated<Bits, Channels>(v, index, frac, n, accL + done, accR + done);
        }
        done += n;
        if (n == 0) {
            if (!AddEdgeFrame<Bits, Channels>(s, v, position, accL[done], accR[done])) {
                return;
            }
            ++done;
        }
    }
    s.position = position;
}

// Sixteen-bit output of the two sides' sums: scaled, clipped and rounded to
// the nearest (ties to even) as lrint does, in a form the compiler
// vectorizes. Each frame's two samples are packed in one word, low half left,
// which is how they lie in memory on a little-endian machine.
void WriteOutput(const float* accL, const float* accR, const std::uint32_t frames, const float masterGain,
                 std::int16_t* out) {
    // Adding and taking away 1.5 * 2^23 rounds a float below 2^22 to a whole.
    constexpr float kRound = 12582912.0f;
    std::uint32_t words[kBlock];
    for (std::uint32_t done = 0; done < frames; done += kBlock) {
        const std::uint32_t n = std::min(frames - done, kBlock);
        const float* left = accL + done;
        const float* right = accR + done;
        for (std::uint32_t i = 0; i < n; ++i) {
            const float l = std::min(std::max(left[i] * masterGain * 32768.0f, -32768.0f), 32767.0f);
            const float r = std::min(std::max(right[i] * masterGain * 32768.0f, -32768.0f), 32767.0f);
            const auto li = static_cast<std::int32_t>((l + kRound) - kRound);
            const auto ri = static_cast<std::int32_t>((r + kRound) - kRound);
            words[i] = (static_cast<std::uint32_t>(li) & 0xFFFFu) | (static_cast<std::uint32_t>(ri) << 16);
        }
        std::int16_t* to = out + static_cast<std::size_t>(done) * 2;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(to, words, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
        } else {
            for (std::uint32_t i = 0; i < n; ++i) {
                to[2 * i] = static_cast<std::int16_t>(words[i] & 0xFFFFu);
                to[2 * i + 1] = static_cast<std::int16_t>(words[i] >> 16);
            }
        }
    }
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
    m_left.assign(frames, 0.0f);
    m_right.assign(frames, 0.0f);
    for (BufferState* state : m_buffers) {
        if (state->playing && !state->primary) {
            MixBuffer(*state, frames);
        }
    }
    WriteOutput(m_left.data(), m_right.data(), frames, m_masterGain, out);
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
    Voice v;
    v.data = s.data->data();
    v.count = s.FrameCount();
    v.looping = s.looping;
    v.step = static_cast<double>(s.frequency) / m_deviceRate;
    v.gainL = s.pan > 0 ? gain * LevelToGain(-s.pan) : gain;
    v.gainR = s.pan < 0 ? gain * LevelToGain(s.pan) : gain;
    float* accL = m_left.data();
    float* accR = m_right.data();
    const bool wide = s.format.bitsPerSample == 16;
    if (s.format.channels == 2) {
        wide ? AddFrames<16, 2>(s, v, frames, accL, accR) : AddFrames<8, 2>(s, v, frames, accL, accR);
    } else {
        wide ? AddFrames<16, 1>(s, v, frames, accL, accR) : AddFrames<8, 1>(s, v, frames, accL, accR);
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
