#pragma once

#include "foundation/ZVector3.h"

class MapData;
class Player;
class ZEntity;

// The camera follows the player inside a dead zone (12 pixels either side,
// 28 up and down, 12 in the overworld) and never shows beyond the bounds of
// the current room's area. With keepOffset (after a door or a teleport) the
// zone widens to the camera's present offset, and stillOffset says whether
// the player is still outside the normal zone.
ZVector3 ComputeCameraTarget(const ZVector3& camera, const ZVector3& player, const MapData& map, bool overworld,
                             bool keepOffset, bool& stillOffset);
// The same with the zone around player (this frame's drawn position) and the
// kept offset measured from lastFrame (the last frame's).
ZVector3 ComputeCameraTarget(const ZVector3& camera, const ZVector3& player, const ZVector3& lastFrame,
                             const MapData& map, bool overworld, bool keepOffset, bool& stillOffset);
// The player's camera target now, from its camera and its drawn position.
ZVector3 ComputeCameraTarget(const Player& player, bool keepOffset, bool& stillOffset);
// What brings the camera to the centre (128, 112) of the screen a position
// lies on: the position is wrapped onto one 256 x 224 screen and the camera
// moves with it; (0, 0, 0) when not enabled. z is the camera's.
ZVector3 ComputeScreenOffset(const ZVector3& position, ZVector3 camera, bool enabled);
// The same for the player: from where a transition found it (usePlayer) or
// where it is now.
ZVector3 ComputeScreenOffset(const Player& player, const ZVector3& camera, bool usePlayer, bool enabled);
// Puts the camera on the player at once (after loads and teleports).
void SnapCameraToPlayer(Player& player);
// Once per frame: the camera follows, unless a transition plays. Only while
// the player is in play in a loaded room.
void UpdateCameraForFrame(Player& player);
// The basing callback: a platform carried the player; the camera follows and
// the room-exit check runs.
void UpdatePlayerCamera(ZEntity* owner, ZEntity* platform);
