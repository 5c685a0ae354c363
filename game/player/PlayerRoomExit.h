#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"
#include "game/world/MapRecords.h"

class MapData;
class Player;

// Leaving the current room over one of its edges. The move from the previous
// position q to the current one p is tested against the bounds of the current
// room's area; a crossing names the room it leads to, the edge it left by and
// where on that room's far side the player arrives.
struct RoomExit {
    ZVector3 crossing;  // where the player enters the target room, in its pixels
    ZVector3 velocity;  // the velocity at the crossing
    ZVector3 arrival;   // the position p measured from the target room
    RoomEdge edge;      // the edge record it left by
    bool horizontal = true;  // false when it left through the top or the bottom
    bool overworld = false;
    int32_t targetX = 0;
    int32_t targetY = 0;
    int32_t dx = 0;  // room offsets of the target
    int32_t dy = 0;
};

// The room transition that takes the player over (room loading, placing,
// the camera); null until transitions exist, when an exit only reports.
using RoomTransitionHook = void (*)(Player& player, const RoomExit& exit);
RoomTransitionHook& GetRoomTransitionHook();

// The exit that a move from q to p (velocities vq and vp) makes from the
// current room of the map, if any.
bool FindRoomExit(const MapData& map, const ZVector3& q, const ZVector3& p, const ZVector3& vq, const ZVector3& vp,
                  RoomExit& exit);

// After each spatial step: a player carried by a platform over the edge is
// put back and let go; otherwise an exit starts the transition. Nothing
// while a door transition plays. True when an exit was found.
bool CheckRoomExit(Player& player);
// The same for a move that began at from (an overworld step, which places
// the player itself).
bool CheckRoomExit(Player& player, const ZVector3& from);
