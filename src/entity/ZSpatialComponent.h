#pragma once

#include "entity/ZCollisionInterface.h"
#include "entity/ZSerialComponent.h"
#include "entity/ZSpatialState.h"
#include "foundation/ZMatrix4.h"

class ZEntity;
struct CollisionResult;

// The "Spatial" component: where an entity is and how it moves. Each fixed
// step integrates its motion, sweeps its collision shape through the world,
// hands the contacts to the physics, basing and pusher components and carries
// its riders. Drawing reads the state blended between the last two steps.
class ZSpatialComponent : public ZSerialComponent, public ZCollisionOwner {
    Z_RTTI(ZSpatialComponent, ZSerialComponent)

public:
    using ContactCallback = void (*)(ZEntity* owner, const CollisionResult& contact);

    ZSpatialComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Spatial");
        return kind;
    }
    // "Position", "Velocity", "Acceleration", "Scale" (each a "Vector" child)
    // and "Rotation" ("Vector" with "Axis" and "Angle"); all copies end equal.
    void ReadDefinition(const ZDefNode& element) override;

    void SetContactCallback(const ContactCallback callback) { contactCallback = callback; }
    ContactCallback GetContactCallback() const { return contactCallback; }

    // ZCollisionOwner: shapes of this entity stand at the current state.
    ZVector3 GetPosition() const override { return current.position; }
    ZQuaternion GetRotation() const override { return current.rotation; }
    ZVector3 GetScale() const override { return current.scale; }
    ZRTTIBase* GetSpatial() override { return this; }
    void OnGroundProbe(CollisionResult& contact) override;
    void FilterSlideVelocity(float& first, float& second, bool flag) override;

    // Every copy becomes the current state (after teleports and spawns).
    void ResetInterpolation();
    // One fixed step of motion, collision, pushing and carrying.
    void Integrate(float dt);
    // Sweeps the primary collision shape from one point to another and acts on
    // the contacts; without a shape the position simply becomes target.
    void Move(const ZVector3& from, const ZVector3& target);
    // Blends the last two steps for drawing (alpha 0 the previous, 1 the current).
    void Interpolate(float alpha);
    // World matrix of the interpolated state, its position snapped to pixel
    // centres in step with the reference point (the camera).
    ZMatrix4 GetSnappedWorldMatrix(const ZVector3& reference) const;
    // The snapped translation of one axis (see GetSnappedWorldMatrix).
    static float SnapAxis(float position, float reference);

    // Saves the current state so that the end of this step makes it the
    // previous one: a carried or pushed entity does not blur over the frame.
    void MarkReset() {
        resetPending = true;
        saved = current;
    }

    ZSpatialState previous;
    ZSpatialState current;
    ZSpatialState previousInterpolated;
    ZSpatialState interpolated;
    bool resetPending = false;
    ZSpatialState saved;
    ContactCallback contactCallback = nullptr;
    bool takeSweptPosition = true;  // the sweep's end becomes the position
    bool respondWithVelocity = true;  // solid contacts change the velocity

private:
    void ApplyPushes();
    void CarryRiders(float dt);
};

// The fixed step length of the running game (1/60 s without one); pushes use
// it to turn a speed into the rest of a step's travel.
float GetEntityStepLength();
// The game's accumulated fixed-step time (0 without a game).
float GetEntityFixedTime();
