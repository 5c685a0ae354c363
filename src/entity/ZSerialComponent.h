#pragma once

#include "entity/ZDefinedComponent.h"

// The base of every concrete component: the kind name under which definition
// files name it, and the saving of its state back into a definition tree.
class ZSerialComponent : public ZDefinedComponent {
    Z_RTTI(ZSerialComponent, ZDefinedComponent)

public:
    ZSerialComponent() = default;

    // The kind name as definition files write it ("Data", "Timer", ...).
    virtual ZHashedString GetSerialName() const = 0;
    // Writes the component's state as attributes and children of the element.
    // Components whose state all comes from their definition write nothing.
    virtual void Save(ZDefNode& /*element*/) const {}

    // Saves the component as a child of parent named by its kind; an element
    // that stays empty is not added.
    void SaveInto(ZDefNode& parent) const;
};
