#pragma once

#include <cstdint>

#include "entity/ZComponent.h"
#include "entity/ZRTTIBase.h"
#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

// An object of the game world: a set of components, found by type through
// GetComponent<T> (entity/ZComponentLookup.h). The entity owns its components
// and deletes each once with itself.
class ZEntity : public ZRTTIBase {
    Z_RTTI(ZEntity, ZRTTIBase)

public:
    ZEntity() = default;
    ~ZEntity() override;
    ZEntity(const ZEntity&) = delete;
    ZEntity& operator=(const ZEntity&) = delete;

    // Takes a component made elsewhere: sets its owner, runs its attach hook
    // and enters it under its own type. Null is ignored. AddComponent<T>
    // (ZComponentLookup.h) is the get-or-create form.
    void AddComponent(ZComponent* component);
    // Components keyed by type record; lookups may add further keys for a
    // component already held, so one component may stand under several keys.
    ZMap<ZTypeRecord, ZComponent*>& GetComponentMap() { return m_componentMap; }
    const ZMap<ZTypeRecord, ZComponent*>& GetComponentMap() const { return m_componentMap; }
    // Deletes every component once and empties the map.
    void DeleteComponents();
    // Switches every component on or off.
    void SetAllComponentsEnabled(bool enabled);

    // For each top-level element of the definition, in order: the component of
    // the element's kind from the factory chain, which then reads the element.
    // Kinds no factory knows are skipped. Returns how many elements made one.
    uint32_t CreateComponentsFromNode(const ZDefNode& root);
    // The same for a definition file from the process-wide definition cache
    // (a missing file makes nothing).
    uint32_t CreateComponentsFromDefinition(ZHashedString fileName);

private:
    ZMap<ZTypeRecord, ZComponent*> m_componentMap;
    ZArray<ZComponent*> m_replaced;  // owned: components whose type key a later one took
};

// A bare entity with the components of a definition file, or null when the
// game says that entity is not to be made now. The caller owns it.
ZEntity* SpawnEntityFromDefinition(ZHashedString fileName);

#include "entity/ZComponentLookup.h"
