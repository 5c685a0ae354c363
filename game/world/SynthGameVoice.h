#pragma once

#include <cstdint>
#include <memory>

#include "game/world/GameServices.h"

class ZMultiSynthVoice;

// The game's voice on the engine's synthesizer: the audio manager's built-in
// "MultiSynth" sound, looping from the moment it is made. Tunes are loaded on
// each call and handed over (the synthesizer keeps a copy of their events);
// the game's chirps and tunes play in the sound volume class.
class SynthGameVoice : public GameVoice {
public:
    // Creates the sound and starts it; null, logged, when the audio manager
    // cannot make it (no device) or answers something else under the name.
    static std::unique_ptr<SynthGameVoice> Create();

    void SetVolume(float volume) override;
    void PlayTune(const char* fileName, int32_t value, ZHashedString channel) override;
    void StopChannel(ZHashedString channel) override;
    void PlayEffect(const char* fileName, int32_t priority, ZHashedString unique, int32_t mode, bool stomp) override;
    // Queued to the music thread, which rebuilds the reverb lines from it.
    void SetReverb(uint32_t word) override;
    // The synthesizer's playing tunes, listed under the audio lock.
    int32_t CountPlayingTunes() const override;

    // Drops the game's reference to the sound; every later call does
    // nothing. Must run before the audio manager goes (Exit, shutdown).
    void Release();
    ZMultiSynthVoice* GetSynth() const { return m_synth; }

private:
    explicit SynthGameVoice(ZMultiSynthVoice* synth) : m_synth(synth) {}

    ZMultiSynthVoice* m_synth;  // owned by the audio manager
};
