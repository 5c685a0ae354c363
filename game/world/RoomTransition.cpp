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

}  // namespace

RoomTransition::RoomTransition(const int32_t mode, const ZVector3& start, const int32_t screensX,
                               const int32_t screensY)
    : m_mode(mode), m_start(start), m_corner(start), m_end(start) {
    Player* const player = GetPlayer();
    if (player != nullptr) {
        bool unused = false;
        m_end = ComputeCameraTarget(*player, false, unused);
        m_end.z = start.z;
    }
    // Across the travel first (the axes with no screens to cover), then along it.
    if (screensX == 0) m_corner.x = m_end.x;
    if (screensY == 0) m_corner.y = m_end.y;
    const KorvanthGame* const game = KorvanthGame::Get();
    const float speed = game != nullptr ? game->m_transitionSpeed : 1.0f;
    if (mode == 1) {
        m_firstLeg = (std::fabs(m_corner.x - m_start.x) + std::fabs(m_corner.y - m_start.y)) * speed * kSecondsPerPixel;
        m_secondLeg = (std::fabs(m_end.x - m_corner.x) + std::fabs(m_end.y - m_corner.y)) * speed * kSecondsPerPixel;
        duration = std::max(0.0f, m_firstLeg + m_secondLeg);
    } else {
        if (mode != 0) {
            // A kind no sequence knows would never end: it cuts like kind 0.
            ZLog::Printf("Room transition of kind %d: cut at once", mode);
        }
        duration = 0.0f;
    }
}

ZVector3 RoomTransition::CameraAt(const float t) const {
    if (t < m_firstLeg) {
        const float f = m_firstLeg > 0.0f ? std::clamp(t / m_firstLeg, 0.0f, 1.0f) : 1.0f;
        return Lerp(m_start, m_corner, f);
    }
    const float f = m_secondLeg > 0.0f ? std::clamp((t - m_firstLeg) / m_secondLeg, 0.0f, 1.0f) : 1.0f;
    return Lerp(m_corner, m_end, f);
}

void RoomTransition::ApplyProgress(const float t) {
    if (ZCamera* const camera = PlayerCamera()) {
        camera->SetPosition(CameraAt(t));
    }
}

void RoomTransition::Start() {
    const float keep = duration;
    GameCinematic::Start();
    duration = keep;
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
}
