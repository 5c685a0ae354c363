#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "game/world/GameCinematic.h"

// Through a door: 0.6 s in which the screen wipes out, the map and room
// change at 0.3 s (exactly once, however long a step is), and the screen
// wipes back in. The player arrives at the entity named by the entry marker
// (the middle of the room without one), and the run is saved there; with the
// set-checkpoint flag that entity also becomes the checkpoint.
class DoorTransition : public GameCinematic {
public:
    static constexpr float kDuration = 0.6f;
    static constexpr float kSwitchTime = 0.3f;

    DoorTransition(ZHashedString targetMap, int32_t roomX, int32_t roomY, ZHashedString entryMarker,
                   bool setCheckpoint);

    void Start() override;
    bool Update(float clock, float dt) override;
    // The wipe goes and the player shows again; a transition that ran its
    // time also finishes the move and makes the rest of the room's entities.
    void End() override;

    // The wipe's amount at progress t: from -2 up to 0 by 0.25 s, 0 until
    // 0.35 s, then up to 2.
    static float WipeAmount(float t);
    // The move (once) when t passes the switch time, and the wipe at t.
    void ApplyProgress(float t);
    bool HasSwitched() const { return m_switched; }

private:
    void SwitchRoom();

    ZHashedString m_targetMap;
    int32_t m_roomX = 0;
    int32_t m_roomY = 0;
    ZHashedString m_entryMarker;
    bool m_setCheckpoint = false;
    float m_previousProgress = -1.0f;
    bool m_switched = false;
};
