#pragma once

#include "entity/ZSerialComponent.h"

// Marks an entity as a checkpoint: the game finds it by type when it decides
// where the player restarts, and the "checkpoint" command reports it.
class ZCheckpointComponent : public ZSerialComponent {
    Z_RTTI(ZCheckpointComponent, ZSerialComponent)

public:
    ZCheckpointComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Checkpoint");
        return kind;
    }
};
