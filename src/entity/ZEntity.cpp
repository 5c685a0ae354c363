#include "entity/ZEntity.h"

#include "entity/ZCollisionComponent.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZDefinedComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "foundation/ZHandleRegistry.h"

ZEntity::~ZEntity() { DeleteComponents(); }

void ZEntity::AddComponent(ZComponent* const component) {
    if (component == nullptr) {
        return;
    }
    component->SetOwner(this);
    component->AttachHook();
    // A second component of one type takes the type's key; the first stays
    // owned (and is deleted with the entity) rather than leaking.
    if (const auto* held = m_componentMap.Find(component->GetType());
        held != nullptr && held->value != nullptr && held->value != component) {
        m_replaced.AddUnique(held->value);
    }
    m_componentMap.Insert(component->GetType(), component);
}

void ZEntity::DeleteComponents() {
    // Shapes leave the world first, while the spatial component they stand on
    // still exists.
    if (ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(this)) {
        collision->ClearPrimitives();
    }
    for (ZComponent* replaced : m_replaced) {
        for (auto& node : m_componentMap) {
            if (node.value == replaced) {
                node.value = nullptr;
            }
        }
        delete replaced;
    }
    m_replaced.Clear();
    for (auto& node : m_componentMap) {
        ZComponent* const component = node.value;
        if (component == nullptr) {
            continue;
        }
        // One component may be cached under several keys: forget it under all
        // of them first, so it is deleted once.
        for (auto& other : m_componentMap) {
            if (other.value == component) {
                other.value = nullptr;
            }
        }
        delete component;
    }
    m_componentMap.Clear();
}

void ZEntity::SetAllComponentsEnabled(const bool enabled) {
    for (auto& node : m_componentMap) {
        if (node.value != nullptr) {
            node.value->SetEnabled(enabled);
        }
    }
}

uint32_t ZEntity::CreateComponentsFromNode(const ZDefNode& root) {
    // A component's reader may run commands ("OnLoad" scripts) that delete
    // this entity; then the walk stops.
    const uint32_t self = GetHandle();
    uint32_t made = 0;
    for (const ZDefNode& element : root.children) {
        ZComponent* const component = CreateComponentFromFactories(this, element.name);
        if (component == nullptr) {
            continue;
        }
        ++made;
        if (auto* defined = DynamicCast<ZDefinedComponent>(component)) {
            defined->ReadDefinition(element);
            if (FindObjectByHandle(self) != this) {
                break;
            }
        }
    }
    return made;
}

uint32_t ZEntity::CreateComponentsFromDefinition(const ZHashedString fileName) {
    return CreateComponentsFromNode(GetDefinitionFile(fileName));
}

ZEntity* SpawnEntityFromDefinition(const ZHashedString fileName) {
    if (!ShouldCreateEntity(fileName)) {
        return nullptr;
    }
    auto* entity = new ZEntity();
    entity->CreateComponentsFromDefinition(fileName);
    return entity;
}
