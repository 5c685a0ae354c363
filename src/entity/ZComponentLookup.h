#pragma once

#include <type_traits>

#include "entity/ZCollisionInterface.h"
#include "entity/ZComponent.h"
#include "entity/ZRTTIBase.h"

class ZEntity;

// Finding the object of a wanted class T from any engine object, through the
// type records (no compiler type information).
//
// What the lookups need of the object world:
// - an entity keeps its components in a map from type record to component,
//   reached by GetComponentMap() (a ZMap<ZTypeRecord, Component*>&); it may
//   hold one component under several keys;
// - a component answers its owner entity (null when it has none) by GetOwner();
// - a collision shape answers its owner by GetOwner() (null when it has none),
//   and that owner answers the spatial component it belongs to by GetSpatial().

// The entity's component of class T (or of a class derived from T), or null.
// A key already present in the map decides alone; otherwise the map is walked
// in ascending key order and the first match wins, and is then stored under
// T's record so that the next lookup is one search. A miss stores nothing.
template <typename T, typename Entity>
T* GetComponent(Entity* entity) {
    if (entity == nullptr) {
        return nullptr;
    }
    const ZTypeRecord type = T::StaticType();
    auto& components = entity->GetComponentMap();
    if (const auto* node = components.Find(type)) {
        auto* const component = node->value;
        return component != nullptr && component->IsA(type) ? static_cast<T*>(component) : nullptr;
    }
    for (const auto& node : components) {
        auto* const component = node.value;
        if (component != nullptr && component->IsA(type)) {
            components.Insert(type, component);
            return static_cast<T*>(component);
        }
    }
    return nullptr;
}

// The entity's component of class T, made when it has none: the new one gets
// its owner, runs its attach hook and only then enters the entity's map under
// T's record. Its definition is read by the caller.
template <typename T, typename Entity>
T* AddComponent(Entity* entity) {
    if (T* found = GetComponent<T>(entity)) {
        return found;
    }
    T* const made = new T();
    made->SetOwner(entity);
    made->AttachHook();
    entity->GetComponentMap().Insert(T::StaticType(), made);
    return made;
}

// The T that belongs to the object: the object itself when it is a T; for a
// component class T, the T of the object's entity (from an entity, its own
// component; from a component, its owner's; from a collision shape, the one
// of the entity that owns the shape); for an entity class T, the owning
// entity when it is a T. Null when there is none.
template <typename T, typename Entity = ZEntity, typename Component = ZComponent,
          typename Shape = ZCollisionInterface>
T* ResolveComponent(ZRTTIBase* object) {
    if (object == nullptr) {
        return nullptr;
    }
    if (object->IsA(T::StaticType())) {
        return static_cast<T*>(object);
    }
    if (!T::StaticIsA(Entity::StaticType())) {
        if (!T::StaticIsA(Component::StaticType())) {
            return nullptr;
        }
        if (object->IsA(Entity::StaticType())) {
            if constexpr (std::is_base_of_v<Component, T>) {
                return GetComponent<T>(static_cast<Entity*>(object));
            } else {
                return nullptr;
            }
        }
    }
    if (object->IsA(Component::StaticType())) {
        return ResolveComponent<T, Entity, Component, Shape>(static_cast<Component*>(object)->GetOwner());
    }
    if (object->IsA(Shape::StaticType())) {
        // A shape without an owner belongs to no entity.
        auto* const owner = static_cast<Shape*>(object)->GetOwner();
        if (owner == nullptr) {
            return nullptr;
        }
        return ResolveComponent<T, Entity, Component, Shape>(owner->GetSpatial());
    }
    return nullptr;
}
