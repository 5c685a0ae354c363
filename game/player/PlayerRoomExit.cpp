#include "game/player/PlayerRoomExit.h"

#include <cmath>

#include "entity/ZBasingComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapData.h"
#include "menu/ZCinematicMgr.h"

namespace {

constexpr float kRoomWidth = 256.0f;
constexpr float kRoomHeight = 224.0f;

int32_t Screens(const float value, const float size) { return static_cast<int32_t>(std::floor(value / size)); }

bool HasDestination(const RoomEdge& edge) { return edge.hasPointA != 0 || edge.hasPointB != 0; }

bool DoorTransitionPlaying() {
    const ZCinematicMgr* const cinematics = PeekCinematicMgr();
    return cinematics != nullptr && cinematics->IsPlaying(ZHashedString("Door Transition"));
}

}  // namespace

RoomTransitionHook& GetRoomTransitionHook() {
    static RoomTransitionHook hook = nullptr;
    return hook;
}

bool FindRoomExit(const MapData& map, const ZVector3& q, const ZVector3& p, const ZVector3& vq, const ZVector3& vp,
                  RoomExit& exit) {
    const ZVector3 d = p - q;
    if (d.LengthSquared() == 0.0f || !std::isfinite(d.x) || !std::isfinite(d.y)) {
        return false;
    }
    const float top = map.rectBounds[0];
    const float bottom = map.rectBounds[1];
    const float left = map.rectBounds[2];
    const float right = map.rectBounds[3];
    const int32_t X = map.currentRoomX;
    const int32_t Y = map.currentRoomY;
    int32_t rx = Screens(p.x, kRoomWidth);
    int32_t ry = Screens(p.y, kRoomHeight);
    bool crossed = false;
    bool vertical = false;
    bool belowTop = false;  // rose above the top without a vertical crossing
    ZVector3 raw;  // the crossing as the old room measures it
    const auto at = [&](const float t) {
        exit.crossing = q + d * t;
        exit.velocity = vq + (vp - vq) * t;
        raw = exit.crossing;
    };
    if (d.y != 0.0f) {
        if (p.y > bottom) {
            exit.edge = map.GetRoom(X + rx, Y + ry - 1).edges[kEdgeBottom];
            at((bottom - q.y) / d.y);
            exit.crossing.y = 0.0f;
            rx = Screens(exit.crossing.x, kRoomWidth);
            crossed = vertical = true;
        } else if (p.y < top) {
            const RoomEdge& edge = map.GetRoom(X + rx, Y + ry + 1).edges[kEdgeTop];
            if (HasDestination(edge) || map.HasRoom(X + rx, Y + ry)) {
                exit.edge = edge;
                at((top - q.y) / d.y);
                exit.crossing.y = kRoomHeight;
                rx = Screens(exit.crossing.x, kRoomWidth);
                crossed = vertical = true;
            }
        }
    }
    if (d.x != 0.0f && (p.x > right || p.x < left)) {
        if (p.y < top && !vertical) {
            ry += 1;
            belowTop = true;
        }
        const bool toRight = p.x > right;
        exit.edge = map.GetRoom(X + rx + (toRight ? -1 : 1), Y + ry).edges[toRight ? kEdgeRight : kEdgeLeft];
        at(((toRight ? right : left) - q.x) / d.x);
        exit.crossing.x = toRight ? 0.0f : kRoomWidth;
        ry = Screens(exit.crossing.y, kRoomHeight) + (belowTop ? 1 : 0);
        crossed = true;
    }
    if (!crossed || (rx == 0 && ry == 0)) {
        return false;
    }
    exit.horizontal = !vertical;
    exit.dx = rx;
    exit.dy = ry;
    exit.targetX = X + rx;
    exit.targetY = Y + ry;
    while (exit.crossing.x < 0.0f) exit.crossing.x += kRoomWidth;
    while (exit.crossing.x > kRoomWidth) exit.crossing.x -= kRoomWidth;
    if (!belowTop) {
        while (exit.crossing.y < 0.0f) exit.crossing.y += kRoomHeight;
        while (exit.crossing.y > kRoomHeight) exit.crossing.y -= kRoomHeight;
    }
    exit.arrival = p + (exit.crossing - raw);
    exit.arrival.z = p.z;
    return true;
}

bool CheckRoomExit(Player& player) {
    return player.spatial != nullptr && CheckRoomExit(player, player.spatial->previous.position);
}

bool CheckRoomExit(Player& player, const ZVector3& from) {
    const KorvanthGame* const game = KorvanthGame::Get();
    ZSpatialComponent* const spatial = player.spatial;
    if (game == nullptr || spatial == nullptr || DoorTransitionPlaying()) {
        return false;
    }
    RoomExit exit;
    exit.overworld = game->IsOverworld();
    if (!FindRoomExit(game->GetMapData(), from, spatial->current.position,
                      spatial->previous.velocity, spatial->current.velocity, exit)) {
        return false;
    }
    if (player.basing != nullptr && player.basing->parent != nullptr) {
        // A platform never carries the player out of the room.
        player.basing->Detach();
        spatial->current = spatial->previous;
        return true;
    }
    if (GetRoomTransitionHook() != nullptr) {
        GetRoomTransitionHook()(player, exit);
    }
    return true;
}
