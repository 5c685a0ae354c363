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

// What brings a position to the centre (128, 112) of its screen.
ZVector3 ScreenOffset(const ZVector3& p) {
    const float x = p.x - std::floor(p.x / 256.0f) * 256.0f;
    const float y = p.y - std::floor(p.y / 224.0f) * 224.0f;
    return ZVector3(128.0f - x, 112.0f - y, 0.0f);
}

// The offset on the axes the move does not travel along.
ZVector3 Across(const ZVector3& offset, const int32_t screensX, const int32_t screensY) {
    return ZVector3(screensX == 0 ? offset.x : 0.0f, screensY == 0 ? offset.y : 0.0f, 0.0f);
}

}  // namespace

RoomTransition::RoomTransition(const int32_t mode, const ZVector3& start, const int32_t screensX,
                               const int32_t screensY)
    : m_mode(mode) {
    ZVector3 target = start;
    if (Player* const player = GetPlayer()) {
        bool unused = false;
        target = ComputeCameraTarget(*player, false, unused);
    }
    target.z = start.z;
    ZVector3 cameraOffset = Across(ScreenOffset(start), screensX, screensY);
    ZVector3 targetOffset = Across(ScreenOffset(target), screensX, screensY);
    // Camera and target on one line across the travel: no detour onto the grid.
    const ZVector3 apart = Across(start - target, screensX, screensY);
    const bool aligned = apart.x * apart.x + apart.y * apart.y < 0.01f;
    if (aligned) {
        cameraOffset = ZVector3();
        targetOffset = ZVector3();
    }
    const ZVector3 screen(static_cast<float>(screensX) * 256.0f, static_cast<float>(screensY) * 224.0f, 0.0f);
    m_camera[0] = start;
    // Onto the grid of the target's screen: the camera's own when both share
    // one; when they do not (a camera a few pixels over a screen's border),
    // the camera still ends on the target rather than a screen away.
    m_camera[1] = aligned ? m_camera[0] : m_camera[0] + Across(target + targetOffset - start, screensX, screensY);
    m_camera[2] = m_camera[1] + screen;
    // A screen along the travel brings a camera centred on its screen (as the
    // area's bounds leave it at an exit) onto the target; any other ends there too.
    if (screensX != 0) m_camera[2].x = target.x;
    if (screensY != 0) m_camera[2].y = target.y;
    m_camera[3] = m_camera[2] - targetOffset;
    m_target[0] = target;
    m_target[1] = m_target[0] + targetOffset;
    m_target[2] = m_target[1] - screen;
    m_target[3] = m_target[2] - cameraOffset;
    const KorvanthGame* const game = KorvanthGame::Get();
    const float speed = game != nullptr ? game->m_transitionSpeed : 1.0f;
    if (mode == 1) {
        const ZVector3 across = m_camera[1] - m_camera[0];
        m_firstLeg = (std::fabs(across.x) + std::fabs(across.y)) * speed * kSecondsPerPixel;
        // A screen's width or height when the camera starts centred on its
        // screen (an exit over an area's edge); otherwise what it really
        // travels (a move into another map keeps the camera where it is).
        const ZVector3 along = m_camera[2] - m_camera[1];
        m_secondLeg = (std::fabs(along.x) + std::fabs(along.y)) * speed * kSecondsPerPixel;
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
    if (KorvanthGame* const game = KorvanthGame::Get()) game->SetDepthHolder(DepthHolderAt(t));
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
    game->SetPreviousRoomShift(0.0f, 0.0f);
    // Stopped early (the game went back to the title): no camera, no entities.
    if (!RanToEnd() || GetPlayer() == nullptr) return;
    ApplyProgress(duration);
    game->LoadEntityInstances(false);
    ForcePlayerGhostFrame();
}
