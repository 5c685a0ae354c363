#pragma once

#include <cstdint>

class Player;
class ZCollisionInterface;

// How the player reacts to what it touches (deadly edges, water, slippery
// floors), its death, and the two figures it can be: the side-view
// platformer and the top-down overworld walker.

// Edge kinds of the room's collision lines, as the player treats them.
enum PlayerEdgeKind : int32_t {
    kEdgeDeadly = 2,
    kEdgeWater = 4,
    kEdgeSlippery = 5,
    kEdgeToxicWater = 6,
    kEdgeNoWallHug = 7,
    kEdgeQuiet = 8,
    kEdgeLeaveWater = 128,
};

// Answers the edge kind of a touched collision object; false when it is not
// a room edge. Installed by the world's tile layers (and by test rooms).
using EdgeKindQuery = bool (*)(const ZCollisionInterface* other, int32_t& kind);
EdgeKindQuery& GetEdgeKindQuery();
bool GetEdgeKind(const ZCollisionInterface* other, int32_t& kind);

// The spatial, physics and health callbacks.
void InstallContactCallbacks(Player& player);
// Dies when in play and not dead already: the 0.6 s death, one more death
// counted, the death sound.
void Die(Player& player);
// Water from the flags and the room; switches the physics on a change (with
// a splash when asked) and kills without the suit that water needs.
void ApplyRoomConditions(Player& player, bool playSplash, bool down);
// The platformer or underwater physics by the flag, keeping the vertical
// speed's share of the jump speed.
void ApplyWaterPhysics(Player& player);
// In-water flags from the tile under the player (after loads and teleports).
void RefreshWaterState(Player& player);
// Put down at an arrival spot among a room's things made before it came,
// the player touches what it stands in there (a gem under the spot is
// taken), as a thing made on top of the player touches it: the sweeps of
// its moves meet only what it moves into.
void TouchWhatThePlayerStandsIn(Player& player);
// Size, physics, collision box and sprite sheet of the current mode.
void ApplyModeSettings(Player& player);

// The physics arguments of the two side-view sets.
struct PlayerPhysicsSet {
    float pushSpeed;
    float heights[2];
    float apexTime;
    float minimumFraction;
    float landingFactor;
};
const PlayerPhysicsSet& PlatformerPhysics();
const PlayerPhysicsSet& UnderwaterPhysics();
