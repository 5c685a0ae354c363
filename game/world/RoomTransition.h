#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"
#include "game/world/GameCinematic.h"

// Over a room's edge into a room of another area. An edge of kind 1 scrolls:
// the camera starts where it stood before the move (seen from the new room)
// and travels in two legs, first across the direction of travel until it
// lines up with where it will settle, then along it into the new room; the
// room being left stays drawn beside the new one until the end. Each leg
// lasts its length in pixels x TransitionSpeed / 204.8 s (a screen's width,
// 256 pixels, is 1.25 s at speed 1). An edge of kind 0 (or of a kind no
// sequence knows) cuts at once.
class RoomTransition : public GameCinematic {
public:
    // start: the camera where the move left it, in the new room's pixels;
    // screensX, screensY: the whole screens the move still had to cover on
    // each axis (0 on an axis that needs no scroll).
    RoomTransition(int32_t mode, const ZVector3& start, int32_t screensX, int32_t screensY);

    void Start() override;
    bool Update(float clock, float dt) override;
    // The camera at its end, the old room's meshes hidden, the rest of the
    // room's entities made.
    void End() override;

    // The camera at time t along the two legs.
    ZVector3 CameraAt(float t) const;
    void ApplyProgress(float t);

    float GetFirstLeg() const { return m_firstLeg; }
    float GetSecondLeg() const { return m_secondLeg; }
    const ZVector3& GetStart() const { return m_start; }
    const ZVector3& GetCorner() const { return m_corner; }
    const ZVector3& GetEnd() const { return m_end; }

private:
    int32_t m_mode = 0;
    ZVector3 m_start;   // where the camera stood
    ZVector3 m_corner;  // lined up across the travel
    ZVector3 m_end;     // where it settles in the new room
    float m_firstLeg = 0.0f;
    float m_secondLeg = 0.0f;
};
