#include "platform/sound/fake/FakeSoundSystem.h"

#include "platform/sound/Mixer.h"

namespace platform::sound {

FakeSoundSystem::FakeSoundSystem() {
    m_mixer->SetDeviceRate(m_rate);
    m_mixer->SetLatencyFrames(441);
}

Result FakeSoundSystem::Open() {
    if (Failed(openResult)) {
        return openResult;
    }
    SetOpen(true);
    return DS_OK;
}

void FakeSoundSystem::Close() { SetOpen(false); }

void FakeSoundSystem::Advance(const std::uint32_t frames) {
    const std::size_t start = m_mixed.size();
    m_mixed.resize(start + static_cast<std::size_t>(frames) * 2);
    m_mixer->Mix(m_mixed.data() + start, frames);
}

void FakeSoundSystem::SetRate(const std::uint32_t rate) {
    m_rate = rate;
    m_mixer->SetDeviceRate(rate);
}

void FakeSoundSystem::SetLatencyFrames(const std::uint32_t frames) { m_mixer->SetLatencyFrames(frames); }

}  // namespace platform::sound
