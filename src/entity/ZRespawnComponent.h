#pragma once

#include "entity/ZSerialComponent.h"

// Lets an entity be made again from the definition file it came from (the
// "respawn" verb).
class ZRespawnComponent : public ZSerialComponent {
    Z_RTTI(ZRespawnComponent, ZSerialComponent)

public:
    ZRespawnComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Respawn");
        return kind;
    }

    ZHashedString instanceFile;  // the definition file the entity was made from
};

// Makes the respawn component's entity again from its definition file: its
// drawables and collision shapes go, then every component (the respawn
// component too), and the game rebuilds the entity (RespawnGameEntity).
// Nothing happens without a component, an owner or a file name.
void RespawnEntity(ZRespawnComponent* respawn);
