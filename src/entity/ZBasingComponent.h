#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"

// Lets entities ride on another: a carrier keeps its riders as children, and
// each rider links back to its carrier.
class ZBasingComponent : public ZSerialComponent {
    Z_RTTI(ZBasingComponent, ZSerialComponent)

public:
    ZBasingComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Basing");
        return kind;
    }
    // Its saved state comes with the rest of its system; nothing yet.
    void Save(ZDefNode& /*element*/) const override {}

    // Adds the rider to this carrier's children (once).
    void AddChild(ZEntity* rider);
    // Removes the rider from the children; the caller clears the rider's link.
    void RemoveChild(ZEntity* rider);
    // Every rider leaves: each is removed from its carrier and its link cleared.
    void DetachChildren();

    ZEntity* parent = nullptr;  // the carrier this entity rides on
    bool heldRigidly = false;
    ZArray<ZEntity*> children;
};
