#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "input/ZInputPrompt.h"

// A full-screen sequence on its own clock (the start-up splash, the game's
// transitions), owned and run by the cinematic manager. The base counts time,
// ends the sequence when its duration is over, and lets the player skip it
// with Accept, Cancel or Click, optionally only after a second press while an
// on-screen prompt asks for it.
class ZCinematic {
public:
    ZCinematic() = default;
    virtual ~ZCinematic() = default;
    ZCinematic(const ZCinematic&) = delete;
    ZCinematic& operator=(const ZCinematic&) = delete;

    // elapsed = 0.
    virtual void Start() { elapsed = 0.0f; }
    // Called by the manager when it removes the sequence.
    virtual void End() {}
    // Advances by dt seconds (skipping, the prompt, timing); false once done.
    // The clock is not read by the base.
    virtual bool Update(float clock, float dt);
    virtual float GetTime() const { return elapsed; }
    // Whether there is anything to play: a duration of (about) 0 has nothing.
    virtual bool IsActive() const;

    // The control ("Accept", "Cancel" or "Click" of "Menus") whose press
    // opened the latest confirmation window; shared by every cinematic.
    static ZHashedString GetLastSkipControl();
    static void SetLastSkipControl(ZHashedString control);

    bool done = false;
    // While any playing cinematic sets this, blockable controls read as idle.
    bool blocksInput = false;
    // Seconds of play before a press may skip; negative: never skippable.
    float skippableAfter = -1.0f;
    // True: updated per fixed step and skipped by "GameTimeSubs"; false: per
    // frame and "Menus".
    bool runsOnGameTime = true;
    // Above 0: the first press only opens a window of this many seconds in
    // which a second press skips.
    float confirmWindow = -1.0f;
    float confirmTimeLeft = -1.0f;
    ZHashedString name;     // listed under this when the caller names none
    int32_t priority = -1;  // sort key when the caller gives none
    ZInputPrompt promptSource;
    ZString promptText;
    float elapsed = 0.0f;
    // Seconds; negative never ends by time, 0 ends on the first update.
    float duration = 0.0f;

private:
    bool SkipRequested() const;
    void DrawPrompt();
};
