#pragma once

#include "entity/ZComponent.h"

// Governs an entity's deletion: an entity whose component may be deleted is
// marked pending by a flush, and the base game deletes pending entities at its
// next fixed step, after running OnDelete.
class ZDeleteComponent : public ZComponent {
    Z_RTTI(ZDeleteComponent, ZComponent)

public:
    ZDeleteComponent() = default;

    // Runs just before the entity is deleted.
    virtual void OnDelete() {}

    bool mayBeDeleted = false;
    bool deletePending = false;
};
