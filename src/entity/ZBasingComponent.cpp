#include "entity/ZBasingComponent.h"

#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "foundation/ZHandleRegistry.h"
#include "renderer/ZCamera.h"

ZBasingComponent::~ZBasingComponent() {
    ZEntity* const self = GetOwner();
    for (ZEntity* child : children) {
        ZBasingComponent* const rider = GetComponent<ZBasingComponent>(child);
        if (rider != nullptr && rider->parent == self) {
            rider->parent = nullptr;
            rider->heldRigidly = false;
        }
    }
    if (ZBasingComponent* carrier = GetComponent<ZBasingComponent>(parent)) {
        carrier->children.Remove(self);
    }
}

void ZBasingComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kRole("Role");
    static const ZHashedString kImpart("Impart");
    if (element.HasAttribute(kRole)) {
        const ZString& role = element.GetAttribute(kRole);
        if (role.EqualsNoCase("parent")) {
            parentRole = true;
        } else if (role.EqualsNoCase("child")) {
            childRole = true;
        }
    }
    if (element.HasAttribute(kImpart)) {
        impart = element.GetAttribute(kImpart).ToFloat();
    }
}

void ZBasingComponent::AttachTo(const uint32_t otherHandle) {
    ZBasingComponent* const carrier = ResolveComponent<ZBasingComponent>(FindObjectByHandle(otherHandle));
    if (carrier == nullptr || carrier == this || carrier->GetOwner() == nullptr) {
        return;
    }
    if (const ZDeleteComponent* deletion = GetComponent<ZDeleteComponent>(carrier->GetOwner())) {
        if (deletion->deleteMode != 0) {
            return;
        }
    }
    ZEntity* const carrierEntity = carrier->GetOwner();
    if (parent != nullptr && parent != carrierEntity) {
        Detach();
    }
    parent = carrierEntity;
    carrier->AddChild(GetOwner());
}

void ZBasingComponent::AddChild(ZEntity* const rider) {
    if (rider == nullptr || children.Contains(rider)) {
        return;
    }
    children.PushBack(rider);
    static const ZHashedString kOnBased("OnBased");
    FireEvent(this, kOnBased, GetHandle(), ZRTTIBase::GetHandle(rider));
}

void ZBasingComponent::RemoveChild(ZEntity* const rider) {
    if (!children.Remove(rider)) {
        return;
    }
    static const ZHashedString kOnUnbased("OnUnbased");
    FireEvent(this, kOnUnbased, GetHandle(), ZRTTIBase::GetHandle(rider));
}

void ZBasingComponent::Detach() {
    ZEntity* const carrier = parent;
    parent = nullptr;
    heldRigidly = false;
    if (ZBasingComponent* carrierBasing = GetComponent<ZBasingComponent>(carrier)) {
        carrierBasing->RemoveChild(GetOwner());
    }
}

void ZBasingComponent::DetachChildren() {
    // A copy: each removal changes the children of this carrier.
    const ZArray<ZEntity*> riders(children);
    for (ZEntity* rider : riders) {
        ZBasingComponent* riderBasing = GetComponent<ZBasingComponent>(rider);
        if (riderBasing == nullptr || riderBasing->parent == nullptr) {
            continue;
        }
        ZEntity* const carrier = riderBasing->parent;
        riderBasing->parent = nullptr;
        riderBasing->heldRigidly = false;
        if (ZBasingComponent* carrierBasing = GetComponent<ZBasingComponent>(carrier)) {
            carrierBasing->RemoveChild(rider);
        }
    }
}

bool ZBasingComponent::TryBaseOn(ZBasingComponent* const carrier, const ZVector3& direction) {
    if (carrier == nullptr || !childRole || !carrier->parentRole || !(direction.Dot(gWorldUp) > 0.8f)) {
        return false;
    }
    AttachTo(carrier->GetHandle());
    return true;
}

bool ZBasingComponent::TryBasePair(ZBasingComponent* const a, ZBasingComponent* const b,
                                   const CollisionResult& contact) {
    if (a == nullptr || b == nullptr) {
        return false;
    }
    const uint32_t bHandle = b->GetHandle();
    if (a->TryBaseOn(b, contact.direction)) {
        return true;
    }
    // The first attempt fires no events when it fails, so b is still here.
    return FindObjectByHandle(bHandle) == b && b->TryBaseOn(a, -contact.direction);
}
