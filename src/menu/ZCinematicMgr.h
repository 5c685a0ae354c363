#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

class ZCinematic;

// The cinematics that are playing. Each frame and each fixed step advances
// them; one that ends is freed.
class ZCinematicMgr {
public:
    ZCinematicMgr() = default;
    ~ZCinematicMgr();
    ZCinematicMgr(const ZCinematicMgr&) = delete;
    ZCinematicMgr& operator=(const ZCinematicMgr&) = delete;

    // Starts the cinematic (owned from here on) under a name; priority -1 keeps
    // the cinematic's own. A null cinematic is ignored.
    void Play(ZCinematic* cinematic, ZHashedString name, int32_t priority);
    // Ends and frees every cinematic.
    void StopAll();
    // The per-frame and the per-fixed-step advance.
    void Update(float timeStep);
    void FixedUpdate(float timeStep);
    // Any playing cinematic blocks input.
    bool IsInputBlocked() const;
    // Ends and frees every cinematic record (the engine's teardown).
    void Shutdown() { StopAll(); }

    uint32_t GetPlayingCount() const { return m_playing.Count(); }

private:
    ZArray<ZCinematic*> m_playing;
};

// The cinematic manager, made on first use.
ZCinematicMgr* GetCinematicMgr();
// Shuts it down and frees it.
void DestroyCinematicMgr();
