#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// Governs an entity's deletion: an entity whose component may be deleted is
// marked pending by a flush, and the base game deletes pending entities at its
// next fixed step, after running OnDelete.
class ZDeleteComponent : public ZSerialComponent {
    Z_RTTI(ZDeleteComponent, ZSerialComponent)

public:
    ZDeleteComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Delete");
        return kind;
    }
    // Its saved state comes with the rest of its system; nothing yet.
    void Save(ZDefNode& /*element*/) const override {}

    // Runs just before the entity is deleted.
    virtual void OnDelete() {}

    bool mayBeDeleted = false;
    bool deletePending = false;
    // 0 none, 1 delete, 2 semi-permanent (with its record), 3 permanent.
    int32_t deleteMode = 0;
    ZDefNode deleteRecord;
};
