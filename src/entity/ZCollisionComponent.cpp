#include "entity/ZCollisionComponent.h"

#include <cmath>
#include <vector>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZComponentReaders.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"

namespace {

const uint32_t kPrimaryKey = ZHashedString().GetId();

bool AlwaysGate(ZCollisionInterface* /*self*/, ZCollisionInterface* /*other*/) { return true; }

}  // namespace

ZCollisionComponent::~ZCollisionComponent() { ClearPrimitives(); }

void ZCollisionComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kSweep("Sweep");
    static const ZHashedString kBlocker("Blocker");
    static const ZHashedString kPrimitive("Primitive");
    static const ZHashedString kType("Type");
    static const ZHashedString kExtents("Extents");
    static const ZHashedString kVector("Vector");
    static const ZHashedString kFilter("Filter");
    static const ZHashedString kResponse("Response");
    if (element.HasAttribute(kSweep)) {
        sweepMask = HexToInt(element.GetAttribute(kSweep).GetText());
    }
    if (element.HasAttribute(kBlocker)) {
        blocker = element.GetAttribute(kBlocker).EqualsNoCase("True");
    }
    if (element.FindChildIndex(0, kPrimitive) >= element.children.Count()) {
        return;
    }
    const ZDefNode& definition = element.FindChild(kPrimitive);
    ZCollisionInterface* primitive = GetPrimary();
    if (definition.GetAttribute(kType).EqualsNoCase("Box")) {
        ZVector3 extents = ReadVector3(definition.FindChild(kExtents).FindChild(kVector));
        // A box turned inside out (or of no finite size) would trap or pass
        // everything: such sizes are made usable and reported.
        for (float* half : {&extents.x, &extents.y}) {
            if (!std::isfinite(*half) || *half < 0.0f) {
                ZLog::Printf("Collision: box half-extent %g is not a size; using %g", double(*half),
                             std::isfinite(*half) ? double(-*half) : 0.0);
                *half = std::isfinite(*half) ? -*half : 0.0f;
            }
        }
        if (!(extents.z > 0.0f) || !std::isfinite(extents.z)) {
            extents.z = 1.0f;
        }
        auto* const box = new ZCollisionBox(extents);
        ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
        box->SetOwner(spatial != nullptr ? static_cast<ZCollisionOwner*>(spatial) : nullptr);
        box->selfTouch = &ZCollisionComponent::OnTouch;
        box->touched = &ZCollisionComponent::OnTouch;
        box->blocker = &ZCollisionComponent::IsBlockerCallback;
        box->gate = &AlwaysGate;
        // A second definition replaces the first box; the old one leaves the world.
        SetPrimitive(kPrimaryKey, box);
        primitive = box;
    }
    if (primitive == nullptr) {
        return;
    }
    if (definition.HasAttribute(kFilter)) {
        primitive->filterMask = HexToInt(definition.GetAttribute(kFilter).GetText());
    }
    if (definition.HasAttribute(kResponse)) {
        primitive->responseKind = definition.GetAttribute(kResponse).EqualsNoCase("bounce")
                                      ? ZCollisionInterface::kBounce
                                      : ZCollisionInterface::kSlide;
    }
}

void ZCollisionComponent::SetEnabled(const bool enabled) {
    // Keys first: touch events may change the map.
    std::vector<uint32_t> keys;
    for (const auto& node : primitives) {
        keys.push_back(node.key);
    }
    const uint32_t self = GetHandle();
    for (const uint32_t key : keys) {
        if (FindObjectByHandle(self) != this) {
            return;
        }
        ZCollisionInterface* const primitive = FindPrimitive(key);
        if (primitive == nullptr) {
            continue;
        }
        primitive->enabled = enabled;
        if (!enabled || primitive->IsOwnerless()) {
            continue;
        }
        CollisionResultArray found;
        OverlapQuery(ZCollisionWorld::GetInstance(), found, primitive, primitive->GetOwnerPosition(), sweepMask);
        const uint32_t primitiveHandle = primitive->GetHandle();
        std::vector<uint32_t> handles;
        for (const CollisionResult& result : found) {
            handles.push_back(ZRTTIBase::GetHandle(result.other));
        }
        for (uint32_t i = 0; i < found.Count(); ++i) {
            if (FindObjectByHandle(primitiveHandle) != primitive) {
                break;
            }
            ZCollisionInterface* const other = found[i].other;
            if (FindObjectByHandle(handles[i]) != other) {
                continue;
            }
            if (primitive->selfTouch != nullptr) {
                primitive->selfTouch(primitive, other, found[i]);
            }
            if (FindObjectByHandle(handles[i]) == other && FindObjectByHandle(primitiveHandle) == primitive &&
                other->touched != nullptr) {
                other->touched(other, primitive, found[i]);
            }
        }
    }
}

