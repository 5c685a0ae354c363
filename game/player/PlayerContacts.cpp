#include "game/player/PlayerContacts.h"

#include <cmath>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game/player/PlayerStatus.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZCamera.h"

namespace {

constexpr float kLandingTime = 0.2f;

void PlaySound(const char* file, const int32_t value) {
    static const ZHashedString kChannel("Player");
    KorvanthGame* const game = KorvanthGame::Get();
    if (game != nullptr && game->GetVoice() != nullptr) {
        game->GetVoice()->PlayTune(file, value, kChannel);
    }
}

bool EdgeOf(const CollisionResult& contact, int32_t& kind) { return GetEdgeKind(contact.other, kind); }

void OnContact(ZEntity* owner, const CollisionResult& contact) {
    Player* const player = DynamicCast<Player>(owner);
    if (player == nullptr) {
        return;
    }
    const ZVector3 n = contact.normal;
    int32_t kind = 0;
    if (EdgeOf(contact, kind)) {
        if (kind == kEdgeDeadly) {
            Die(*player);
        } else if (kind == kEdgeWater || kind == kEdgeToxicWater) {
            player->roomConditions[1] = true;
            player->roomConditions[2] = kind == kEdgeToxicWater;
            ApplyRoomConditions(*player, true, true);
        } else if (kind == kEdgeLeaveWater) {
            player->roomConditions[1] = false;
            player->roomConditions[2] = false;
            ApplyRoomConditions(*player, true, false);
        }
        if (n.y < -0.9f) {
            if (kind == kEdgeSlippery) {
                player->slipperyGround = true;
            } else if (kind == 1 || kind == 3 || kind == kEdgeNoWallHug || kind == kEdgeQuiet) {
                player->slipperyGround = false;
            }
            return;
        }
    } else {
        ZCollisionInterface* const mine =
            player->collision != nullptr ? player->collision->GetPrimary() : nullptr;
        if (contact.other == nullptr || mine == nullptr || !contact.other->IsBlocker(mine)) {
            return;
        }
        if (n.y < -0.9f) {
            player->slipperyGround = false;
            return;
        }
    }
    if (std::fabs(n.x) > 0.9f) {
        player->smoothedSpeed = 0.0f;
    }
}

// Jumps, landings, leaving the ground and wall hugs mark the speedrun's ghost.
void ForceGhostFrame(ZEntity* owner) {
    if (SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(owner)) speedrun->RecordGhostFrame(true, false);
}

void OnJump(ZEntity* owner) {
    const ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(owner);
    // Every jump but the air jump takes the first height.
    const bool doubleJump = physics != nullptr && physics->jumpHeight != physics->firstJumpHeight;
    if (doubleJump) {
        PlaySound("dbljump.zms", 105);
    } else {
        PlaySound("jump.zms", 100);
    }
    ForceGhostFrame(owner);
}

void OnLanding(ZEntity* owner, const CollisionResult& contact, bool /*hard*/) {
    Player* const player = DynamicCast<Player>(owner);
    if (player == nullptr) {
        return;
    }
    player->landingTimer = kLandingTime;
    int32_t kind = 0;
    if (!(EdgeOf(contact, kind) && kind == kEdgeQuiet)) {
        PlaySound("landing.zms", 80);
        // A puff of dust at the feet.
        if (player->spatial != nullptr) {
            const ZVector3 at = player->spatial->current.position;
            PlaceEffect("Landing.zdd", ZVector3(at.x, at.y + 6.0f, at.z));
        }
    }
    ForceGhostFrame(owner);
}

void OnLeaveGround(ZEntity* owner) { ForceGhostFrame(owner); }

void OnWallHug(ZEntity* owner, const CollisionResult& contact, bool /*hard*/) {
    int32_t kind = 0;
    if (!(EdgeOf(contact, kind) && kind == kEdgeQuiet)) {
        PlaySound("wallhug.zms", 90);
    }
    ForceGhostFrame(owner);
}

bool MayWallHug(ZEntity* /*owner*/, const CollisionResult& contact) {
    int32_t kind = 0;
    return !(EdgeOf(contact, kind) && kind == kEdgeNoWallHug);
}

}  // namespace

EdgeKindQuery& GetEdgeKindQuery() {
    static EdgeKindQuery query = nullptr;
    return query;
}

bool GetEdgeKind(const ZCollisionInterface* other, int32_t& kind) {
    const EdgeKindQuery query = GetEdgeKindQuery();
    return other != nullptr && query != nullptr && query(other, kind);
}

const PlayerPhysicsSet& PlatformerPhysics() {
    // Push speed, two jump heights (the second for the double jump), apex
    // time, the share of a jump that a tap still gives, landing factor.
    static const PlayerPhysicsSet set{120.0f, {51.93216f, 33.38496f}, 0.35f, 0.5f, 1.0f};
    return set;
}

const PlayerPhysicsSet& UnderwaterPhysics() {
    static const PlayerPhysicsSet set{60.0f, {103.86432f, 66.76992f}, 0.35f * 4.0f, 0.25f, 1.0f};
    return set;
}

void InstallContactCallbacks(Player& player) {
    if (player.spatial != nullptr) {
        player.spatial->SetContactCallback(&OnContact);
    }
    if (player.physics != nullptr) {
        player.physics->SetOnJump(&OnJump);
        player.physics->SetOnLand(&OnLanding);
        player.physics->SetOnLeaveGround(&OnLeaveGround);
        player.physics->SetOnWall(&OnWallHug);
        player.physics->SetWallFilter(&MayWallHug);
    }
}

