#pragma once

#include <cstdint>
#include <vector>

#include "audio/ZMultiSynthPlayer.h"
#include "audio/ZReverbLine.h"
#include "audio/ZSynthVoice.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

// What every channel holds at one sample of the buffer, and which priority
// owns it there (0xFF = free). A cleared frame has 0.0 and 0xFF.
struct ZSynthFrame {
    float channel[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint8_t owner[4] = {0xFF, 0xFF, 0xFF, 0xFF};
};

// The voice of the "MultiSynth" sound: a four-channel chip synthesizer (two
// pulse channels, a 16-step triangle, a noise channel from a 15-bit shift
// register) that plays tunes layered by priority, mixed into mono 16-bit
// sound at 44100 Hz and passed through a chain of delay lines as reverb. The
// music thread renders ahead of the play cursor in ThreadUpdate; the game's
// calls take the voice mutex.
class ZMultiSynthVoice : public ZSynthVoice {
public:
    static constexpr float kSampleTime = 2.2675736545352265e-05f;  // 1 / 44100
    static constexpr uint32_t kMaxReverbLines = 16;

    // Plays the default player (silence, priority 0).
    ZMultiSynthVoice();
    ~ZMultiSynthVoice() override;
    ZMultiSynthVoice(const ZMultiSynthVoice&) = delete;
    ZMultiSynthVoice& operator=(const ZMultiSynthVoice&) = delete;

    // Starts the tune under the name. A name other than "none" that is
    // already playing is not started again.
    void PlayTune(const ZMultiSynthTune& tune, ZHashedString name, uint32_t volumeClass, bool exclusive);
    void StopTune(ZHashedString name);
    // Removes every player, then plays the default one.
    void StopAllTunes();
    bool IsTunePlaying(ZHashedString name);
    // Empties out and appends a copy of every player.
    void GetPlayingTunes(ZArray<ZMultiSynthPlayer>& out);

    // Music-thread side.
    void ThreadUpdate() override;
    void ApplySynthCommand(uint32_t command) override { ApplyReverb(command); }
    // Rebuilds the reverb lines from a packed word: bits 30-31 zero, 20-29
    // longest delay (ms), 12-19 shortest delay (ms), 8-11 feedback (/15),
    // 4-7 gain (/15), 0-3 damping. Delays fall by the golden ratio from the
    // longest down to the shortest; none shorter than a sample.
    void ApplyReverb(uint32_t word);
    // One sample of one player into the frame; channels in muteMask are silent.
    void StepPlayer(ZMultiSynthPlayer& player, ZSynthFrame& frame, uint8_t muteMask);
    // Steps every player from its position up to the play cursor or the end
    // of the write span, whichever it reaches first.
    void RenderTunes(uint32_t writeStart, uint32_t length, uint32_t playCursor);
    // Takes the volumes and the channel mode from the audio manager.
    void ReadSettings();

    const ZArray<ZMultiSynthPlayer>& GetPlayers() const { return m_players; }
    uint32_t GetReverbLineCount() const { return m_lines.Count(); }
    const ZReverbLine* GetReverbLine(uint32_t i) const { return m_lines[i]; }
    // For passing samples by hand (the tune tool, benchmarks); music thread only.
    ZReverbLine* GetReverbLine(uint32_t i) { return m_lines[i]; }
    uint16_t noiseRegister = 1;  // shared by every player
    float pitch[144];            // cycles per sample of each note (69 = 440 Hz)
    float noiseRate[47];         // drum notes 35..81: register clock in Hz
    float noiseGain[47];

private:
    void SortPlayers();
    void ClearReverb();
    // Frames and scratch sized to the buffer; false without a buffer.
    bool PrepareFrames(uint32_t bufferBytes);
    float PassReverb(float x, bool lookAhead);

    ZArray<ZMultiSynthPlayer> m_players;  // sorted by priority, ascending
    ZArray<uint8_t> m_mutes;              // each player's mute mask in a render (storage kept)
    std::vector<ZSynthFrame> m_frames;
    std::vector<int16_t> m_scratch;
    uint32_t m_frameReadIndex = 0;
    ZArray<ZReverbLine*> m_lines;                 // owned
    float m_classVolume[3] = {1.0f, 1.0f, 1.0f};  // none, music, sound
    bool m_exclusiveChannels = false;
};
