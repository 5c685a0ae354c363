#pragma once

#include <cstdint>

#include "entity/ZRTTIBase.h"
#include "foundation/ZQuaternion.h"
#include "foundation/ZVector3.h"

class ZCollisionInterface;
struct ZCollisionFeature;
struct CollisionResult;
template <typename T>
class ZArray;

// What owns a collision shape: the spatial component of an entity. Lookups go
// from a shape through its owner to that entity's components, and shapes
// stand where their owner stands.
class ZCollisionOwner {
public:
    virtual ~ZCollisionOwner() = default;
    virtual ZVector3 GetPosition() const { return {}; }
    virtual ZQuaternion GetRotation() const { return {}; }
    virtual ZVector3 GetScale() const { return {1.0f, 1.0f, 1.0f}; }
    // The engine object (a spatial component) that lookups continue from.
    virtual ZRTTIBase* GetSpatial() = 0;
    // True for an owner that never moves (the room's scenery): the world files
    // its shapes in the broad phase's grid once. Such a shape that moves or
    // changes size anyway must say so with ZCollisionWorld::Refresh.
    virtual bool IsFixed() const { return false; }
    // A sweep found a new best contact for a shape of this owner; the owner may
    // replace the contact's direction (a walker keeps its floor flat).
    virtual void OnGroundProbe(CollisionResult& /*contact*/) {}
    // The slide responses offer their two blend factors; the owner may clear
    // the second.
    virtual void FilterSlideVelocity(float& /*first*/, float& /*second*/, bool /*flag*/) {}
};

// A collision shape. Every shape is in the collision world from the end of its
// constructor to the start of its destructor; sweeps meet only shapes that
// have an owner, are enabled and share a filter bit with the mover's mask.
class ZCollisionInterface : public ZRTTIBase {
    Z_RTTI(ZCollisionInterface, ZRTTIBase)

public:
    using TouchCallback = bool (*)(ZCollisionInterface* self, ZCollisionInterface* other, const CollisionResult& contact);
    using TestCallback = bool (*)(ZCollisionInterface* self, ZCollisionInterface* other);
    using AcceptCallback = bool (*)(ZCollisionInterface* self, ZCollisionInterface* other,
                                    const CollisionResult& contact);

    // Bounds at or beyond this reach everywhere: a shape that does not know
    // its extent reports it on every axis.
    static constexpr float kUnbounded = 10000.0f;

    // Response kinds: what the rest of a motion does after a contact.
    enum : uint32_t { kStop = 0, kSlide = 1, kSlideAlong = 2, kBounce = 3, kPushOut = 4 };

    ZCollisionInterface();
    ~ZCollisionInterface() override;
    ZCollisionInterface(const ZCollisionInterface&) = delete;
    ZCollisionInterface& operator=(const ZCollisionInterface&) = delete;

    // Appends this shape's features, grown by the mover's shape; true when it
    // added any. The base shape has none.
    virtual bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const;
    bool MatchesFilter(uint32_t mask) const { return (mask & filterMask) != 0 && enabled; }
    // Static overlap of the other shape standing at point with this shape at
    // its owner's position.
    virtual bool Overlaps(const ZCollisionInterface& other, const ZVector3& point) const;
    // Bounds relative to the owner's position: min x, y, z, max x, y, z. They
    // hold every feature the shape shows any mover (grown as the mover's
    // side of the query grows them) and keep to kUnbounded where it has none.
    virtual void GetBounds(float out[6]) const;
    // World bounds of the shape moved from one point to another: its bounds
    // at both ends and between, unbounded sides kept unbounded.
    virtual void GetSweptBounds(float out[6], const ZVector3& from, const ZVector3& to) const;

    bool IsOwnerless() const { return GetOwner() == nullptr; }
    bool Gate(ZCollisionInterface* other) { return gate != nullptr && gate(this, other); }
    bool IsBlocker(ZCollisionInterface* other) { return blocker != nullptr && blocker(this, other); }
    // Whether this shape takes the contact as solid: only blockers do, and the
    // accept callback may still refuse.
    bool Accept(ZCollisionInterface* other, const CollisionResult& contact) {
        if (!IsBlocker(other)) {
            return false;
        }
        return accept == nullptr || accept(this, other, contact);
    }

    // The shape's owner, or null for a shape that belongs to no entity.
    virtual ZCollisionOwner* GetOwner() const { return owner; }
    // Tells the world too, as a new owner may stand still where the old moved.
    void SetOwner(ZCollisionOwner* newOwner);
    // The owner's position (the origin for an ownerless shape).
    ZVector3 GetOwnerPosition() const;

    TouchCallback selfTouch = nullptr;  // runs on the moving shape
    TouchCallback touched = nullptr;    // runs on the shape that was touched
    TestCallback blocker = nullptr;
    AcceptCallback accept = nullptr;
    TestCallback gate = nullptr;
    ZCollisionOwner* owner = nullptr;
    uint32_t responseKind = kSlide;
    uint32_t filterMask = 1;
    bool enabled = true;
};
