#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"
#include "game/world/GameCinematic.h"

// Over a room's edge into the next room. An edge of kind 1 pans the camera
// in two legs along waypoints: the camera from where it stands (C1) across
// the pan onto the grid of the player's screen (C2), a screen along the pan
// (C3), and off the grid by the target's offset (C4, the player's camera
// target across the pan). The depth holder goes the mirrored way, from the
// target (T1) onto the grid (T2), a screen back (T3) and off the grid by the
// camera's offset (T4). When camera and target already line up across the
// pan, neither leaves its line. The first leg lasts its length in pixels,
// the second a screen's width or height, each x TransitionSpeed / 204.8 s
// (a screen's width, 256 pixels, is 1.25 s at speed 1). Along the pan the
// camera travels in the old room's pixels; the game's pan shift turns them
// into the new room's for the view, and the old room's last frame slides
// out with it. An edge of kind 0 (or of a kind no sequence knows) cuts at
// once.
class RoomTransition : public GameCinematic {
public:
    // offsetX, offsetY: what the move added to the camera (the room shift
    // across the pan); flag: the move saves the game; directionX,
    // directionY: the screens the pan travels on each axis (-1, 0 or 1, one
    // of them 0).
    RoomTransition(int32_t mode, float offsetX, float offsetY, bool flag, int32_t directionX, int32_t directionY);

    void Start() override;
    bool Update(float clock, float dt) override;
    // The camera at its end, in the new room's pixels; the old room's frame
    // and meshes hidden, the rest of the room's entities made.
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
    bool SavesGame() const { return m_flag; }

private:
    int32_t m_mode = 0;
    bool m_flag = false;
    ZVector3 m_camera[4];
    ZVector3 m_target[4];
    float m_firstLeg = 0.0f;
    float m_secondLeg = 0.0f;
};
