#pragma once

#include "entity/ZSerialComponent.h"

class ZCollisionInterface;
struct CollisionResult;

// A hidden block that pops into view when something lands on it: a contact
// whose normal (from the block towards the mover) points against the pull
// of gravity, within 45 degrees. Until then it is not drawn and
// every contact passes through it; the contact that pops it and every later
// one collide. Popping fires "OnPop". Whether it popped lives in the entity's
// data component as "POPCOMPVIS", so it is saved with the entity's state.
class PopComponent : public ZSerialComponent {
    Z_RTTI(PopComponent, ZSerialComponent)

public:
    PopComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Pop");
        return kind;
    }
    // Shows the entity when it has popped (hides it otherwise) and installs
    // the contact query on its default collision shape.
    void PostLoadHook() override;

    // "POPCOMPVIS" of the entity's data component; added as false when
    // missing. False without a data component.
    static bool IsPopped(PopComponent* pop);
    // Marks the block popped, shows it and fires "OnPop".
    static void Pop(PopComponent* pop);
    // The default shape's accept callback: true when the contact collides.
    // The record's normal points from the block towards the mover; a normal
    // within 45 degrees of straight against gravity (a landing from above)
    // pops the block.
    static bool ContactQuery(ZCollisionInterface* primitive, ZCollisionInterface* other,
                             const CollisionResult& contact);
};
