#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZQuaternion.h"
#include "foundation/ZVector3.h"
#include "renderer/ZParameterSource.h"

// A melee swing: game code runs the swing (its state and times); the engine
// turns it into the blade's matrix, a quad stretched to 2 x 0.8 that sweeps
// from -54 to +54 degrees in front of the entity, largest mid-swing, and
// seen only while the swing state is 2.
class ZCollisionSphere;

class ZMeleeComponent : public ZSerialComponent, public ZParameterSource {
    Z_RTTI(ZMeleeComponent, ZSerialComponent)

public:
    static constexpr int32_t kSwinging = 2;

    ZMeleeComponent();
    ~ZMeleeComponent() override;
    ZMeleeComponent(const ZMeleeComponent&) = delete;
    ZMeleeComponent& operator=(const ZMeleeComponent&) = delete;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Melee");
        return kind;
    }

    // Answers "wvpMat": the blade's matrix for the entity's drawn
    // (interpolated) scale, rotation and place, then the camera's
    // view-projection (the entity draws its swing only with a camera); others
    // go to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The blade's matrix (row vectors) for the entity's drawn transform.
    static ZMatrix4 SwingMatrix(float swingTime, float swingDuration, int32_t swingState, const ZVector3& scale,
                                const ZQuaternion& rotation, const ZVector3& position);

    int32_t swingState = 0;
    float swingDuration = 0.0f;
    float swingTime = 0.0f;
    uint32_t words[6] = {};  // game state
    uint32_t word = 0;
    // The blade's shape for game code's hit tests: a sphere of radius 0.8
    // that pushes out what it meets (owned).
    ZCollisionSphere* hitShape = nullptr;
};
