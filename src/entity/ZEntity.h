#pragma once

#include "entity/ZComponent.h"
#include "entity/ZRTTIBase.h"
#include "foundation/ZArray.h"
#include "foundation/ZMap.h"

// An object of the game world: a set of components, found by type through
// GetComponent<T> (entity/ZComponentLookup.h). The entity owns its components
// and deletes them with itself.
class ZEntity : public ZRTTIBase {
    Z_RTTI(ZEntity, ZRTTIBase)

public:
    ZEntity() = default;
    ~ZEntity() override;
    ZEntity(const ZEntity&) = delete;
    ZEntity& operator=(const ZEntity&) = delete;

    // Takes the component, sets its owner and enters it under its type.
    // A null component is ignored.
    void AddComponent(ZComponent* component);
    // Components keyed by type record; lookups may add further keys for a
    // component already held.
    ZMap<ZTypeRecord, ZComponent*>& GetComponentMap() { return m_componentMap; }
    // Switches every component on or off.
    void SetAllComponentsEnabled(bool enabled);

private:
    ZArray<ZComponent*> m_components;  // owned, each once
    ZMap<ZTypeRecord, ZComponent*> m_componentMap;
};

// Records the entity's state in the saved-state store before it is deleted.
void SaveEntityState(ZEntity* entity);
