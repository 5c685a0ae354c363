#include "game/player/Player.h"

#include <algorithm>
#include <cmath>

#include "entity/AnaglyphComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZConditions.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZHealthComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPopupComponent.h"
#include "entity/ZPusherComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZHandleRegistry.h"
#include "framework/ZBaseGame.h"
#include "game/components/CoffeeComponent.h"
#include "game/components/DoorComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/menus/DemoIdleMenu.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerDataHooks.h"
#include "game/player/PlayerDialog.h"
#include "game/player/PlayerMusic.h"
#include "game/player/PlayerOverworld.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerRoomExit.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game/player/PlayerStatus.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/CollisionLineDef.h"
#include "game/world/KorvanthGame.h"
#include "game/world/TileLayerMesh.h"
#include "input/ZPlayerControllerComponent.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

Player* gPlayer = nullptr;

bool AnswerFalse(ZCollisionInterface*, ZCollisionInterface*) { return false; }
bool AnswerTrue(ZCollisionInterface*, ZCollisionInterface*) { return true; }

void NoDataChange(ZEntity*, ZHashedString) {}

void OnHealthDeath(ZEntity* owner, uint32_t) {
    if (Player* player = DynamicCast<Player>(owner)) {
        Die(*player);
    }
}

bool CinematicPlaying(const char* name) {
    const ZCinematicMgr* const cinematics = PeekCinematicMgr();
    return cinematics != nullptr && cinematics->IsPlaying(ZHashedString(name));
}

bool MenuOpen() {
    const ZMenuMgr* const menus = PeekMenuMgr();
    return menus != nullptr && menus->GetOpenMenuCount() > 0;
}

float StepTime() {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetStepLength() : 1.0f / 60.0f;
}

bool AltDownJump() {
    const KorvanthGame* const game = KorvanthGame::Get();
    return game != nullptr && game->m_altDownJump;
}

float LowFrictionRate() {
    const KorvanthGame* const game = KorvanthGame::Get();
    return game != nullptr ? game->m_lowFrictionRate : 1.5f;
}

// Whether the entity is still about where the frob search reaches: within
// its reach and a little more (a character's half width and some slack)
// either side, at about the player's height. A target kept from before a
// pause, now far away, is not.
bool StillInReach(const Player& player, const ZFrobComponent& frob, const uint32_t handle) {
    constexpr float kSlack = 16.0f;
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(ResolveEntity(FindObjectByHandle(handle)));
    if (spatial == nullptr || player.spatial == nullptr) {
        return false;
    }
    const ZVector3 offset = spatial->current.position - player.spatial->current.position;
    return std::fabs(offset.x) <= frob.reach + kSlack && std::fabs(offset.y) <= kSlack;
}

}  // namespace

Player* GetPlayer() { return gPlayer; }

namespace {

// What the room's collision lines ask of the player: who it is, and whether
// it is dropping through a platform; and what the player asks of a line.
bool IsThePlayer(const ZEntity* const entity) { return entity != nullptr && entity == gPlayer; }

bool IsDroppingThrough(const ZEntity* const entity) {
    return IsThePlayer(entity) && gPlayer->dropThroughTimer > 0.0f;
}

bool RoomLineKind(const ZCollisionInterface* const other, int32_t& kind) {
    const auto* const line = DynamicCast<CollisionLineDef>(other);
    if (line == nullptr) {
        return false;
    }
    kind = line->kind;
    return true;
}

void ConnectRoomLines() {
    CollisionLineDef::SetPlayerQueries(&IsThePlayer, &IsDroppingThrough);
    // A test's own scenery may have installed its query first: keep it.
    if (GetEdgeKindQuery() == nullptr) {
        GetEdgeKindQuery() = &RoomLineKind;
    }
}

void DisconnectRoomLines() {
    CollisionLineDef::SetPlayerQueries(nullptr, nullptr);
    if (GetEdgeKindQuery() == &RoomLineKind) {
        GetEdgeKindQuery() = nullptr;
    }
}

}  // namespace

bool IsOverworldMode() {
    const KorvanthGame* const game = KorvanthGame::Get();
    return game != nullptr && game->IsOverworld();
}

bool IsTransitionPlaying() { return CinematicPlaying("Room Transition") || CinematicPlaying("Door Transition"); }

