#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"
#include "game/world/MapRecords.h"

class KorvanthGame;
class Player;
class ZEntity;

// The player's side of a move to another room: over a room's edge, through a
// door or by a teleport. The game's current room changes, the room and its
// entities load when needed, the player is placed, the camera keeps the
// picture continuous, and a cinematic animates the change: a door wipes
// ("Door Transition", the move itself happens at its midpoint), a room edge
// of kind 1 scrolls the camera into the new room ("Room Transition"; kind 0
// cuts at once).

// position and velocity are the player's new ones in the target room's
// pixels; roomX, roomY the target when the edge names none; screenX, screenY
// the screen the caller counted from (kind 1 edges with a target). With
// autosave the run is saved once the player stands in the new room.
void TransitionToRoom(Player& player, const ZVector3& position, const ZVector3& velocity, const RoomEdge& edge,
                      bool autosave, int32_t roomX, int32_t roomY, int32_t screenX, int32_t screenY);

// The entity of the scene (room entities first, then the engine's list) whose
// name is the one given and that has a place in the world; the last such
// one of the engine's list, as arrivals use it. Null when none.
ZEntity* FindArrivalEntity(ZHashedString name);
// Every such entity, in that order.
std::vector<ZEntity*> FindArrivalEntities(ZHashedString name);

// After an arrival: the player is lifted by lift and dropped up to probe
// pixels onto the floor under it, so it never starts inside the floor.
// Nothing in the overworld.
void NudgePlayerOutOfFloor(Player& player, float lift, float probe);

// Puts the player at a position with no motion and no interpolation across
// the jump (z is 0).
void PlacePlayer(Player& player, const ZVector3& position);

// Every renderable of the player shows or hides (a door hides it while the
// screen wipes).
void SetPlayerVisible(Player& player, bool visible);

// With keep, the world layers swap their mesh pairs so that the room being
// left stays in the second pair (drawn until the transition ends); without,
// the second pair is hidden.
void KeepPreviousRoom(KorvanthGame& game, bool keep);

// The room transitions and respawns of the player go through here from now
// on (the room-exit and respawn hooks).
void InstallTransitionHooks();
void RemoveTransitionHooks();
