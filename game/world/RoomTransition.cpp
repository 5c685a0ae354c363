#include "game/world/RoomTransition.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCameraComponent.h"
#include "foundation/ZLog.h"
#include "game/player/Player.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZCamera.h"

namespace {

// Seconds per pixel of scroll at TransitionSpeed 1 (1 / 204.8).
constexpr float kSecondsPerPixel = 0.0048828125f;

ZCamera* PlayerCamera() {
    Player* const player = GetPlayer();
    return player != nullptr && player->camera != nullptr ? player->camera->camera : nullptr;
}

ZVector3 Lerp(const ZVector3& a, const ZVector3& b, const float f) { return a + (b - a) * f; }

// The offset on the axes the pan does not travel along.
ZVector3 Across(const ZVector3& offset, const int32_t directionX, const int32_t directionY) {
    return ZVector3(directionX == 0 ? offset.x : 0.0f, directionY == 0 ? offset.y : 0.0f, 0.0f);
}

}  // namespace

RoomTransition::RoomTransition(const int32_t mode, const float offsetX, const float offsetY, const bool flag,
                               const int32_t directionX, const int32_t directionY)
    : m_mode(mode), m_flag(flag) {
    Player* const player = GetPlayer();
    const ZCamera* const camera = PlayerCamera();
    const ZVector3 start = camera != nullptr ? camera->position : ZVector3();
    ZVector3 target = start;
    if (player != nullptr) {
        bool unused = false;
        target = ComputeCameraTarget(*player, false, unused);
    }
    target.z = start.z;
    // Both offsets are measured on the player's screen, so the camera ends
    // on the target across the pan.
    ZVector3 cameraOffset;
    ZVector3 targetOffset;
    if (player != nullptr) {
        cameraOffset = Across(ComputeScreenOffset(*player, start, false, true), directionX, directionY);
        targetOffset = Across(ComputeScreenOffset(*player, target, false, true), directionX, directionY);
    }
    // Camera and target on one line across the pan: no detour onto the grid.
    const ZVector3 apart = Across(start + ZVector3(offsetX, offsetY, 0.0f) - target, directionX, directionY);
    if (apart.x * apart.x + apart.y * apart.y < 0.01f) {
        cameraOffset = ZVector3();
        targetOffset = ZVector3();
    }
    const ZVector3 screen(static_cast<float>(directionX) * 256.0f, static_cast<float>(directionY) * 224.0f, 0.0f);
    m_camera[0] = start;
    m_camera[1] = m_camera[0] + cameraOffset;
    m_camera[2] = m_camera[1] + screen;
    m_camera[3] = m_camera[2] - targetOffset;
    m_target[0] = target;
    m_target[1] = m_target[0] + targetOffset;
    m_target[2] = m_target[1] - screen;
    m_target[3] = m_target[2] - cameraOffset;
    const KorvanthGame* const game = KorvanthGame::Get();
    const float speed = game != nullptr ? game->m_transitionSpeed : 1.0f;
    if (mode == 1) {
        m_firstLeg = (std::fabs(m_camera[1].x - m_camera[0].x) + std::fabs(m_camera[1].y - m_camera[0].y)) * speed *
                     kSecondsPerPixel;
        m_secondLeg = (std::fabs(screen.x) + std::fabs(screen.y)) * speed * kSecondsPerPixel;
        duration = std::max(0.0f, m_firstLeg + m_secondLeg);
    } else {
        if (mode != 0) {
            // A kind no sequence knows would never end: it cuts like kind 0.
            ZLog::Printf("Room transition of kind %d: cut at once", mode);
        }
        duration = 0.0f;
    }
}

namespace {

// Along the first leg (a to b), then the second (b to d, through c's step).
ZVector3 AlongLegs(const ZVector3 (&points)[4], const float firstLeg, const float secondLeg, const float t) {
    if (t < firstLeg) {
        const float f = firstLeg > 0.0f ? std::clamp(t / firstLeg, 0.0f, 1.0f) : 1.0f;
        return Lerp(points[0], points[1], f);
    }
    const float f = secondLeg > 0.0f ? std::clamp((t - firstLeg) / secondLeg, 0.0f, 1.0f) : 1.0f;
    return Lerp(points[1], points[3], f);
}

}  // namespace

ZVector3 RoomTransition::CameraAt(const float t) const { return AlongLegs(m_camera, m_firstLeg, m_secondLeg, t); }

ZVector3 RoomTransition::DepthHolderAt(const float t) const {
    return AlongLegs(m_target, m_firstLeg, m_secondLeg, t);
}

void RoomTransition::ApplyProgress(const float t) {
    if (ZCamera* const camera = PlayerCamera()) {
        camera->SetPosition(CameraAt(t));
    }
    if (KorvanthGame* const game = KorvanthGame::Get()) {
        game->SetDepthHolder(DepthHolderAt(t));
        // The old room's last frame slides with the view.
        game->ShowRoomFrame(duration > 0.0f);
    }
}

void RoomTransition::Start() {
    const float keep = duration;
    GameCinematic::Start();
    duration = keep;
    ForcePlayerGhostFrame();
    ApplyProgress(0.0f);
}

bool RoomTransition::Update(const float clock, const float dt) {
    GameCinematic::Update(clock, dt);
    ApplyProgress(elapsed);
    return !done;
}

void RoomTransition::End() {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) return;
    KeepPreviousRoom(*game, false);
    // Stopped early (the game went back to the title): no camera, no entities.
    if (!RanToEnd() || GetPlayer() == nullptr) {
        game->EndRoomPan();
        return;
    }
    ApplyProgress(duration);
    // The camera's own coordinates are the new room's again.
    if (ZCamera* const camera = PlayerCamera()) camera->SetPosition(camera->position + game->GetPanShift());
    game->EndRoomPan();
    game->LoadEntityInstances(false);
    ForcePlayerGhostFrame();
}
