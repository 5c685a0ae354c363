#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMatrix4.h"
#include "renderer/ZParameterSource.h"

// A blob shadow under its entity. It can be locked in place (a resting
// entity's shadow stays where it was while the entity is carried off).
class ZCollisionPoint;

class ZShadowComponent : public ZSerialComponent, public ZParameterSource {
    Z_RTTI(ZShadowComponent, ZSerialComponent)

public:
    ZShadowComponent();
    ~ZShadowComponent() override;
    ZShadowComponent(const ZShadowComponent&) = delete;
    ZShadowComponent& operator=(const ZShadowComponent&) = delete;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Shadow");
        return kind;
    }

    // Locking takes the current shadow matrix; locking again keeps the first.
    void SetLocked(bool on);
    // Scale, then the ground's rotation, then the place under the entity; the
    // identity for an entity without a place. The ground is what the probe
    // meets first on its way 100 units down from the drawn (interpolated)
    // place; the shadow lies in that surface. Over nothing it lies flat where
    // the entity is drawn.
    ZMatrix4 ComputeShadowMatrix() const;
    // Answers "wvpMat" (the shadow's matrix, then the camera's
    // view-projection when the entity has one); others go to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The matrix the shadow is drawn with.
    ZMatrix4 GetMatrix() const { return locked != 0 ? lockedMatrix : ComputeShadowMatrix(); }

    float scale = 1.0f;
    uint8_t locked = 0;
    ZMatrix4 lockedMatrix = ZMatrix4::Identity();
    ZCollisionPoint* probe = nullptr;  // owned; belongs to no entity, so nothing meets it
};
