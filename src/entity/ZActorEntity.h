#pragma once

#include "entity/ZEntity.h"
#include "foundation/ZUpdatable.h"
#include "renderer/ZParameterSource.h"

// The entity that takes part in the frame: in the update registry's fixed-step
// and per-frame lists (mask 6) for its whole life, and a parameter source for
// what it draws. Concrete actors give the two update passes.
class ZActorEntity : public ZEntity, public ZUpdatable, public ZParameterSource {
    Z_RTTI(ZActorEntity, ZEntity)

public:
    static constexpr uint8_t kUpdateMask = 6;

    ZActorEntity() : ZUpdatable(kUpdateMask) {}
};