Player::Player() {
    SetUpdatePriority(100);
    ZDataComponent* const data = ::AddComponent<ZDataComponent>(this);
    data->SetChangeCallback(&NoDataChange);
    AttachComponents();
    InstallPlayerDataHooks(*this);
    if (gPlayer == nullptr) {
        gPlayer = this;
        ConnectRoomLines();
    }
}

void Player::AttachComponents() {
    renderable = ::AddComponent<ZRenderableComponent>(this);
    spatial = ::AddComponent<ZSpatialComponent>(this);
    physics = ::AddComponent<ZPhysicsComponent>(this);
    // Keeps the player on the floor over the seams between tiles.
    physics->groundProbe = true;
    camera = ::AddComponent<ZCameraComponent>(this);
    collision = ::AddComponent<ZCollisionComponent>(this);
    basing = ::AddComponent<ZBasingComponent>(this);
    basing->childRole = true;
    basing->afterCarried = &UpdatePlayerCamera;
    controller = ::AddComponent<ZPlayerControllerComponent>(this);

    // The sprite draws the player's frame: its parameters come from here.
    auto* const sprite = new PlayerSpriteTexture();
    sprite->shader = GetSpriteShader();
    if (const KorvanthGame* const game = KorvanthGame::Get()) sprite->SetSource(game->GetSpriteQuad());
    ZTransform::SetParent(sprite, static_cast<ZParameterSource*>(this));
    if (ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(GetWorldSpriteGroup())) {
            // Drawn in front of the doors, huts and people it passes, and of its ghost.
            group->AddOnLayer(sprite, 2);
        }
    }
    FollowWorldCamera(*this);
    renderable->AddRenderable(ZHashedString(), sprite);

    SetCheckpointPosition(*this, 128.0f, 112.0f, false);
    SetCheckpointRoom(*this, 0, 0, false);
    SetCheckpointMap(*this, ZHashedString(""), false);
    SetCheckpointCampaign(*this, ZHashedString(""), false);
    SetCheckpointPosition(*this, 128.0f, 112.0f, true);
    SetCheckpointRoom(*this, 0, 0, true);
    SetCheckpointMap(*this, ZHashedString(""), true);
    SetCheckpointCampaign(*this, ZHashedString(""), true);
    ZVector2 start;
    GetCheckpointPosition(*this, start, true);
    spatial->current.position = ZVector3(start.x, start.y, 0.0f);
    spatial->ResetInterpolation();

    InstallContactCallbacks(*this);

    auto* const box = new ZCollisionBox(ZVector3());
    box->SetOwner(spatial);
    box->blocker = &AnswerFalse;
    box->gate = &AnswerTrue;
    box->filterMask = 0x100;
    collision->SetPrimitive(ZHashedString().GetId(), box);
    collision->sweepMask = 0xFF3FF7FFu;

    ResetMovementFields(*this);
    lastSaveTime = -1.0f;
    ResetProgress(*this);
    RefreshPlayerAbilities(*this);

    ::AddComponent<ZGUIDComponent>(this)->guid = kGUID;
    ::AddComponent<ZScriptComponent>(this);
    ::AddComponent<ZDialogConsumerComponent>(this)->closedCallback = &OnPlayerDialogClosed;
    ::AddComponent<ZDialogProviderComponent>(this);

    if (ZDefinitionCache* definitions = ZDefinitionCache::GetInstance()) {
        statusDefinition = definitions->GetDefinitionFile(ZHashedString("Status.zdd"));
        speedrunStatusDefinition = definitions->GetDefinitionFile(ZHashedString("StatusSpeedrun.zdd"));
        fullMapDefinition = definitions->GetDefinitionFile(ZHashedString("StatusFullMap.zdd"));
    }

    ::AddComponent<ZCheckpointComponent>(this);
    ::AddComponent<RandomizerComponent>(this);
    ::AddComponent<MinimapComponent>(this);
    ::AddComponent<SpeedrunComponent>(this);
    ZFrobComponent* const frob = ::AddComponent<ZFrobComponent>(this);
    frob->reach = 20.0f;
    frob->primitiveKey = ZHashedString("FrobSweep");
    frob->filterMask = 0x100000u;
    DoorComponent* const door = ::AddComponent<DoorComponent>(this);
    door->sweepShape = ZHashedString("FrobSweep");
    door->doorMask = 0x80000u;

    // What the player faces and stands at: the frob and door searches use it.
    auto* const point = new ZCollisionPoint();
    point->SetOwner(spatial);
    point->filterMask = 0;
    collision->SetPrimitive(ZHashedString("FrobSweep").GetId(), point);

    ::AddComponent<ZFacingComponent>(this)->facing = ZFacingComponent::kTowardsPlusX;
    ::AddComponent<ZHealthComponent>(this)->onDeath = &OnHealthDeath;
    ::AddComponent<ZPusherComponent>(this)->canPush = true;
    ::AddComponent<AnaglyphComponent>(this)->depth = 0.0f;
    ::AddComponent<CoffeeComponent>(this);
    // The speedrun courses' entrances and the way back ("teleport self <name> save").
    TeleportComponent* const teleport = ::AddComponent<TeleportComponent>(this);
    const struct {
        const char* name;
        const char* map;
        int32_t x;
        int32_t y;
        const char* arrival;
    } kDestinations[] = {
        {"SpeedrunHall", "Town Interiors", 13, 0, "FromSpeedrun"},
        {"OldArcadia", "Speedrun Maps", 0, 0, "SpeedrunIntro"},
        {"Bonehoard", "Speedrun Maps", -1, 6, "BonehoardIntro"},
        {"Dreamscape", "Speedrun Maps", 7, -6, "DreamEntry"},
        {"LegacyCaves", "Speedrun Maps", 12, 6, "LegacyCavesIntro"},
        {"Gallery", "Speedrun Maps", 14, 3, "GalleryIntro"},
    };
    for (const auto& d : kDestinations) {
        teleport->SetDestination(ZHashedString(d.name), ZHashedString(d.map), d.x, d.y, ZHashedString(d.arrival));
    }

    ApplyModeSettings(*this);
    ShowFullMap(false);
    overworldInputFreeze = -1.0f;
    cameraSnap = false;
    musicDelay = -1.0f;
    recheckJump = false;
}

