#pragma once

#include <cstdint>

#include "audio/ZVoice.h"
#include "foundation/ZArray.h"
#include "platform/os/threads.h"

// A voice whose buffer only the music thread touches: the game's calls post
// commands into its queue under the voice mutex, and the thread runs them in
// ThreadUpdate. Stream voices refill the consumed part of their looping buffer
// there too.
class ZBufferedVoice : public ZVoice {
public:
    enum CommandKind : uint32_t { kPlay = 1, kPause = 2, kStop = 3, kVolume = 4, kPan = 5, kSynth = 6 };
    struct Command {
        uint32_t kind = 0;
        uint32_t value = 0;
    };

    ZBufferedVoice();
    ~ZBufferedVoice() override = default;

    ZVoice* Play(bool loop) override;
    void Pause() override;
    void Stop() override;
    void SetVolume(float volume) override;
    void ApplyVolume() override;
    void SetPan(float pan) override;
    void ApplyPan() override;
    void SetReverb(uint32_t reverb) override;
    ZBufferedVoice* GetThreadVoice() override { return this; }
    void Lock() override;
    void Unlock() override;

    // Music-thread side.
    virtual void OpenStream() {}
    virtual void CloseStream() {}
    virtual void ThreadUpdate() { ProcessCommands(); }
    // True when the buffer is not playing (a voice without a buffer never plays).
    bool IsStopped();
    bool IsBuffered() const { return true; }
    void StartBuffer(bool loop, bool once);
    void StopBuffer();
    // Stops, puts the cursor at 0 and fills the whole buffer from the start.
    void Rewind();
    void SetBufferVolume(float volume);
    void SetBufferPan(float pan);
    virtual void ApplySynthCommand(uint32_t /*command*/) {}
    // Fills the region with the sound's start; stream voices override.
    virtual void FillFromStart(uint8_t* /*region*/, uint32_t /*bytes*/) {}
    // Runs and empties the queue, under the voice mutex. A play whose looping
    // differs from the fresh fill's refills from the start first.
    void ProcessCommands();
    // A play-once stream has played to its end: stopped, cursors at 0.
    bool RanOut();
    // Whether a play after the stream ran out starts it from the beginning.
    // A WAV stream does so only after a Stop; until then its buffer, silent
    // once the end has played, plays as it is.
    virtual bool RestartsWhenRanOut() const { return true; }

    // The one voice mutex every buffered voice shares; recursive, as the
    // thread takes it again inside ProcessCommands.
    static os::Mutex& VoiceMutex();

    uint32_t position = 0;  // the play cursor at the last refill
    bool playOnce = false;
    bool finishing = false;
    bool wholeInBuffer = false;  // the last Rewind wrote the stream's end too
    float volume = 1.0f;
    float pan = 0.0f;

protected:
    void Post(uint32_t kind, uint32_t value);
    // The stream voices' refill: the span consumed since the last pass is
    // filled with FillStream once a refill's worth has been played.
    void RefillConsumed();
    // Fills n bytes of the stream; true when the stream ended: outData bytes
    // of sound, then silence.
    virtual bool FillStream(uint8_t* d, uint32_t n, uint32_t* outData);

    ZArray<Command> m_queue;
    uint32_t m_toEnd = 0;     // while finishing: bytes the cursor still plays before the stream's end
    bool m_freshFill = true;  // the buffer holds a fill from the start that has not played yet
    bool m_fillOnce = true;   // that fill stopped at the stream's end (else it wrapped)
};
