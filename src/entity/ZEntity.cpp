#include "entity/ZEntity.h"

ZEntity::~ZEntity() {
    m_componentMap.Clear();
    for (ZComponent* component : m_components) {
        delete component;
    }
    m_components.Clear();
}

void ZEntity::AddComponent(ZComponent* const component) {
    if (component == nullptr) {
        return;
    }
    component->SetOwner(this);
    m_components.PushBack(component);
    m_componentMap.Insert(component->GetType(), component);
}

void ZEntity::SetAllComponentsEnabled(const bool enabled) {
    for (ZComponent* component : m_components) {
        component->SetEnabled(enabled);
    }
}

// The serial components that would be saved do not exist yet.
void SaveEntityState(ZEntity* /*entity*/) {}