Player::~Player() {
    if (gPlayer == this) {
        gPlayer = nullptr;
        DisconnectRoomLines();
        // The up axis was the player's mode setting; the engine's default returns.
        gWorldUp = ZVector3(0.0f, 0.0f, 1.0f);
    }
    if (renderable != nullptr) {
        renderable->DestroyRenderables();
    }
    if (collision != nullptr) {
        collision->ClearPrimitives();
    }
    currentTune = ZString();
}

void ResetMovementFields(Player& player) {
    player.walkPhase = 0.0f;
    player.landingTimer = 0.0f;
    player.deathTimer = 0.0f;
    player.facingLeft = false;
    player.dropHeld = false;
    player.idleTime = 0.0f;
    player.inactivityTime = 0.0f;
    player.overworldAnimTime = 0.0f;
    player.dropThroughTimer = 0.0f;
    player.stepState = 0;
    player.overworldFacing = ZVector2(0.0f, 1.0f);
    player.previousOverworldFacing = ZVector2(0.0f, 1.0f);
    player.stepDuration = 0.25f;
    player.stepElapsed = 0.0f;
    player.forcedInputDuration = 0.3f;
    player.forcedInputRemaining = -1.0f;
    player.forcedInput = ZVector3();
}

void FollowWorldCamera(Player& player) {
    if (player.camera == nullptr) return;
    // The camera the player follows is the game picture's, never the base
    // game's: moving that one would turn the view away from the CRT, and the
    // room's view (tiles and sprites) would stay where it was.
    // Without a display chain (no CRT to frame) the base game's serves.
    const KorvanthGame* const korvanth = KorvanthGame::Get();
    if (ZCamera* world = korvanth != nullptr ? korvanth->GetWorldCamera() : nullptr) {
        player.camera->camera = world;
    } else if (const ZBaseGame* game = ZBaseGame::PeekInstance()) {
        player.camera->camera = game->GetCamera();
    }
}

void ResetPlayer(Player& player) {
    ResetProgress(player);
    ResetMovementFields(player);
    RefreshPlayerAbilities(player);
    if (ZDialogConsumerComponent* consumer = GetComponent<ZDialogConsumerComponent>(&player)) {
        if (consumer->provider != 0) {
            consumer->CloseDialog();
        }
    }
    // The run's course powerups and coffee go with the old game.
    if (SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player)) {
        speedrun->ResetRun();
    }
    player.currentTune = ZString();
    player.musicDelay = -1.0f;
    for (bool& flag : player.roomConditions) {
        flag = false;
    }
    player.wallStickTimer = Player::kWallStickTime;
    player.inPlay = false;
    // A new randomized game is made with the present algorithm, whatever the
    // last one loaded was saved with.
    if (RandomizerComponent* const randomizer = GetComponent<RandomizerComponent>(&player)) {
        randomizer->SetAlgorithmVersion(RandomizerComponent::kAlgorithmVersion);
    }
    ShowFullMap(false);
}

