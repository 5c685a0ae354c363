#include "entity/ZDeleteComponent.h"

#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/ZRenderable.h"
#include "foundation/ZHandleRegistry.h"

namespace {

ZEntity* EntityOf(const uint32_t handle) {
    ZRTTIBase* object = FindObjectByHandle(handle);
    return object != nullptr && object->IsA(ZEntity::StaticType()) ? static_cast<ZEntity*>(object) : nullptr;
}

}  // namespace

void ZDeleteComponent::Watch(ZDeleteComponent* const watched, ZEntity* const watcher) {
    ZDeleteComponent* const own = GetComponent<ZDeleteComponent>(watcher);
    if (watched == nullptr || watched->GetOwner() == nullptr || own == nullptr || own->deletedCallback == nullptr) {
        return;
    }
    watched->watchers.PushBack(watcher->GetHandle());
    own->watching.PushBack(watched->GetOwner()->GetHandle());
}

void ZDeleteComponent::NotifyDeleted() {
    ZEntity* const self = GetOwner();
    if (self == nullptr) {
        return;
    }
    const ZArray<uint32_t> toldList = watchers;  // a callback may change the lists
    for (const uint32_t handle : toldList) {
        ZEntity* const watcher = EntityOf(handle);
        ZDeleteComponent* const own = GetComponent<ZDeleteComponent>(watcher);
        if (own != nullptr && own->deletedCallback != nullptr) {
            own->deletedCallback(watcher, self);
        }
    }
    for (const uint32_t handle : watching) {
        if (ZDeleteComponent* other = GetComponent<ZDeleteComponent>(EntityOf(handle))) {
            other->watchers.Remove(self->GetHandle());
        }
    }
    watching.Clear();
}

void ZDeleteComponent::Save(ZDefNode& element) const {
    static const ZHashedString kDead("Dead");
    static const ZHashedString kHalfDead("HalfDead");
    static const ZHashedString kSessionGUID("SessionGUID");
    // A "delete ... perm" is remembered as dead and a "delete ... semiperm"
    // as half dead for its session, so that the entity stays gone when its
    // room is entered again; a plain delete is not remembered.
    if (state == 3 || deleteMode == 3) {
        element.SetAttribute(kDead, ZString("true"));
    } else if (deleteMode == 2) {
        element.SetAttribute(kHalfDead, ZString("true"));
        if (deleteRecord.HasAttribute(kSessionGUID)) {
            element.SetAttribute(kSessionGUID, deleteRecord.GetAttribute(kSessionGUID));
        }
    } else if (state == 2) {
        element.SetAttribute(kHalfDead, ZString("true"));
        if (!halfDeadNode.IsEmpty()) {
            element.AddChild(halfDeadNode);
        }
    }
}

void ZDeleteComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kDead("Dead");
    ZSerialComponent::ReadDefinition(element);
    if (!element.GetAttribute(kDead).EqualsNoCase("true") || !mayBeDeleted) {
        return;
    }
    state = 3;
    if (ZRenderableComponent* drawables = GetComponent<ZRenderableComponent>(GetOwner())) {
        for (auto& node : drawables->renderables) {
            if (node.value != nullptr) {
                node.value->visible = false;
            }
        }
    }
}
