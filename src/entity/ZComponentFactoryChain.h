#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZHashedString.h"

class ZEntity;
class ZComponent;

// Entities are assembled from definitions: each child of a definition's root
// names a component kind ("Physics", "Facing", ...) and holds its settings.
// No single factory knows every kind (the engine registers its own, the game
// adds one after it), so a kind is offered to a chain of factories in the
// order they were registered, and the first one that knows it makes it.
template <typename Entity, typename Component>
class ZFactoryChain {
public:
    // The new component of that kind for the entity, or null for an unknown kind.
    using Factory = Component* (*)(Entity* entity, ZHashedString kind);

    // Appends a factory; a null one is kept and never asked.
    void Register(const Factory factory) { m_factories.PushBack(factory); }

    // The first component a factory makes, asking them in registration order;
    // null when none knows the kind.
    Component* Create(Entity* entity, const ZHashedString kind) const {
        for (const Factory factory : m_factories) {
            if (factory != nullptr) {
                if (Component* made = factory(entity, kind)) {
                    return made;
                }
            }
        }
        return nullptr;
    }

    // For each child of root, in order, a component of the child's kind; each
    // one made is handed to read (component, child) so it takes its settings.
    // Children of kinds no factory knows are skipped. Returns how many were made.
    template <typename Read>
    uint32_t CreateFromDefinition(Entity* entity, const ZDefNode& root, Read&& read) const {
        uint32_t made = 0;
        for (const ZDefNode& child : root.children) {
            if (Component* component = Create(entity, child.name)) {
                read(component, child);
                ++made;
            }
        }
        return made;
    }

    uint32_t Count() const { return m_factories.Count(); }

private:
    ZArray<Factory> m_factories;
};

using ZComponentFactoryChain = ZFactoryChain<ZEntity, ZComponent>;
using ZComponentFactory = ZComponentFactoryChain::Factory;

// The process-wide chain, filled once at start-up and never shrunk.
ZComponentFactoryChain& GetComponentFactoryChain();
void RegisterComponentFactory(ZComponentFactory factory);
ZComponent* CreateComponentFromFactories(ZEntity* entity, ZHashedString kind);

// The walk of ZEntity::CreateComponentsFromDefinition: the definition's tree
// from the process-wide definition cache (loaded on first use; a missing file
// is an empty tree and makes nothing), then CreateFromDefinition on the
// process-wide chain. Read is the entity's hand-over to the component's
// definition reader.
template <typename Read>
uint32_t CreateComponentsFromDefinition(ZEntity* entity, const ZHashedString fileName, Read&& read) {
    return GetComponentFactoryChain().CreateFromDefinition(entity, GetDefinitionFile(fileName), read);
}
