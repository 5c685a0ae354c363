#include "game/player/PlayerRendering.h"

#include <cmath>

#include "entity/AnaglyphComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"

namespace {

constexpr float kRow = 0.09375f;
constexpr float kColumn = 0.125f;

int32_t Trunc(const float value) { return static_cast<int32_t>(value); }

PlayerFrame OverworldFrame(const Player& player) {
    const ZVector2 f = player.overworldFacing;
    float u = 0.0f;
    if (f.y <= -0.707f) {
        u = 0.75f;
    } else if (f.y >= 0.707f) {
        u = 0.0f;
    } else if (f.x <= -0.707f) {
        u = 0.5f;
    } else if (f.x >= 0.707f) {
        u = 0.25f;
    }
    const float v = Trunc(player.overworldAnimTime * 4.0f) % 2 == 0 ? 0.5f : 0.0f;
    return {u, v, 0.25f, 0.5f};
}

}  // namespace

PlayerFrame SelectPlayerFrame(const Player& player, const bool overworld) {
    if (overworld) {
        return OverworldFrame(player);
    }
    const ZPhysicsComponent* const physics = player.physics;
    const bool grounded = physics != nullptr && physics->grounded;
    const float vy = player.spatial != nullptr ? player.spatial->current.velocity.y : 0.0f;
    const float vx = player.spatial != nullptr ? player.spatial->current.velocity.x : 0.0f;
    float u = 0.0f;
    float v = 0.0f;
    if (player.IsDead()) {
        const float t = player.deathTimer;
        const int32_t k = (t > 0.3f ? Trunc(t * 15.0f) : Trunc(t * 30.0f)) % 2;
        u = static_cast<float>(k) * kColumn;
        v = kRow;
    } else if (!grounded && physics != nullptr && physics->onWall && physics->wallJumping) {
        u = 2.0f * kColumn;
        v = kRow;
    } else if (!grounded && 0.0125f * vy < -1.0f) {
        u = kColumn;
        v = 3.0f * kRow;
    } else if (!grounded && 0.0125f * vy > 1.0f) {
        u = 2.0f * kColumn;
        v = 3.0f * kRow;
    } else if (!grounded) {
        v = 3.0f * kRow;
    } else if (player.landingTimer > 0.0f) {
        u = 3.0f * kColumn;
        v = 3.0f * kRow;
    } else if (std::fabs(vx) > 0.01f) {
        u = static_cast<float>(Trunc(player.walkPhase) % 6) * kColumn;
        v = 2.0f * kRow;
    } else if (player.dropHeld) {
        u = kColumn;
    } else if (player.idleTime > 4.0f) {
        const int32_t k = Trunc(player.idleTime * 2.0f) % 8;
        if (k == 6) {
            u = 3.0f * kColumn;
            v = 3.0f * kRow;
        } else if (k % 2 == 0) {
            v = 2.0f * kRow;
        }
    }
    if (player.facingLeft) {
        v += 0.5f;
    }
    return {u, v, kColumn, kRow};
}

bool Player::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                           ZParameterSource* const source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kUv("uvMat");
    static const ZHashedString kDistance("AnaglyphDistance");
    if (binding == nullptr) {
        return false;
    }
    const ZHashedString name = binding->name;
    if (name == kWvp) {
        ZMatrix4 wvp;
        if (spatial != nullptr && camera != nullptr) {
            const ZVector3 reference = camera->camera != nullptr ? camera->camera->position : ZVector3();
            // The room's view, as its tile layers draw with it, so the player
            // stands where the tiles are.
            const KorvanthGame* const korvanth = KorvanthGame::Get();
            // The sprite quad is centred: the player's position is the
            // middle of its sprite, as it is of its collision box.
            wvp = spatial->GetSnappedWorldMatrix(reference) *
                  (korvanth != nullptr ? korvanth->GetRoomViewProjection(false) : camera->GetShakenViewProjection());
        }
        binding->SetMatrix(wvp);
        return true;
    }
    if (name == kUv) {
        const PlayerFrame frame = SelectPlayerFrame(*this, IsOverworldMode());
        binding->SetMatrix(ZMatrix4::MakeScale(ZVector3(frame.width, frame.height, 1.0f)) *
                           ZMatrix4::Translation(ZVector3(frame.u, frame.v, 0.0f)));
        return true;
    }
    if (name == kDistance) {
        const AnaglyphComponent* const anaglyph = GetComponent<AnaglyphComponent>(this);
        binding->SetFloat(AnaglyphComponent::DistanceAt(anaglyph != nullptr ? anaglyph->depth : 0.0f));
        return true;
    }
    const KorvanthGame* const korvanth = KorvanthGame::Get();
    if (AnaglyphComponent::SetSceneParameter(binding,
                                             korvanth != nullptr && korvanth->IsSilhouetteOnColor() ? 1.0f : 0.0f)) {
        return true;
    }
    return ZActorEntity::SetParameters(binding, passName, source);
}
