#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound/sound.h"

namespace platform::sound {

// A device with no hardware: a test moves time by hand with Advance, which
// mixes that many frames and appends them to the record. Open can be made to
// fail with a chosen code.
class FakeSoundSystem : public SoundSystem {
public:
    FakeSoundSystem();

    Result Open() override;
    void Close() override;
    std::uint32_t GetDeviceRate() const override { return m_rate; }

    // Mixes frames stereo frames (as the device would pull them) and records them.
    void Advance(std::uint32_t frames);
    // Interleaved left/right samples mixed since the last Clear.
    const std::vector<std::int16_t>& GetMixed() const { return m_mixed; }
    void ClearMixed() { m_mixed.clear(); }

    // Set before Open: the code Open answers (DS_OK opens).
    Result openResult = DS_OK;
    void SetRate(std::uint32_t rate);
    void SetLatencyFrames(std::uint32_t frames);

private:
    std::uint32_t m_rate = 44100;
    std::vector<std::int16_t> m_mixed;
};

}  // namespace platform::sound