bool Player::IsBlocked() const {
    return IsDead() || IsTransitionPlaying() || CinematicPlaying("Intro Splash Cinematic") || MenuOpen();
}

PlayerControls Player::ReadControls() const {
    static const ZHashedString kGameplay("Gameplay");
    static const ZHashedString kOverworld("Overworld");
    static const ZHashedString kMoveRight("MoveRight");
    static const ZHashedString kMoveLeft("MoveLeft");
    static const ZHashedString kEnter("Enter");
    static const ZHashedString kJumpDown("JumpDown");
    static const ZHashedString kJump("Jump");
    static const ZHashedString kInteract("Interact");
    static const ZHashedString kStatus("Status");
    static const ZHashedString kFullMap("FullMap");
    static const ZHashedString kEast("MoveEast");
    static const ZHashedString kWest("MoveWest");
    static const ZHashedString kSouth("MoveSouth");
    static const ZHashedString kNorth("MoveNorth");
    PlayerControls c;
    if (controller == nullptr) {
        return c;
    }
    c.moveRight = controller->GetActionValue(kGameplay, kMoveRight);
    c.moveLeft = controller->GetActionValue(kGameplay, kMoveLeft);
    c.enter = controller->GetActionValue(kGameplay, kEnter);
    c.jumpDown = controller->GetActionValue(kGameplay, kJumpDown);
    c.enterPressed = controller->WasActionPressed(kGameplay, kEnter);
    c.jumpDownPressed = controller->WasActionPressed(kGameplay, kJumpDown);
    c.jumpDownHeld = controller->IsActionDown(kGameplay, kJumpDown);
    c.jumpPressed = controller->WasActionPressed(kGameplay, kJump);
    c.jumpHeld = controller->IsActionDown(kGameplay, kJump);
    c.interactPressed = controller->WasActionPressed(kGameplay, kInteract);
    c.statusPressed = controller->WasActionPressed(kGameplay, kStatus);
    c.fullMapPressed = controller->WasActionPressed(kGameplay, kFullMap);
    c.moveEast = controller->GetActionValue(kOverworld, kEast);
    c.moveWest = controller->GetActionValue(kOverworld, kWest);
    c.moveSouth = controller->GetActionValue(kOverworld, kSouth);
    c.moveNorth = controller->GetActionValue(kOverworld, kNorth);
    return c;
}

void Player::Update(const float dt, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    Step(ReadControls(), dt);
}

void Player::Respawn() {
    deathTimer = 0.0f;
    if (ZHealthComponent* health = GetComponent<ZHealthComponent>(this)) {
        health->health = health->maxHealth;
    }
    // The ghost keeps where the player fell and where it comes back.
    SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(this);
    if (speedrun != nullptr) {
        speedrun->RecordGhostFrame(true, false);
    }
    ZVector2 checkpoint;
    GetCheckpointPosition(*this, checkpoint, false);
    if (spatial != nullptr) {
        spatial->current.velocity = ZVector3();
        spatial->current.position = ZVector3(checkpoint.x, checkpoint.y, 0.0f);
        spatial->ResetInterpolation();
    }
    SettleMotion();
    if (basing != nullptr && basing->parent != nullptr) {
        basing->Detach();
    }
    // Moving to the checkpoint's room and map, the autosave and the camera
    // snap come with room loading and transitions (RespawnHooks).
    if (GetPlayerRespawnHook() != nullptr) {
        GetPlayerRespawnHook()(*this);
    }
    inPlay = true;
    SnapCameraToPlayer(*this);
    RefreshWaterState(*this);
    // The hook may have loaded another map: the component is looked up again.
    if (SpeedrunComponent* const again = GetComponent<SpeedrunComponent>(this)) {
        again->RecordGhostFrame(true, false);
    }
}

void Player::SettleMotion() {
    if (physics != nullptr) {
        physics->ResetMotion(false);
        // No grace time or waiting press carries over from where the player was.
        physics->coyoteTimer = -1.0f;
        physics->jumpLockoutTimer = -1.0f;
        physics->jumpBufferTimer = -1.0f;
        physics->wallCoyoteTimer = -1.0f;
        physics->jumpPending = false;
        // Gravity acts from the first step on, as it did before the reset;
        // without it the first step would not touch the floor.
        if (spatial != nullptr) {
            spatial->current.acceleration = gWorldUp * -physics->CurrentGravity();
        }
    }
    if (spatial != nullptr) {
        spatial->ResetInterpolation();
    }
}

