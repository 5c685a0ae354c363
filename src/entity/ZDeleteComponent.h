#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"

class ZEntity;

// Governs an entity's deletion: an entity whose component may be deleted is
// marked pending by a flush, and the base game deletes pending entities at its
// next fixed step, after running OnDelete.
class ZDeleteComponent : public ZSerialComponent {
    Z_RTTI(ZDeleteComponent, ZSerialComponent)

public:
    // (watcher entity, deleted entity)
    using DeletedCallback = void (*)(ZEntity* watcher, ZEntity* deleted);

    ZDeleteComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Delete");
        return kind;
    }
    // The saved state: "Dead" = "true" for a dead entity; "HalfDead" =
    // "true" with a copy of the half-dead record for a half-dead one.
    void Save(ZDefNode& element) const override;
    // Events; then a saved "Dead" (any letter case) makes a deletable
    // entity dead again and hides its drawables. "HalfDead" is recognised
    // and restores nothing.
    void ReadDefinition(const ZDefNode& element) override;

    // Runs just before the entity is deleted: the deletion notices.
    virtual void OnDelete() { NotifyDeleted(); }
    virtual void SetDeletedCallback(DeletedCallback callback) { deletedCallback = callback; }
    virtual DeletedCallback GetDeletedCallback() const { return deletedCallback; }

    // The watcher is told (its deleted callback) when watched's entity goes;
    // only a watcher whose delete component has a callback is registered.
    static void Watch(ZDeleteComponent* watched, ZEntity* watcher);
    // Tells every watcher still there, then leaves the lists of the entities
    // this one watches.
    void NotifyDeleted();

    bool mayBeDeleted = false;
    bool deletePending = false;
    // 0 none, 1 delete, 2 semi-permanent (with its record), 3 permanent.
    int32_t deleteMode = 0;
    // 0 normal, 2 half dead, 3 dead (what the saved state keeps).
    int32_t state = 0;
    ZDefNode halfDeadNode;
    ZDefNode deleteRecord;
    // Entity handles, so an entity that went some other way is simply skipped.
    ZArray<uint32_t> watchers;
    ZArray<uint32_t> watching;
    DeletedCallback deletedCallback = nullptr;
};
