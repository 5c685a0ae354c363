#pragma once

#include "entity/ZRTTIBase.h"

// What owns a collision shape: the spatial component of an entity. Lookups go
// from a shape through its owner to that entity's components.
class ZCollisionOwner {
public:
    virtual ~ZCollisionOwner() = default;
    // The engine object (a spatial component) that lookups continue from.
    virtual ZRTTIBase* GetSpatial() = 0;
};

// The root of the collision shapes; the shapes themselves and the collision
// world come with the collision system.
class ZCollisionInterface : public ZRTTIBase {
    Z_RTTI(ZCollisionInterface, ZRTTIBase)

public:
    ZCollisionInterface() = default;

    // The shape's owner, or null for a shape that belongs to no entity.
    virtual ZCollisionOwner* GetOwner() const = 0;
};
