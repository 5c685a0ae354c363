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
constexpr float kScreenWidth = 256.0f;
constexpr float kScreenHeight = 224.0f;

float WholePixels(const float value) { return std::floor(value + 0.999f); }

// Lower bound first, so that in a range narrower than a screen the upper wins.
float ClampLowFirst(const float v, const float low, const float high) { return std::min(std::max(v, low), high); }

bool RoomLoaded(const MapData& map) { return map.rectBounds[3] > map.rectBounds[2] && map.rectBounds[1] > map.rectBounds[0]; }

ZCamera* CameraOf(const Player& player) { return player.camera != nullptr ? player.camera->camera : nullptr; }

}  // namespace

ZVector3 ComputeCameraTarget(const ZVector3& camera, const ZVector3& player, const MapData& map, const bool overworld,
                             const bool keepOffset, bool& stillOffset) {
    return ComputeCameraTarget(camera, player, player, map, overworld, keepOffset, stillOffset);
}

ZVector3 ComputeCameraTarget(const ZVector3& camera, const ZVector3& player, const ZVector3& lastFrame,
                             const MapData& map, const bool overworld, const bool keepOffset, bool& stillOffset) {
    ZVector3 t = camera;
    float halfWidth = kHalfWidth;
    float halfHeight = overworld ? kOverworldHalfHeight : kHalfHeight;
    if (keepOffset) {
        // The offset the camera keeps is the one it had from the last frame's
        // drawn player.
        const float dx = std::fabs(t.x - lastFrame.x);
        const float dy = std::fabs(t.y - lastFrame.y);
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
    // The zone is around where the player is drawn this frame.
    return ComputeCameraTarget(camera->position, player.spatial->interpolated.position,
                               player.spatial->previousInterpolated.position, game->GetMapData(), game->IsOverworld(),
                               keepOffset, stillOffset);
}

ZVector3 ComputeScreenOffset(const ZVector3& position, ZVector3 camera, const bool enabled) {
    if (!enabled) {
        return ZVector3();
    }
    // The screen the position lies on is brought to the origin, and the
    // camera goes with it; a point on a screen's far edge stays on it.
    const auto wrap = [](const float value, const float size, float& moved) {
        if (!std::isfinite(value)) return;
        float shift = 0.0f;
        if (value < 0.0f) {
            shift = std::ceil(-value / size) * size;
        } else if (value > size) {
            shift = -std::ceil((value - size) / size) * size;
        }
        moved += shift;
    };
    wrap(position.x, kScreenWidth, camera.x);
    wrap(position.y, kScreenHeight, camera.y);
    return ZVector3(kScreenWidth * 0.5f - camera.x, kScreenHeight * 0.5f - camera.y, camera.z);
}

ZVector3 ComputeScreenOffset(const Player& player, const ZVector3& camera, const bool usePlayer, const bool enabled) {
    ZVector3 position = player.positionBeforeMove;
    if (!usePlayer) {
        position = player.spatial != nullptr ? player.spatial->current.position : ZVector3();
    }
    return ComputeScreenOffset(position, camera, enabled);
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
