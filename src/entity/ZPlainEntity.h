#pragma once

#include <cstdint>

#include "entity/ZActorEntity.h"
#include "foundation/ZHashedString.h"

class ZRenderable;
class ZShader;

// The engine's ready-made drawn entity: a renderable, a camera and a spatial
// component. Its drawables join a render group and take their transform
// parameters from its position and the game's camera. It moves on the fixed
// step and blends its state for drawing each frame. Its drawables belong to
// whoever added them: the entity only takes them out of the render groups.
class ZPlainEntity : public ZActorEntity {
    Z_RTTI(ZPlainEntity, ZActorEntity)

public:
    ZPlainEntity();
    ~ZPlainEntity() override;

    // Links the drawable to this entity for its parameters, gives it the
    // shader (when one is given) and puts it in the named render group when
    // that group exists. It is kept under a name of the form "__PLAIN_<n>".
    void AddRenderable(ZRenderable* renderable, ZHashedString groupName, ZShader* shader);

    void Update(float /*timeStep*/, uint8_t /*mask*/) override {}
    // Fixed step (bit 2): integrates; per frame (bit 4): blends for drawing.
    void PostUpdate(float timeStep, uint8_t mask) override;

    // "wvpMat" and "worldMat" from the entity's world matrix; anything else
    // goes down the attached chain.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZHashedString renderGroup;
};
