#pragma once

#include <cstdint>

#include "entity/ZActorEntity.h"
#include "foundation/ZHashedString.h"

// The game's data-defined entity: room instances, spawned entities, bullets,
// splashes and bubbles. Its components come from its definition; what the
// class adds is the per-step driving of its physics (or plain motion), the
// blend of its drawn position each frame, and the teardown of its drawables
// and collision shapes.
class KorvEntity : public ZActorEntity {
    Z_RTTI(KorvEntity, ZActorEntity)

public:
    KorvEntity() = default;
    // Its drawables leave the render groups and are deleted, its shapes leave
    // the collision world, then the components go.
    ~KorvEntity() override;

    // Fixed step (bit 2): on the first step the physics start ratio is set
    // from where the entity stands; every step the shapes' response follows
    // the ground and the jump update runs with no button held.
    void Update(float timeStep, uint8_t mask) override;
    // Fixed step (bit 2): the physics motion (or the spatial motion alone);
    // frame tick (bit 4): the drawn state blends toward the current one.
    void PostUpdate(float timeStep, uint8_t mask) override;
};

// The entity of an instance or definition file, or null when its saved state
// says it stays away (ShouldSpawnEntity) or one of its own scripts deleted it
// while it was being built. The saved state is read back with the context
// (the owner's handle, 0 for none). The caller owns the entity.
KorvEntity* CreateKorvEntity(ZHashedString instanceFile, uint32_t context);
