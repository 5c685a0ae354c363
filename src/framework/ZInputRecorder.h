#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZUpdatable.h"
#include "input/ZControlMgr.h"

// Records the game's controls step by step and plays them back, so a run of
// play can be repeated exactly (the main loop toggles it with Ctrl+R and
// Ctrl+P in DevMode and runs fixed 1/60 s steps while it is not idle).
//
// It lists every control of the game's groups (the engine's "General",
// "Utility", "Menus" and "VisOnly" are left out). Recording appends an event
// whenever a control's value changes; playback writes the recorded values into
// the controls at the steps they were recorded, before anything else of the
// fixed step reads them. Events are kept when a recording stops: a new
// recording appends to them and playback replays all that is held.
//
// It sits in the update registry's second and third lists (mask 6) with
// priority -10000, and acts only in the fixed-step walk. Main thread only.
class ZInputRecorder : public ZUpdatable {
public:
    enum State : int32_t { kIdle = 0, kRecording = 1, kPlaying = 2 };

    struct Event {
        int32_t sample = 0;  // index into the sample list
        float value = 0.0f;
        int32_t step = 0;  // step counter when it was recorded
    };

    ZInputRecorder();
    ~ZInputRecorder() override = default;

    // Stops a recording; otherwise stops playback and starts recording.
    void ToggleRecording();
    // Stops playback; otherwise stops a recording and starts playing from step 0.
    void TogglePlayback();

    // With mask bit 2: records or plays one step, then counts it.
    void Update(float timeStep, uint8_t mask) override;

    State GetState() const { return m_state; }
    bool IsIdle() const { return m_state == kIdle; }
    int32_t GetStepCounter() const { return m_stepCounter; }
    const ZArray<ZControlSample>& GetSamples() const { return m_samples; }
    const ZArray<Event>& GetEvents() const { return m_events; }

private:
    // Idle, step 0, sample list emptied.
    void Stop();
    void BuildControlList();
    void RecordStep();
    void PlayStep();

    State m_state = kIdle;
    int32_t m_stepCounter = 0;  // 0 while idle
    ZArray<ZControlSample> m_samples;
    ZArray<Event> m_events;
};

// The recorder, made on first use (by the main loop's first frame).
ZInputRecorder* GetInputRecorder();
// Frees it at shutdown; safe when it was never made.
void DestroyInputRecorder();
