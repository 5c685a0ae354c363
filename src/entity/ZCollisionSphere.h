#pragma once

#include "entity/ZCollisionInstance.h"

// A sphere centred on its owner; its radius shrinks with the owner's smallest
// scale factor.
class ZCollisionSphere : public ZCollisionInstance {
    Z_RTTI(ZCollisionSphere, ZCollisionInstance)

public:
    ZCollisionSphere() = default;
    explicit ZCollisionSphere(const float r) : radius(r) {}

    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override;
    void GetBounds(float out[6]) const override;
    void GetSweptBounds(float out[6], const ZVector3& from, const ZVector3& to) const override;

    // The radius as the owner's scale makes it.
    float ScaledRadius() const;

    float radius = 0.0f;
};
