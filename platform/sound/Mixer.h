#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/sound.h"

namespace platform::sound {

// What a buffer is: its samples (shared by duplicates) and its own playing
// state. Every field is guarded by the mixer's mutex.
struct BufferState {
    std::shared_ptr<std::vector<std::uint8_t>> data;
    WaveFormat format;
    std::uint32_t flags = 0;
    bool primary = false;
    bool playing = false;
    bool looping = false;
    double position = 0.0;  // in frames of the buffer's own rate
    std::int32_t volume = 0;
    std::int32_t pan = 0;
    std::uint32_t frequency = 0;

    std::uint32_t FrameCount() const;
};

// Adds every playing buffer into the left and right float sums and clips once
// at the end. Resamples each buffer from its own rate to the device's by
// linear interpolation (exact when the rates match). Buffers mix in blocks of
// frames with their volume, pan and step fixed for the whole pass.
class Mixer {
public:
    Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Mixes frames stereo frames of 16-bit output and advances every playing
    // buffer; any thread (the backend's).
    void Mix(std::int16_t* out, std::uint32_t frames);

    void SetDeviceRate(std::uint32_t rate);
    std::uint32_t GetDeviceRate() const;
    // How far ahead of the play cursor the write cursor runs, in device frames.
    void SetLatencyFrames(std::uint32_t frames);
    void SetFocused(bool focused);
    std::uint32_t GetBufferCount() const;

    // Made by the system; the buffer holds the mixer for its whole life.
    SoundBuffer* NewBuffer(const std::shared_ptr<Mixer>& self, std::shared_ptr<BufferState> state);
    void Forget(const BufferState* state);

    std::mutex& Guard() const { return m_guard; }
    std::uint32_t LatencyBytes(const BufferState& state) const;  // under Guard
    void SetMasterVolume(std::int32_t volume);                    // under Guard

private:
    void MixBuffer(BufferState& state, std::uint32_t frames);

    mutable std::mutex m_guard;
    std::vector<BufferState*> m_buffers;
    std::vector<float> m_left;
    std::vector<float> m_right;
    std::uint32_t m_deviceRate = 44100;
    std::uint32_t m_latencyFrames = 1024;
    bool m_focused = true;
    float m_masterGain = 1.0f;
};

// 10^(hundredths / 2000): the linear gain of a level in hundredths of a dB.
float LevelToGain(std::int32_t hundredthsOfDb);

}  // namespace platform::sound
