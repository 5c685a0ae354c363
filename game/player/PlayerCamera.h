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
// The player's camera target now, from its camera and its drawn position.
ZVector3 ComputeCameraTarget(const Player& player, bool keepOffset, bool& stillOffset);
// Puts the camera on the player at once (after loads and teleports).
void SnapCameraToPlayer(Player& player);
// Once per frame: the camera follows, unless a transition plays. Only while
// the player is in play in a loaded room.
void UpdateCameraForFrame(Player& player);
// The basing callback: a platform carried the player; the camera follows and
// the room-exit check runs.
void UpdatePlayerCamera(ZEntity* owner, ZEntity* platform);