void ZCollisionComponent::TouchMoversWithin() {
    ZCollisionInterface* const shape = GetPrimary();
    if (shape == nullptr || !shape->enabled || shape->IsOwnerless()) {
        return;
    }
    CollisionResultArray found;
    OverlapQuery(ZCollisionWorld::GetInstance(), found, shape, shape->GetOwnerPosition(), 0xFFFFFFFFu);
    const uint32_t shapeHandle = shape->GetHandle();
    std::vector<uint32_t> handles;
    for (const CollisionResult& result : found) {
        handles.push_back(ZRTTIBase::GetHandle(result.other));
    }
    for (uint32_t i = 0; i < found.Count(); ++i) {
        if (FindObjectByHandle(shapeHandle) != shape || !shape->enabled) {
            return;
        }
        ZCollisionInterface* const mover = found[i].other;
        if (FindObjectByHandle(handles[i]) != mover) {
            continue;
        }
        // The order of a sweep's contact: the mover's own callback, then the
        // touched shape's.
        const ZCollisionComponent* const moving = ResolveComponent<ZCollisionComponent>(mover);
        if (moving == nullptr || moving->GetPrimary() != mover || (moving->sweepMask & shape->filterMask) == 0 ||
            GetComponent<ZPhysicsComponent>(moving->GetOwner()) == nullptr) {
            continue;
        }
        if (mover->selfTouch != nullptr) {
            mover->selfTouch(mover, shape, found[i]);
        }
        if (FindObjectByHandle(shapeHandle) == shape && FindObjectByHandle(handles[i]) == mover &&
            shape->touched != nullptr) {
            shape->touched(shape, mover, found[i]);
        }
    }
}

void ZCollisionComponent::SetResponse(const uint32_t kind) {
    for (auto& node : primitives) {
        if (node.value != nullptr) {
            node.value->responseKind = kind;
        }
    }
}

ZCollisionInterface* ZCollisionComponent::FindPrimitive(const uint32_t key) const { return primitives.Get(key); }

ZCollisionInterface* ZCollisionComponent::GetPrimary() const { return FindPrimitive(kPrimaryKey); }

void ZCollisionComponent::SetPrimitive(const uint32_t key, ZCollisionInterface* const shape) {
    ZCollisionInterface* const old = FindPrimitive(key);
    if (old == shape) {
        return;
    }
    primitives.Insert(key, shape);
    delete old;
}

void ZCollisionComponent::ClearPrimitives() {
    ZMap<uint32_t, ZCollisionInterface*> doomed(static_cast<ZMap<uint32_t, ZCollisionInterface*>&&>(primitives));
    for (auto& node : doomed) {
        delete node.value;
    }
}

bool ZCollisionComponent::OnTouch(ZCollisionInterface* const primitive, ZCollisionInterface* const other,
                                  const CollisionResult& /*contact*/) {
    static const ZHashedString kOnTouch("OnTouch");
    if (ZCollisionComponent* collision = ResolveComponent<ZCollisionComponent>(primitive)) {
        FireEvent(collision, kOnTouch, collision->GetHandle(), ZRTTIBase::GetHandle(other));
    }
    return true;
}

bool ZCollisionComponent::IsBlockerCallback(ZCollisionInterface* const primitive, ZCollisionInterface* /*other*/) {
    const ZCollisionComponent* const collision = ResolveComponent<ZCollisionComponent>(primitive);
    return collision != nullptr && collision->blocker;
}
