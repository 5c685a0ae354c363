#pragma once

#include "entity/ZActorEntity.h"

// An actor made wholly from its definition's components. It has no movement or
// drawing of its own yet: those come with the spatial and renderable
// components' integration, so both update passes leave it as it is.
class ZPlainEntity : public ZActorEntity {
    Z_RTTI(ZPlainEntity, ZActorEntity)

public:
    ZPlainEntity() = default;

    void Update(float timeStep, uint8_t mask) override;
    void PostUpdate(float timeStep, uint8_t mask) override;
};
