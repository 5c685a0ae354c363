#pragma once

#include <cstdint>

#include "entity/ZActorEntity.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "foundation/ZVector2.h"
#include "foundation/ZVector3.h"
#include "game/player/PlayerControls.h"
#include "game/player/PlayerHooks.h"
#include "game/world/TileMetadata.h"

class ZBasingComponent;
class ZCameraComponent;
class ZCollisionComponent;
class ZPhysicsComponent;
class ZPlayerControllerComponent;
class ZRenderableComponent;
class ZSpatialComponent;

// The one player of a run: made once with the game's scene and kept for the
// whole run; starting a campaign or dying only moves and resets it. Its
// behaviour comes from the components its constructor attaches, its two
// fixed-step passes (movement, then the spatial step) and its drawing
// parameters. Fields are public: the player's parts (progress, overworld
// steps, contacts, rendering) read and write them.
// Answers the world's powerup questions (which variant a custom tile shows)
// from the player's progress.
class PlayerPowerups : public PowerupHolder {
public:
    explicit PlayerPowerups(const Player& owner) : player(owner) {}
    bool HasPowerup(uint32_t powerupId) const override;

private:
    const Player& player;
};

class Player : public ZActorEntity {
    Z_RTTI(Player, ZActorEntity)

public:
    static constexpr uint32_t kGUID = 0x80000001u;
    static constexpr float kWalkSpeed = 88.32f;
    static constexpr float kDeathTime = 0.6f;
    static constexpr float kDropThroughTime = 0.1f;
    static constexpr float kWallStickTime = 0.15f;

    Player();
    ~Player() override;

    // Fixed step (mask bit 2): input and movement.
    void Update(float dt, uint8_t mask) override;
    // Fixed step: the spatial step and the physics timers; frame tick (bit 4):
    // the drawn position.
    void PostUpdate(float dt, uint8_t mask) override;
    // The sprite's frame and place, and the anaglyph values.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // One fixed step of input and movement with the controls already read.
    void Step(const PlayerControls& controls, float dt);
    // The controls of this step from the controller component (nothing
    // without one).
    PlayerControls ReadControls() const;

    bool IsDead() const { return deathTimer > 0.0f; }
    // True while something else owns the player: dead, a transition or the
    // intro splash plays, or a menu is open.
    bool IsBlocked() const;
    // Back to where the checkpoint is, alive.
    void Respawn();
    // Stops all motion where the player stands, on the ground, with gravity
    // acting (after a placement).
    void SettleMotion();
    // Keeps where the player stands as its last safe place: on the ground in
    // a safe room, or anywhere in the overworld.
    void RecordSafeSpot();

    // --- Components (copies of the map's pointers) ---
    ZRenderableComponent* renderable = nullptr;
    ZSpatialComponent* spatial = nullptr;
    ZPhysicsComponent* physics = nullptr;
    ZCameraComponent* camera = nullptr;
    ZCollisionComponent* collision = nullptr;
    ZBasingComponent* basing = nullptr;
    ZPlayerControllerComponent* controller = nullptr;

    // --- Last safe place ---
    ZVector2 lastSafePosition;
    ZHashedString lastSafeCampaign = ZHashedString::FromId(0);
    ZHashedString lastSafeMap = ZHashedString::FromId(0);
    int32_t lastSafeRoom[2] = {0, 0};
    float lastSafeTime = -1000.0f;
    float lastSaveTime = -1.0f;

    // --- Movement ---
    bool facingLeft = false;
    float walkPhase = 0.0f;      // 0 up to 6
    float landingTimer = 0.0f;   // the landing pose
    float deathTimer = 0.0f;     // above 0 while dead
    float idleTime = 0.0f;       // wraps at 8
    float inactivityTime = 0.0f; // since the last input of any kind
    float overworldAnimTime = 0.0f;
    bool dropHeld = false;
    float dropThroughTimer = 0.0f;  // one-way platforms let the player through while above 0
    bool codeEntered = false;       // survives the progress reset

    // --- Overworld steps ---
    ZVector2 overworldFacing{0.0f, 1.0f};
    ZVector2 previousOverworldFacing{0.0f, 1.0f};
    ZVector3 stepDirection;
    int32_t stepState = 0;  // 0 standing, 1 stepping
    ZVector2 stepStart;
    ZVector2 stepTarget;
    float stepDuration = 0.25f;
    float stepElapsed = 0.0f;

    float smoothedSpeed = 0.0f;  // ground speed on slippery floors
    float spareA[2] = {0.0f, 0.0f};
    bool cameraSnap = false;
    ZVector3 positionBeforeMove;  // where a room transition found the player
    bool minimapNeedsUpdate = false;  // a room load asks the minimap to look again
    float forcedInputDuration = 0.3f;
    float forcedInputRemaining = -1.0f;  // below 0 when no forced input runs
    ZVector3 forcedInput;
    ZString currentTune;
    ZString currentMinimap{"NULL"};  // the minimap the current room belongs to
    // Safe room, in water, in toxic water, underwater room, toxic room.
    bool roomConditions[5] = {false, false, false, false, false};
    float overworldInputFreeze = -1.0f;
    float wallStickTimer = 0.0f;
    ZDefNode statusDefinition;
    ZDefNode speedrunStatusDefinition;
    ZDefNode fullMapDefinition;
    bool inPlay = false;  // the player can die only while set
    float musicDelay = -1.0f;
    bool recheckJump = false;
    float bubbleTimer = -1.0f;
    PlayerPowerups powerups{*this};
    // The physics now applied is the underwater set.
    bool underwaterPhysics = false;
    // Standing on slippery ground: the ground speed follows a smoothed value.
    bool slipperyGround = false;

private:
    void AttachComponents();
    void RunFixedStep(float dt);
};

// The one player the game made, or null.
Player* GetPlayer();
// A new game: progress, movement fields, abilities, dialog and music.
void ResetPlayer(Player& player);
// The movement fields of a fresh game.
void ResetMovementFields(Player& player);
// Points the player's camera component at the camera of the game picture
// (the display chain's world camera), or the base game's without a display
// chain. Reading the component's state back points it at the base game's
// camera, so a restore calls this again.
void FollowWorldCamera(Player& player);

class ZDialogConsumerComponent;
// One fixed step while a dialog is open: move the choice, cancel or advance.
void StepDialogInput(Player& player, ZDialogConsumerComponent& consumer);
