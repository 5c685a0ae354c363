#pragma once

#include <cstdint>

#include "platform/sound/sound.h"

namespace platform::sound {

// Output on SDL's default device (stereo, 16-bit, 44100 Hz asked for; the
// mixer runs at the rate granted). With no usable device the same mixer runs
// on SDL's dummy driver, so time passes and the game goes on silently.
class SdlSoundSystem : public SoundSystem {
public:
    SdlSoundSystem() = default;
    ~SdlSoundSystem() override;

    Result Open() override;
    void Close() override;
    std::uint32_t GetDeviceRate() const override { return m_rate; }

private:
    bool OpenDevice();

    std::uint32_t m_device = 0;
    std::uint32_t m_rate = 44100;
    bool m_ownsSubsystem = false;
};

}  // namespace platform::sound
