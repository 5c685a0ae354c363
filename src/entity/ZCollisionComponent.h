#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMap.h"

class ZCollisionInterface;
struct CollisionResult;

// The "Collision" component: the entity's collision shapes, owned here and
// standing where the entity's spatial component stands. Every touch fires
// "OnTouch" with the touched shape as the other object.
class ZCollisionComponent : public ZSerialComponent {
    Z_RTTI(ZCollisionComponent, ZSerialComponent)

public:
    ZCollisionComponent() = default;
    // The shapes go with the component: none stays in the world.
    ~ZCollisionComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Collision");
        return kind;
    }
    // "Sweep" (hex mask), "Blocker", and a "Primitive" child ("Type" "Box",
    // "Extents", "Filter", "Response").
    void ReadDefinition(const ZDefNode& element) override;

    // Switches every shape on or off; a shape switched on while overlapping
    // others touches them at once.
    void SetEnabled(bool enabled);
    // Meets every mover that already stands in this entity's primary shape as
    // if it had just stepped in: a sweep meets only a shape it enters, so a
    // shape put down around a mover (a gift dropped where the player stands)
    // would otherwise go unnoticed until the mover left it and came back. A
    // mover is an entity that moves under physics whose own sweep looks for
    // the shape (its sweep mask shares a bit with the shape's filter), as it
    // would when walking in; shapes that never move meet nothing here.
    void TouchMoversWithin();
    void SetResponse(uint32_t kind);
    ZCollisionInterface* FindPrimitive(uint32_t key) const;
    // The shape under the default key: the one the entity moves with.
    ZCollisionInterface* GetPrimary() const;
    // Stores a shape under a key, taking ownership; one stored there before
    // is destroyed.
    void SetPrimitive(uint32_t key, ZCollisionInterface* shape);
    // Destroys every shape.
    void ClearPrimitives();

    // Fires "OnTouch" on the primitive's collision component.
    static bool OnTouch(ZCollisionInterface* primitive, ZCollisionInterface* other, const CollisionResult& contact);
    static bool IsBlockerCallback(ZCollisionInterface* primitive, ZCollisionInterface* other);

    uint32_t sweepMask = 0xFFFFFFFFu;
    bool blocker = false;
    ZMap<uint32_t, ZCollisionInterface*> primitives;
};
