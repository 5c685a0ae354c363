#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"
#include "game/world/GameCinematic.h"

// Over a room's edge into a room of another area. An edge of kind 1 scrolls
// in two legs, along waypoints in the new room's pixels: the camera goes from
// where it stood (C1) across the travel onto the screen grid of the target's
// screen (C2), then a screen along the travel (C3) while it leaves the grid
// for where it settles (C4, the player's camera target). The depth holder goes the mirrored way,
// from the target (T1) onto the grid (T2), one screen back (T3) and off the
// grid by the camera's offset (T4). When camera and target already line up
// across the travel, neither leaves its line. The room being left stays
// drawn beside the new one until the end. Each leg lasts its length in
// pixels x TransitionSpeed / 204.8 s (a screen's width, 256 pixels, is 1.25 s
// at speed 1). An edge of kind 0 (or of a kind no sequence knows) cuts at once.
class RoomTransition : public GameCinematic {
public:
    // start: the camera where the move left it, in the new room's pixels;
    // screensX, screensY: the screens the move still had to cover on each
    // axis (0 on an axis that needs no scroll).
    RoomTransition(int32_t mode, const ZVector3& start, int32_t screensX, int32_t screensY);

    void Start() override;
    bool Update(float clock, float dt) override;
    // The camera at its end, the old room's meshes hidden, the rest of the
    // room's entities made.
    void End() override;

    // The camera and the depth holder at time t along the two legs.
    ZVector3 CameraAt(float t) const;
    ZVector3 DepthHolderAt(float t) const;
    void ApplyProgress(float t);

    float GetFirstLeg() const { return m_firstLeg; }
    float GetSecondLeg() const { return m_secondLeg; }
    // C1 to C4 and T1 to T4 (index 0 to 3).
    const ZVector3& GetCameraWaypoint(int32_t i) const { return m_camera[i]; }
    const ZVector3& GetTargetWaypoint(int32_t i) const { return m_target[i]; }
    const ZVector3& GetStart() const { return m_camera[0]; }
    const ZVector3& GetEnd() const { return m_camera[3]; }

private:
    int32_t m_mode = 0;
    ZVector3 m_camera[4];
    ZVector3 m_target[4];
    float m_firstLeg = 0.0f;
    float m_secondLeg = 0.0f;
};