void Die(Player& player) {
    if (!player.inPlay || player.deathTimer > 0.0f) {
        return;
    }
    player.deathTimer = Player::kDeathTime;
    SetDeathsCount(player, GetDeathsCount(player) + 1);
    // A course run counts its own deaths and marks the moment in its ghost.
    if (SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player)) speedrun->AddDeath();
    PlaySound("death.zms", 110);
    player.smoothedSpeed = 0.0f;
    player.roomConditions[1] = false;
    player.roomConditions[2] = false;
}

void ApplyRoomConditions(Player& player, const bool playSplash, const bool down) {
    const bool water = player.roomConditions[1] || player.roomConditions[3];
    const bool toxic = player.roomConditions[2] || player.roomConditions[4];
    if (water != player.underwaterPhysics) {
        player.underwaterPhysics = water;
        ApplyWaterPhysics(player);
        if (playSplash) {
            SpawnSplash(player, down);
        }
    }
    if ((water && !HasPowerup(player, kPowerupSwimSuit, false)) ||
        (toxic && !HasPowerup(player, kPowerupToxicSuit, false))) {
        Die(player);
    }
}

void ApplyWaterPhysics(Player& player) {
    ZPhysicsComponent* const physics = player.physics;
    if (physics == nullptr) {
        return;
    }
    ZSpatialComponent* const spatial = player.spatial;
    // Vertical speed measured along up, so that it compares with the jump speed.
    const float v = spatial != nullptr ? spatial->current.velocity.Dot(gWorldUp) : 0.0f;
    const float j0 = physics->jumpSpeed;
    if (!IsOverworldMode()) {
        const PlayerPhysicsSet& set = player.underwaterPhysics ? UnderwaterPhysics() : PlatformerPhysics();
        physics->InitPhysics(set.pushSpeed, set.heights, 2, set.apexTime, set.minimumFraction, set.landingFactor);
        physics->SelectJump(0);
        // Going into or out of the water starts no jump: there is nothing to
        // cut short, and the fall goes on at the new set's full gravity.
        physics->jumpReleased = true;
        physics->jumpFraction = 1.0f;
    }
    const float j1 = physics->jumpSpeed;
    const float target = std::fabs(j0) > 0.0f ? v * j1 / j0 : v * j1;
    const float blended = v + (target - v) * 0.65f;
    if (spatial != nullptr) {
        ZVector3& velocity = spatial->current.velocity;
        velocity = velocity + gWorldUp * (blended - v);
    }
}

void RefreshWaterState(Player& player) {
    const KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr || player.spatial == nullptr) {
        return;
    }
    const ZVector3 p = player.spatial->current.position;
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        ZLog::Printf("Player: position (%g, %g) is not finite; water state unchanged", double(p.x), double(p.y));
        return;
    }
    // The player may stand above the room's top or in a neighbouring room of
    // its area: the query moves the cell into the room that holds it.
    const MapData& map = game->GetMapData();
    const uint8_t kind = game->GetTileCollision(map.currentRoomX, map.currentRoomY,
                                                static_cast<int32_t>(std::floor(p.x / 8.0f)),
                                                static_cast<int32_t>(std::floor(p.y / 8.0f)));
    player.roomConditions[1] = kind == kEdgeWater || kind == kEdgeToxicWater;
    player.roomConditions[2] = kind == kEdgeToxicWater;
    ApplyRoomConditions(player, false, false);
}

void TouchWhatThePlayerStandsIn(Player& player) {
    // Its shapes switched on where they stand touch what they overlap, as
    // at the end of each overworld step.
    if (player.collision != nullptr) player.collision->SetEnabled(true);
}

void ApplyModeSettings(Player& player) {
    const bool overworld = IsOverworldMode();
    ZPhysicsComponent* const physics = player.physics;
    if (!overworld) {
        if (player.spatial != nullptr) player.spatial->current.scale = ZVector3(16.0f, 24.0f, 1.0f);
        gWorldUp = ZVector3(0.0f, -1.0f, 0.0f);
        ApplyWaterPhysics(player);
    } else {
        if (player.spatial != nullptr) player.spatial->current.scale = ZVector3(16.0f, 16.0f, 1.0f);
        gWorldUp = ZVector3(0.0f, 0.0f, 1.0f);
        if (physics != nullptr) {
            physics->InitPhysics(PlatformerPhysics().pushSpeed, nullptr, 0, 0.0f, 0.0f, 0.0f);
        }
    }
    if (physics != nullptr) {
        physics->ResetMotion(false);
    }
    ZCollisionInterface* const shape = player.collision != nullptr ? player.collision->GetPrimary() : nullptr;
    if (auto* box = DynamicCast<ZCollisionBox>(shape)) {
        box->halfExtents = overworld ? ZVector3(4.0f, 4.0f, 1.0f) : ZVector3(5.0f, 8.0f, 1.0f);
    }
    if (player.renderable != nullptr) {
        if (auto* sprite = dynamic_cast<PlayerSpriteTexture*>(player.renderable->GetRenderable(ZHashedString()))) {
            sprite->SelectModeSheet(overworld);
        }
    }
    player.stepState = 0;
    player.overworldFacing = ZVector2(0.0f, 1.0f);
    player.previousOverworldFacing = ZVector2(0.0f, 1.0f);
    player.stepDuration = 0.25f;
    player.stepElapsed = 0.0f;
    player.overworldInputFreeze = overworld ? 0.2f : -1.0f;
    if (overworld) {
        player.smoothedSpeed = 0.0f;
    }
}
