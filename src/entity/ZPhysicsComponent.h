#pragma once

#include <cstdint>
#include <vector>

#include "entity/ZSerialComponent.h"
#include "foundation/ZVector3.h"

class ZEntity;
struct CollisionResult;

// The "Physics" component: the platformer movement model. Ground and wall
// contact, jumps of several heights with coyote time, a jump buffer and a
// variable height on release, wall slides and wall jumps, a fall-speed limit
// and the response kind of the entity's collision shapes. The game's actors
// drive it each fixed step; the spatial move reports contacts back to it.
// "Up" is the process-wide up direction; gravity acts against it.
class ZPhysicsComponent : public ZSerialComponent {
    Z_RTTI(ZPhysicsComponent, ZSerialComponent)

public:
    using EntityCallback = void (*)(ZEntity* owner);
    using ContactCallback = void (*)(ZEntity* owner, const CollisionResult& contact, bool hard);
    using WallFilter = bool (*)(ZEntity* owner, const CollisionResult& contact);

    ZPhysicsComponent();

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Physics");
        return kind;
    }
    // Back to the first jump height.
    void Reset() { SelectJump(0); }

    // The movement constants: apex time is the time to reach the first
    // height; released jumps fall with gravity / minimum fraction; a landing
    // faster than landing factor × the first jump speed is hard.
    void InitPhysics(float pushSpeed, const float* heights, int32_t count, float apexTime, float minimumFraction,
                     float landingFactor);
    // Prepares the jump of that height (an index out of range keeps the last).
    void SelectJump(int32_t index);
    // A jump request (or none, to let a buffered jump go); always sets the
    // gravity from how much of the jump is held.
    void Jump(bool request);
    // The jump button was let go: the jump's remaining height shrinks. With
    // force, the jump only counts as released after its apex time.
    void ReleaseJump(bool force);
    // Sets the walking velocity and the shapes' response kind.
    void Walk(const ZVector3& move, bool ignoreFloor, bool slide);
    void UpdateResponse();
    // The wall-jump push fades out over the impulse duration.
    void UpdateImpulse(float dt);
    void ClampGravitySpeed();
    void TickTimers(float dt);
    // Stops all motion and sets the jump state as on the ground (or in the air).
    void ResetMotion(bool airborne);
    bool IsWallSliding() const { return onWall && wallJumping; }
    // One fixed step (the carrier moves a rigidly held rider instead).
    void Step(float dt);
    // Whether the mover behind other may ride this entity now: not while both
    // rise and the mover rises more slowly.
    bool CanBaseOn(const ZComponent* other) const;
    // Keeps a walker's floor flat: a steep best contact while still walking
    // counts as up.
    void OnGroundNormal(CollisionResult& contact) const;

    // The spatial step and move report through these.
    void BeginContactPass();
    void OnGroundContact(const CollisionResult& contact);
    void OnWallContact(const CollisionResult& contact);
    void GroundProbe();
    void LeaveGround();

    void SetOnJump(const EntityCallback c) { onJump = c; }
    EntityCallback GetOnJump() const { return onJump; }
    void SetOnLand(const ContactCallback c) { onLand = c; }
    ContactCallback GetOnLand() const { return onLand; }
    void SetOnSteepContact(const ContactCallback c) { onSteepContact = c; }
    ContactCallback GetOnSteepContact() const { return onSteepContact; }
    void SetOnLeaveGround(const EntityCallback c) { onLeaveGround = c; }
    EntityCallback GetOnLeaveGround() const { return onLeaveGround; }
    // Told the wall's contact when the owner first touches a wall it may hug.
    void SetOnWall(const ContactCallback c) { onWall_ = c; }
    ContactCallback GetOnWall() const { return onWall_; }
    void SetWallFilter(const WallFilter c) { wallFilter = c; }
    WallFilter GetWallFilter() const { return wallFilter; }

    // The gravity now: full while the jump is held, the released-jump
    // gravity at a jump fraction of 0.
    float CurrentGravity() const;

    int32_t bounceCount = 0;
    bool grounded = false;
    bool wasGrounded = false;
    bool sliding = false;
    ZVector3 groundNormal;
    bool onWall = false;
    bool wasOnWall = false;
    ZVector3 wallNormal;
    int32_t maxJumps = 1;
    int32_t jumpsLeft = 1;
    float jumpFraction = 1.0f;
    bool wallJumping = false;
    int32_t jumpHeightCount = 0;
    float maxFallSpeed = 0.0f;
    float pushSpeed = 0.0f;
    float jumpHeight = 0.0f;
    float jumpSpeed = 0.0f;
    float minimumJumpHeight = 0.0f;
    float jumpStartY = 0.0f;
    float jumpStartTime = -1.0f;
    bool jumpReleased = false;
    float coyoteTimer = -1.0f;
    float jumpLockoutTimer = -1.0f;
    float jumpBufferTimer = -1.0f;
    float wallCoyoteTimer = -1.0f;
    ZVector3 wallPushDirection;
    float impulseTimer = 0.0f;
    bool jumpPending = false;
    std::vector<float> jumpHeights;
    float jumpHeightsSum = 0.0f;
    float minimumFraction = 0.0f;
    float apexTime = 0.0f;
    float firstJumpHeight = 0.0f;
    float firstJumpSpeed = 0.0f;
    float gravity = 0.0f;
    float releasedJumpGravity = 0.0f;
    bool airborne = false;
    bool landed = false;
    float landingSpeedLimit = 0.0f;
    float wallPushSpeed = 0.0f;
    float impulseDuration = 0.4f;
    bool groundProbe = false;
    float probeScale = 1.0f;
    bool ignoreFloor = false;
    // Where the entity stood when it first moved, as a fraction between the
    // low and high marks below the reference height; the game's actors set
    // it once on their first fixed step.
    float startRatio = 0.0f;
    float startReference = 0.0f;
    float startLow = 0.0f;
    float startHigh = 0.0f;
    bool started = false;
    bool rest = false;     // set by the "rest" command and by pickups; for the game
    bool further = false;  // for the game; the movement model never reads it

private:
    void PerformJump();

    EntityCallback onJump = nullptr;
    ContactCallback onLand = nullptr;
    ContactCallback onSteepContact = nullptr;
    EntityCallback onLeaveGround = nullptr;
    ContactCallback onWall_ = nullptr;
    WallFilter wallFilter = nullptr;
};
