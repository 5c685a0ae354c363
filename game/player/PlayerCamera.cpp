#include "game/player/PlayerCamera.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCameraComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerRoomExit.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapData.h"
#include "renderer/ZCamera.h"

namespace {

constexpr float kHalfWidth = 12.0f;
constexpr float kHalfHeight = 28.0f;
constexpr float kOverworldHalfHeight = 12.0f;

float WholePixels(const float value) { return std::floor(value + 0.999f); }

// Lower bound first, so that in a range narrower than a screen the upper wins.
float ClampLowFirst(const float v, const float low, const float high) { return std::min(std::max(v, low), high); }

bool RoomLoaded(const MapData& map) { return map.rectBounds[3] > map.rectBounds[2] && map.rectBounds[1] > map.rectBounds[0]; }

ZCamera* CameraOf(const Player& player) { return player.camera != nullptr ? player.camera->camera : nullptr; }

}  // namespace

ZVector3 ComputeCameraTarget(const ZVector3& camera, const ZVector3& player, const MapData& map, const bool overworld,
                             const bool keepOffset, bool& stillOffset) {
    ZVector3 t = camera;
    float halfWidth = kHalfWidth;
    float halfHeight = overworld ? kOverworldHalfHeight : kHalfHeight;
    if (keepOffset) {
        const float dx = std::fabs(t.x - player.x);
        const float dy = std::fabs(t.y - player.y);
        stillOffset = dx > kHalfWidth || dy > halfHeight;
        if (dx >= halfWidth) halfWidth = dx;
        if (dy >= halfHeight) halfHeight = dy;
        halfWidth = WholePixels(halfWidth);
        halfHeight = WholePixels(halfHeight);
    }
    t.x = ClampLowFirst(t.x, player.x - halfWidth, player.x + halfWidth);
    t.y = ClampLowFirst(t.y, player.y - halfHeight, player.y + halfHeight);
    t.x = ClampLowFirst(t.x, map.rectBounds[2] + 128.0f, map.rectBounds[3] - 128.0f);
    t.y = ClampLowFirst(t.y, map.rectBounds[0] + 112.0f, map.rectBounds[1] - 112.0f);
    return t;
}

ZVector3 ComputeCameraTarget(const Player& player, const bool keepOffset, bool& stillOffset) {
    const KorvanthGame* const game = KorvanthGame::Get();
    const ZCamera* const camera = CameraOf(player);
    if (game == nullptr || camera == nullptr || player.spatial == nullptr) {
        return camera != nullptr ? camera->position : ZVector3();
    }
    return ComputeCameraTarget(camera->position, player.spatial->previousInterpolated.position, game->GetMapData(),
                               game->IsOverworld(), keepOffset, stillOffset);
}

void SnapCameraToPlayer(Player& player) {
    const KorvanthGame* const game = KorvanthGame::Get();
    ZCamera* const camera = CameraOf(player);
    // Without a loaded room there is nothing to frame.
    if (game == nullptr || camera == nullptr || player.spatial == nullptr || !RoomLoaded(game->GetMapData())) {
        return;
    }
    const ZVector3 p = player.spatial->interpolated.position;
    camera->SetPosition(ZVector3(p.x, p.y, -17.0f));
    bool unused = false;
    camera->SetPosition(ComputeCameraTarget(player, false, unused));
    player.cameraSnap = false;
}

void UpdateCameraForFrame(Player& player) {
    const KorvanthGame* const game = KorvanthGame::Get();
    ZCamera* const camera = CameraOf(player);
    if (game == nullptr || camera == nullptr || !player.inPlay || !RoomLoaded(game->GetMapData())) {
        return;
    }
    if (IsTransitionPlaying()) {
        player.cameraSnap = true;
        return;
    }
    bool still = player.cameraSnap;
    camera->SetPosition(ComputeCameraTarget(player, player.cameraSnap, still));
    player.cameraSnap = still;
}

void UpdatePlayerCamera(ZEntity* const owner, ZEntity* const platform) {
    Player* const player = DynamicCast<Player>(owner);
    if (player == nullptr || platform == nullptr) {
        return;
    }
    if (ZCamera* camera = CameraOf(*player)) {
        bool still = player->cameraSnap;
        camera->SetPosition(ComputeCameraTarget(*player, player->cameraSnap, still));
        player->cameraSnap = still;
    }
    CheckRoomExit(*player);
}
