#pragma once

#include <cstdint>
#include <vector>

#include "audio/ZPCSpeakerPlayer.h"
#include "audio/ZSynthVoice.h"

// The voice of the "PCSpeaker" sound: square-wave melodies written as play
// strings, rendered on the music thread into mono 16-bit sound at 44100 Hz.
// Where note lists overlap, the one of highest priority is heard.
class ZPCSpeakerVoice : public ZSynthVoice {
public:
    // Plays the default list (one whole rest, looping, priority 0).
    ZPCSpeakerVoice();
    ~ZPCSpeakerVoice() override = default;
    ZPCSpeakerVoice(const ZPCSpeakerVoice&) = delete;
    ZPCSpeakerVoice& operator=(const ZPCSpeakerVoice&) = delete;

    // The notes of a play string. Read left to right, starting at length 4,
    // octave 4, sounding 100 %, tempo 120: a number sets the length; "<" and
    // ">" move the octave offset; "O", "P", "T" and a number set the octave,
    // the sounding percent and the tempo; "C" to "B" add a note, which "#"
    // or "b", then an octave number, then "." may follow; "R" adds a rest.
    // Anything else is skipped, and so is a length or tempo of 0.
    static ZArray<ZPCSpeakerNote> ParsePlayString(const char* text);

    // Starts a note list. Where a player of higher priority has already
    // rendered ahead, the new one writes nothing until it passes that point.
    // An empty list has nothing to play and is left out (logged).
    void PlayNotes(const ZArray<ZPCSpeakerNote>& notes, bool loop, int32_t priority);
    // Removes every player, then plays the default list.
    void StopAllNotes();

    // Music-thread side.
    void ThreadUpdate() override;
    // Renders one player into the scratch from its position up to the play
    // cursor or the end of the write span, whichever comes first.
    void RenderPlayer(ZPCSpeakerPlayer& player, uint32_t writeStart, uint32_t length, uint32_t playCursor);
    // Scratch sized to a buffer of that many bytes.
    void PrepareScratch(uint32_t bufferBytes);
    const std::vector<int16_t>& GetScratch() const { return m_scratch; }
    const ZArray<ZPCSpeakerPlayer>& GetPlayers() const { return m_players; }
    // For rendering by hand (tests, tools); the voice mutex guards it.
    ZArray<ZPCSpeakerPlayer>& GetPlayers() { return m_players; }

    float pitch[108];  // cycles per sample of each note (57 = 440 Hz)

private:
    ZArray<ZPCSpeakerPlayer> m_players;  // sorted by priority, ascending
    std::vector<int16_t> m_scratch;
};