void Player::Step(const PlayerControls& controls, const float dt) {
    ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(this);
    const float stepTime = StepTime();
    if (IsBlocked()) {
        if (IsDead()) {
            deathTimer -= dt;
            if (deathTimer < 0.0f) {
                Respawn();
            }
            return;
        }
        if (const ZMenuMgr* menus = PeekMenuMgr()) {
            const ZMenu* const top = menus->GetTopMenu();
            if (top != nullptr && top->IsPauseMenu()) {
                inactivityTime += stepTime;
            }
        }
        return;
    }
    inactivityTime += stepTime;
    UpdateBubbles(*this, dt);

    if (consumer != nullptr && consumer->provider != 0) {
        StepDialogInput(*this, *consumer);
        return;
    }

    const bool overworld = IsOverworldMode();
    ZFrobComponent* const frob = GetComponent<ZFrobComponent>(this);
    // What the prompt has been drawn over since the last step.
    const uint32_t shown = frob != nullptr ? frob->target : 0;
    if (frob != nullptr) {
        frob->UpdateTarget();
    }
    DoorComponent* const door = GetComponent<DoorComponent>(this);
    if (door != nullptr) {
        door->UpdateTarget();
    }
    bool jumpBlocked = false;
    const auto fired = [this] {
        inactivityTime = 0.0f;
        idleTime = 0.0f;
    };
    if (!overworld && controls.statusPressed) {
        fired();
        OpenStatusDialog(*this);
    } else if (!overworld && controls.fullMapPressed && IsFullMapAvailable()) {
        fired();
        OpenFullMapDialog(*this);
    }
    if (controls.interactPressed) {
        fired();
        if (frob != nullptr) {
            // The press answers the prompt the player saw: a character
            // walking at the edge of reach may have left it in this step.
            if (frob->target == 0 && shown != 0 && StillInReach(*this, *frob, shown)) {
                frob->target = frob->ChooseTarget(ResolveEntity(FindObjectByHandle(shown)));
            }
            frob->TryFrob();
        }
    }
    if (controls.enterPressed) {
        fired();
        if (door != nullptr && door->Enter()) {
            jumpBlocked = true;
        }
    }
    if (forcedInputRemaining > 0.25f * forcedInputDuration) {
        jumpBlocked = true;
    }

    float h = 0.0f;
    float y = 0.0f;
    if (overworld) {
        if (!(overworldInputFreeze > 0.0f)) {
            h = std::clamp(controls.moveEast - controls.moveWest, -1.0f, 1.0f);
            y = std::clamp(controls.moveSouth - controls.moveNorth, -1.0f, 1.0f);
        }
    } else {
        h = SideViewInput(controls.moveRight, controls.moveLeft, controls.enter, controls.jumpDown);
    }
    overworldInputFreeze -= dt;

    if (!overworld) {
        if (forcedInputRemaining >= 0.0f) {
            h = BlendForcedInput(h, forcedInput.x, forcedInputRemaining, forcedInputDuration);
            forcedInputRemaining -= dt;
        }
        if (physics != nullptr && physics->onWall && physics->wallJumping) {
            const ZVector3 n = physics->wallNormal;
            if ((h > 0.0f && n.x < 0.0f) || (h < 0.0f && n.x > 0.0f)) {
                wallStickTimer = kWallStickTime;
            } else if (wallStickTimer > 0.0f) {
                wallStickTimer -= dt;
                h = -n.x;
            }
        }
    }

    const bool underwater = roomConditions[1] || roomConditions[3];
    walkPhase = AdvanceWalkPhase(walkPhase, h, y, underwater, dt);

    ZFacingComponent* const facing = GetComponent<ZFacingComponent>(this);
    if (h > 0.01f) {
        facingLeft = false;
        if (facing != nullptr) facing->facing = ZFacingComponent::kTowardsPlusX;
    } else if (h < -0.01f) {
        facingLeft = true;
        if (facing != nullptr) facing->facing = ZFacingComponent::kTowardsMinusX;
    } else if (!(overworld && std::fabs(y) >= 0.01f)) {
        walkPhase = 0.0f;
    }

    if (landingTimer > 0.0f) {
        landingTimer = std::max(0.0f, landingTimer - dt);
    }

    bool jumpPressed = false;
    const bool altDown = AltDownJump();
    if (!overworld) {
        dropHeld = physics != nullptr && physics->grounded && controls.jumpDownHeld;
        jumpPressed = controls.jumpPressed && !jumpBlocked && !(dropHeld && altDown);
        if (recheckJump) {
            jumpPressed = jumpPressed || controls.jumpHeld;
            recheckJump = false;
        }
        dropThroughTimer = std::max(0.0f, dropThroughTimer - dt);
        if ((!altDown && controls.jumpDownPressed) || (altDown && controls.jumpDownHeld && controls.jumpPressed)) {
            dropThroughTimer = kDropThroughTime;
        }
    } else {
        dropHeld = false;
    }

    if (std::fabs(h) + std::fabs(y) > 0.0001f || jumpPressed || dropHeld) {
        idleTime = 0.0f;
        inactivityTime = 0.0f;
    } else {
        idleTime += dt;
        while (idleTime > 8.0f) idleTime -= 8.0f;
    }
    if (overworld) {
        overworldAnimTime += dt;
        while (overworldAnimTime > 8.0f) overworldAnimTime -= 8.0f;
    }

    ZVector3 velocity(h, y, 0.0f);
    if (!overworld) {
        velocity = velocity * (underwater ? kWalkSpeed * 0.5f : kWalkSpeed);
        if (CoffeeComponent* const coffee = GetComponent<CoffeeComponent>(this)) {
            coffee->ApplyCoffee(velocity);
        }
    } else {
        OverworldStep(*this, dt, velocity);
    }

    smoothedSpeed = SmoothGroundSpeed(smoothedSpeed, velocity.x, LowFrictionRate(), dt);
    if (slipperyGround && physics != nullptr && physics->grounded) {
        velocity.x = smoothedSpeed;
    }

    const bool jumpHeld = !overworld && controls.jumpHeld;
    if (physics != nullptr) {
        // Held past the jump's apex time, the jump counts as released at
        // its full height, so a later release cuts nothing.
        physics->ReleaseJump(jumpHeld);
        physics->Walk(velocity, false, false);
        physics->Jump(jumpPressed);
    } else if (spatial != nullptr) {
        spatial->current.velocity = velocity;
    }
}

