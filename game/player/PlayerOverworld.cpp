#include "game/player/PlayerOverworld.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerRoomExit.h"

namespace {

constexpr float kCell = 16.0f;
constexpr float kProbe = 12.5f;
constexpr float kTurn = 0.707f;
// The probe ignores what only stops the side-view figure, and doors: the
// player steps onto a door's cell to enter it (the door search looks where
// the player stands), so a door must not stop that step.
constexpr uint32_t kProbeIgnores = 0x20000u | 0x80000u;
// Fifteen steps of 1/60 s make a quarter second, though their float sum may
// fall a hair short of it.
constexpr float kTimeSlack = 1e-4f;

bool StepDone(const Player& player) { return player.stepElapsed >= player.stepDuration - kTimeSlack; }

}  // namespace

float SnapToCellCentre(const float t) { return std::floor((t - 8.0f) / kCell + 0.5f) * kCell + 8.0f; }

void OverworldStep(Player& player, const float dt, ZVector3& velocity) {
    const float x = velocity.x;
    const float y = velocity.y;
    ZSpatialComponent* const spatial = player.spatial;
    if (player.stepState == 1 && StepDone(player)) {
        player.stepState = 0;
        if (player.collision != nullptr) {
            player.collision->SetEnabled(true);
        }
        // The step placed the player itself, so the spatial step saw no
        // move: the exit test measures the whole step.
        if (spatial != nullptr &&
            CheckRoomExit(player, ZVector3(player.stepStart.x, player.stepStart.y, spatial->current.position.z))) {
            // The transition took over; the player stands in the new room.
            velocity = ZVector3();
            return;
        }
    }
    if (player.stepState == 0 && x * x + y * y > 0.0f && spatial != nullptr) {
        // The largest component wins; on a tie the vertical one, tested first.
        ZVector3 direction;
        float best = 0.0f;
        if (y > best) {
            best = y;
            direction = ZVector3(0.0f, 1.0f, 0.0f);
        }
        if (-y > best) {
            best = -y;
            direction = ZVector3(0.0f, -1.0f, 0.0f);
        }
        if (x > best) {
            best = x;
            direction = ZVector3(1.0f, 0.0f, 0.0f);
        }
        if (-x > best) {
            direction = ZVector3(-1.0f, 0.0f, 0.0f);
        }
        player.stepDirection = direction;
        if (direction.LengthSquared() > 0.0f) {
            const ZVector3 n = direction.Normalized();
            const ZVector2 facing(n.x, n.y);
            if (facing.x * player.overworldFacing.x + facing.y * player.overworldFacing.y < kTurn) {
                player.previousOverworldFacing = player.overworldFacing;
            }
            player.overworldFacing = facing;
            bool blocked = false;
            ZCollisionInterface* const box =
                player.collision != nullptr ? player.collision->GetPrimary() : nullptr;
            if (box != nullptr) {
                CollisionResultArray results;
                const ZVector3 from = spatial->current.position;
                blocked = !SweepShape(ZCollisionWorld::GetInstance(), results, box, from, from + n * kProbe,
                                      player.collision->sweepMask & ~kProbeIgnores, 0u);
            }
            if (!blocked) {
                player.stepElapsed = 0.0f;
                player.stepState = 1;
                player.stepStart = ZVector2(spatial->current.position.x, spatial->current.position.y);
                player.stepTarget = ZVector2(SnapToCellCentre(player.stepStart.x + n.x * kCell),
                                             SnapToCellCentre(player.stepStart.y + n.y * kCell));
            }
        }
    }
    if (player.stepState == 1 && spatial != nullptr) {
        player.stepElapsed += dt;
        const float f = StepDone(player) ? 1.0f : std::clamp(player.stepElapsed / player.stepDuration, 0.0f, 1.0f);
        spatial->current.position =
            ZVector3(player.stepStart.x + f * (player.stepTarget.x - player.stepStart.x),
                     player.stepStart.y + f * (player.stepTarget.y - player.stepStart.y), 0.0f);
    }
    velocity = ZVector3();
}
