#include "audio/ZVoice.h"

#include <cmath>

#include "audio/ZAudioMgr.h"
#include "audio/ZSoundData.h"
#include "audio/ZSoundGroup.h"
#include "platform/sound/sound.h"

ZVoice::~ZVoice() {
    if (group != nullptr) {
        // Voices the music thread deletes left their group on the main thread.
        GetAudioMgr()->RemoveVoiceFromGroup(group->GetName(), this);
    }
    delete sound;
}

float ZVoice::GetEffectiveVolume() const {
    const float groupVolume = group != nullptr ? group->volume : 1.0f;
    return GetAudioMgr()->masterVolume * groupVolume;
}

int32_t ZVoice::LinearToBufferVolume(const float volume) {
    if (!(volume > 1e-05f)) {  // NaN too
        return platform::sound::DSBVOLUME_MIN;
    }
    const double level = -600.0 * std::log(1.0 / volume) / std::log(2.0);
    if (level > 0.0) {
        return 0;
    }
    return level < platform::sound::DSBVOLUME_MIN ? platform::sound::DSBVOLUME_MIN : static_cast<int32_t>(level);
}

int32_t ZVoice::PanToBufferPan(const float pan) {
    if (std::isnan(pan)) {
        return 0;
    }
    const double sign = pan > 0.0f ? 1.0 : (pan < 0.0f ? -1.0 : 0.0);
    const double q = 1.0 - std::fabs(static_cast<double>(pan));
    if (q > 0.99999) {
        return 0;
    }
    if (q <= 1e-05) {
        return pan > 0.0f ? platform::sound::DSBPAN_RIGHT : platform::sound::DSBPAN_LEFT;
    }
    const double value = sign * 600.0 * std::log(1.0 / q) / std::log(2.0);
    if (value > platform::sound::DSBPAN_RIGHT) {
        return platform::sound::DSBPAN_RIGHT;
    }
    return value < platform::sound::DSBPAN_LEFT ? platform::sound::DSBPAN_LEFT : static_cast<int32_t>(value);
}