void Player::PostUpdate(const float dt, const uint8_t mask) {
    if ((mask & 2) != 0) {
        RunFixedStep(dt);
    }
    if ((mask & 4) != 0) {
        UpdateRoomMusic(*this, dt);
        if (spatial != nullptr && !IsBlocked()) {
            const ZBaseGame* const game = ZBaseGame::PeekInstance();
            spatial->Interpolate(game != nullptr ? game->GetLeftoverFraction() : 1.0f);
        }
        UpdateCameraForFrame(*this);
        UpdatePlayerDialogFrame(*this);
        if (ZPopupComponent* const popup = GetComponent<ZPopupComponent>(this)) {
            popup->Tick(dt);
        }
    }
}

void Player::RunFixedStep(const float dt) {
    if (physics != nullptr) {
        physics->UpdateImpulse(dt);
    }
    if (!IsBlocked()) {
        if (physics != nullptr) {
            physics->Step(dt);
        } else if (spatial != nullptr) {
            spatial->Integrate(dt);
        }
    }
    if (physics != nullptr) {
        physics->ClampGravitySpeed();
        physics->TickTimers(dt);
    }
    CheckRoomExit(*this);
    SetPlayTimeSeconds(*this, GetPlayTimeSeconds(*this) + StepTime());
    RecordSafeSpot();
    // Demo mode: nobody has played for a while (45 s, or 15 s in the pause
    // menu): ask whether anyone is still there.
    if (inPlay) {
        OpenDemoIdleWhenDue(inactivityTime);
    }
}

void Player::RecordSafeSpot() {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr || spatial == nullptr) {
        return;
    }
    // Only a safe room keeps a safe spot: on its ground, or anywhere of it in
    // the overworld.
    const bool overworld = game->IsOverworld();
    if (!roomConditions[0] || (!overworld && !(physics != nullptr && physics->grounded))) {
        return;
    }
    lastSafeCampaign = game->GetCampaignId();
    lastSafeMap = game->GetCurrentMapId();
    lastSafeRoom[0] = game->GetMapData().currentRoomX;
    lastSafeRoom[1] = game->GetMapData().currentRoomY;
    lastSafePosition = ZVector2(spatial->current.position.x, spatial->current.position.y);
    lastSafeTime = game->GetFixedTime();
}
