#include "game/world/CollisionLineDef.h"

#include <cmath>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZConditions.h"

namespace {

constexpr float kUnbounded = 10000.0f;

CollisionLineDef::PlayerQuery gIsPlayer = nullptr;
CollisionLineDef::PlayerQuery gIsDropping = nullptr;

bool NeverTouches(ZCollisionInterface*, ZCollisionInterface*, const CollisionResult&) { return false; }
bool AlwaysGate(ZCollisionInterface*, ZCollisionInterface*) { return true; }
// Sweeps ask one question: lines stop movers except where specials and the
// player's own walls let them pass; they are still touched.
bool MovementBlocker(ZCollisionInterface* self, ZCollisionInterface* other) {
    return static_cast<const CollisionLineDef*>(self)->BlocksPassingSpecial(other);
}

ZVector3 Direction(const ZVector3& from, const ZVector3& to) {
    const ZVector3 d = to - from;
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    const float inverse = 1.0f / length;
    if (!std::isfinite(inverse)) {
        return ZVector3(0.0f, 0.0f, 0.0f);
    }
    return d * inverse;
}

ZVector3 Times(const ZVector3& a, const ZVector3& b) { return ZVector3(a.x * b.x, a.y * b.y, a.z * b.z); }

}  // namespace

CollisionLineDef::CollisionLineDef() {
    touched = NeverTouches;
    gate = AlwaysGate;
    blocker = MovementBlocker;
    responseKind = kSlide;
}

void CollisionLineDef::SetPlayerQueries(const PlayerQuery isPlayer, const PlayerQuery isDropping) {
    gIsPlayer = isPlayer;
    gIsDropping = isDropping;
}

void CollisionLineDef::Inset() {
    const ZVector3 d = Direction(start, end);
    const ZVector3 n(d.y, -d.x, 0.0f);
    start = start - n * 2.0f + d * 2.0f;
    end = end - n * 2.0f - d * 2.0f;
}

bool CollisionLineDef::BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const {
    const ZVector3 d = Direction(start, end);
    const ZVector3 e(d.y, -d.x, 0.0f);
    const ZVector3 origin = GetOwnerPosition();
    ZCollisionFeature feature;
    feature.kind = ZCollisionFeature::kSegment;
    if (const auto* box = DynamicCast<ZCollisionBox>(&mover)) {
        const ZVector3& b = box->halfExtents;
        if (kind == 128) {
            feature.a = start - Times(b, e - d);
            feature.b = end - Times(b, e + d);
        } else {
            feature.a = start + Times(b, e - d);
            feature.b = end + Times(b, e + d);
        }
    } else if (DynamicCast<ZCollisionPoint>(&mover) != nullptr) {
        feature.a = start;
        feature.b = end;
    } else {
        return false;
    }
    feature.a = feature.a + origin;
    feature.b = feature.b + origin;
    list.PushBack(feature);
    return true;
}

void CollisionLineDef::GetBounds(float out[6]) const {
    for (int i = 0; i < 3; ++i) {
        out[i] = -kUnbounded;
        out[i + 3] = kUnbounded;
    }
}

void CollisionLineDef::GetSweptBounds(float out[6], const ZVector3& /*from*/, const ZVector3& /*to*/) const {
    GetBounds(out);
}

bool CollisionLineDef::IsSolidFor(const ZCollisionInterface* const other, const bool exemptPlayer,
                                  const bool passSpecial) const {
    switch (kind) {
        case 1:
        case 5:
        case 7:
        case 8:
            return true;
        case 4:
        case 6:
        case 128:
            return !passSpecial;
        case 3: {
            const ZEntity* const entity =
                other != nullptr ? ResolveEntity(const_cast<ZCollisionInterface*>(other)) : nullptr;
            if (entity == nullptr || gIsPlayer == nullptr || !gIsPlayer(entity)) {
                return true;
            }
            return gIsDropping == nullptr || !gIsDropping(entity);
        }
        case 2: {
            if (!exemptPlayer) {
                return true;
            }
            const ZEntity* const entity =
                other != nullptr ? ResolveEntity(const_cast<ZCollisionInterface*>(other)) : nullptr;
            if (entity == nullptr) {
                return false;
            }
            return gIsPlayer == nullptr || !gIsPlayer(entity);
        }
        default:
            return false;
    }
}
