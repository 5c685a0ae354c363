#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZVector3.h"

struct CollisionResult;

// Lets entities ride on another: a carrier keeps its riders as children, and
// each rider links back to its carrier. A carrier fires "OnBased" when a
// rider arrives and "OnUnbased" when it leaves.
class ZBasingComponent : public ZSerialComponent {
    Z_RTTI(ZBasingComponent, ZSerialComponent)

public:
    using CarriedCallback = void (*)(ZEntity* rider, ZEntity* parent);

    ZBasingComponent() = default;
    // Cuts the links at both ends quietly (no events: the entity is going),
    // so that no rider or carrier keeps a pointer to it.
    ~ZBasingComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Basing");
        return kind;
    }
    // "Role" ("parent" or "child", any letter case) and "Impart".
    void ReadDefinition(const ZDefNode& element) override;

    // This rider rides the entity (or component) behind the handle, leaving
    // its old carrier first. Nothing happens when the other has no basing
    // component or is being deleted.
    void AttachTo(uint32_t otherHandle);
    // Adds the rider to this carrier's children (once), firing "OnBased".
    void AddChild(ZEntity* rider);
    // Removes the rider from the children, firing "OnUnbased"; the caller
    // clears the rider's link.
    void RemoveChild(ZEntity* rider);
    // Every rider leaves: each is removed from its carrier and its link cleared.
    void DetachChildren();
    // Cuts this rider's link to its carrier (held rigidly or not).
    void Detach();
    // This rider (with the child role) rides the carrier (with the parent
    // role) when the contact direction is within about 37 degrees of up.
    bool TryBaseOn(ZBasingComponent* carrier, const ZVector3& direction);
    // a rides b, or else b rides a (a mover landing on a carrier, or a
    // carrier rising into a rider).
    static bool TryBasePair(ZBasingComponent* a, ZBasingComponent* b, const CollisionResult& contact);

    ZArray<ZEntity*> children;
    ZEntity* parent = nullptr;  // the carrier this entity rides on
    bool heldRigidly = false;
    ZVector3 rigidOffset;  // where a rigidly held rider hangs from its carrier
    bool parentRole = false;
    bool childRole = false;
    float impart = 0.0f;  // share of the carrier's rise given to a jump off it
    CarriedCallback afterCarried = nullptr;
    CarriedCallback beforeCarried = nullptr;
};
