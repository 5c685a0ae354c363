#include "game/world/SynthGameVoice.h"

#include "audio/ZAudioMgr.h"
#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"
#include "foundation/ZLog.h"

namespace {

const ZHashedString& SoundName() {
    static const ZHashedString kName("MultiSynth");
    return kName;
}

// The player's volume class of the game's tunes: scaled by SoundVolume.
constexpr uint32_t kSoundClass = 2;

}  // namespace

std::unique_ptr<SynthGameVoice> SynthGameVoice::Create() {
    ZAudioMgr* audio = GetAudioMgr();
    ZVoice* voice = audio->CreateSound(nullptr, SoundName(), ZHashedString::None(), true);
    if (voice == nullptr) {
        ZLog::Printf("The synthesizer could not be started; the game plays no tunes");
        return nullptr;
    }
    auto* synth = dynamic_cast<ZMultiSynthVoice*>(voice);
    if (synth == nullptr) {
        // Someone else holds a different sound under the name: give back our reference.
        ZLog::Printf("The sound \"MultiSynth\" is not the synthesizer; the game plays no tunes");
        audio->ReleaseSound(SoundName());
        return nullptr;
    }
    synth->Play(true);
    return std::unique_ptr<SynthGameVoice>(new SynthGameVoice(synth));
}

void SynthGameVoice::SetVolume(const float volume) {
    if (m_synth != nullptr) m_synth->SetVolume(volume);
}

void SynthGameVoice::PlayTune(const char* fileName, const int32_t value, const ZHashedString channel) {
    if (m_synth == nullptr) return;
    // A missing or broken file is logged by the loader and plays as silence.
    const ZMultiSynthTune tune(fileName, value);
    m_synth->PlayTune(tune, channel, kSoundClass, false);
}

void SynthGameVoice::PlayEffect(const char* fileName, const int32_t priority, const ZHashedString unique,
                                const int32_t mode, const bool stomp) {
    if (m_synth == nullptr) return;
    // The synthesizer never blocks its own "none": effects without a unique
    // name always start.
    static const ZHashedString kEmpty("");
    static const ZHashedString kAlways("none");
    const ZMultiSynthTune tune(fileName, priority);
    m_synth->PlayTune(tune, unique == kEmpty || unique.IsNone() ? kAlways : unique, static_cast<uint32_t>(mode), stomp);
}

void SynthGameVoice::StopChannel(const ZHashedString channel) {
    if (m_synth != nullptr) m_synth->StopTune(channel);
}

void SynthGameVoice::SetReverb(const uint32_t word) {
    if (m_synth != nullptr) m_synth->SetReverb(word);
}

int32_t SynthGameVoice::CountPlayingTunes() const {
    if (m_synth == nullptr) return 0;
    ZArray<ZMultiSynthPlayer> tunes;
    m_synth->GetPlayingTunes(tunes);
    return static_cast<int32_t>(tunes.Count());
}

void SynthGameVoice::Release() {
    if (m_synth == nullptr) return;
    m_synth = nullptr;
    GetAudioMgr()->ReleaseSound(SoundName());
}
