#include "entity/ZBasingComponent.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"

void ZBasingComponent::AddChild(ZEntity* const rider) {
    if (rider != nullptr) {
        children.AddUnique(rider);
    }
}

void ZBasingComponent::RemoveChild(ZEntity* const rider) { children.Remove(rider); }

void ZBasingComponent::DetachChildren() {
    // A copy: each removal changes the children of this carrier.
    const ZArray<ZEntity*> riders(children);
    for (ZEntity* rider : riders) {
        ZBasingComponent* riderBasing = GetComponent<ZBasingComponent>(rider);
        if (riderBasing == nullptr || riderBasing->parent == nullptr) {
            continue;
        }
        if (ZBasingComponent* carrier = GetComponent<ZBasingComponent>(riderBasing->parent)) {
            carrier->RemoveChild(rider);
        }
        riderBasing->parent = nullptr;
        riderBasing->heldRigidly = false;
    }
}
