#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

class ZCinematic;

// One playing cinematic (owned) under its name and priority.
struct ZCinematicRecord {
    ZCinematic* cinematic = nullptr;
    ZHashedString name;
    int32_t priority = 0;
    // Stopped while the manager walked its list: ended and freed once the walk is over.
    bool stopping = false;
};

// The cinematics that are playing, ordered by priority (ascending). One name
// plays once at a time. Those on frame time advance every frame, those on
// game time every fixed step; one that ends is ended and freed at once.
// Plays asked for while the manager walks its list (from a cinematic's Start,
// End or Update) are held and started right after the walk. A Stop or StopAll
// from inside a walk (a cinematic that stops itself in its Update) only marks
// the records; they end and go when the outermost walk is over. Main thread only.
class ZCinematicMgr {
public:
    ZCinematicMgr() = default;
    ~ZCinematicMgr();
    ZCinematicMgr(const ZCinematicMgr&) = delete;
    ZCinematicMgr& operator=(const ZCinematicMgr&) = delete;

    // Starts the cinematic under a name (none: its own) and a priority
    // (negative: its own); the manager owns it from then on. A null cinematic
    // is ignored. One without a name, or whose name is playing already, is
    // neither started nor freed: it stays the caller's, and false says so.
    // One with nothing to play is started, ended and freed at once. Asked
    // while the manager walks its list, the play waits for the walk's end and
    // the manager owns it at once (true): if it is refused then, the manager
    // frees it.
    bool Play(ZCinematic* cinematic, ZHashedString name, int32_t priority);
    // Ends and frees the playing cinematic of that name (inside a walk: once
    // the walk is over).
    void Stop(ZHashedString name);
    // Ends and frees every cinematic.
    void StopAll();
    // The per-frame advance (cinematics on frame time) and the per-fixed-step
    // one (those on game time), each with its clock and step.
    void Update(float clock, float timeStep);
    void FixedUpdate(float clock, float timeStep);
    // Any playing cinematic blocks input.
    bool IsInputBlocked() const;
    bool IsPlaying(ZHashedString name) const;
    // Ends and frees every cinematic (the engine's teardown).
    void Shutdown() { StopAll(); }

    uint32_t GetPlayingCount() const { return m_running.Count(); }
    const ZArray<ZCinematicRecord*>& GetRecords() const { return m_running; }

private:
    void Walk(float clock, float timeStep, bool gameTime);
    static void Free(ZCinematicRecord* record);
    void PlayPending();
    // Walks nest (an End that stops another, an Update that stops all): only
    // the outermost one takes stopped records off the list.
    void BeginWalk() { ++m_walkDepth; }
    void EndWalk();
    void RemoveStopped();

    ZArray<ZCinematicRecord*> m_running;
    ZArray<ZCinematicRecord> m_pending;
    uint32_t m_walkDepth = 0;
};

// The cinematic manager, made on first use.
ZCinematicMgr* GetCinematicMgr();
// The manager when it exists, else null.
ZCinematicMgr* PeekCinematicMgr();
// Shuts it down and frees it.
void DestroyCinematicMgr();
