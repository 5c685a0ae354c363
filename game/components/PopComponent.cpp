#include "game/components/PopComponent.h"

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/ZCamera.h"

namespace {

const ZHashedString& VisibleKey() {
    static const ZHashedString key("POPCOMPVIS");
    return key;
}

}  // namespace

bool PopComponent::IsPopped(PopComponent* const pop) {
    ZDataComponent* const data = ResolveComponent<ZDataComponent>(pop);
    if (data == nullptr) {
        return false;
    }
    ZDatumEntry entry;
    if (!data->GetDatum(VisibleKey(), entry)) {
        data->SetDatum(VisibleKey(), ZDatumEntry::Bool(false));
        return false;
    }
    return entry.value.boolValue;
}

void PopComponent::Pop(PopComponent* const pop) {
    if (pop == nullptr) {
        return;
    }
    if (ZDataComponent* const data = ResolveComponent<ZDataComponent>(pop)) {
        data->SetDatum(VisibleKey(), ZDatumEntry::Bool(true));
    }
    if (ZRenderableComponent* const renderables = ResolveComponent<ZRenderableComponent>(pop)) {
        renderables->SetRenderablesVisible(true);
    }
    static const ZHashedString kOnPop("OnPop");
    FireEvent(pop, kOnPop, pop->GetHandle(), 0);
}

void PopComponent::PostLoadHook() {
    if (ZRenderableComponent* const renderables = ResolveComponent<ZRenderableComponent>(this)) {
        renderables->SetRenderablesVisible(IsPopped(this));
    }
    ZCollisionComponent* const collision = ResolveComponent<ZCollisionComponent>(this);
    if (collision == nullptr) {
        return;
    }
    if (ZCollisionInterface* const shape = collision->GetPrimary()) {
        shape->accept = ContactQuery;
    }
}

bool PopComponent::ContactQuery(ZCollisionInterface* const primitive, ZCollisionInterface* /*other*/,
                                const CollisionResult& contact) {
    PopComponent* const pop = ResolveComponent<PopComponent>(primitive);
    if (pop != nullptr && IsPopped(pop)) {
        return true;
    }
    // Gravity pulls against the world's up axis. The contact's normal points
    // from the block towards the mover: a normal within 45 degrees of "up"
    // is something landing on the block from above.
    const ZVector3 gravity = gWorldUp * -1.0f;
    if (contact.normal.Dot(gravity) < -0.707107f) {
        if (pop != nullptr) {
            Pop(pop);
        }
        return true;
    }
    return false;
}
