#include "entity/ZCollisionWorld.h"

#include <cmath>
#include <vector>

#include "entity/ZBasingComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"

ZCollisionWorld* ZCollisionWorld::GetInstance() {
    // Never destroyed: shapes in static storage may leave it during exit.
    static ZCollisionWorld* const world = new ZCollisionWorld();
    return world;
}

void ZCollisionWorld::Add(ZCollisionInterface* const shape) {
    shapes.AddUnique(shape);
    m_stale = true;
}

void ZCollisionWorld::Remove(ZCollisionInterface* const shape) {
    if (shapes.Remove(shape)) {
        ++m_removals;
        m_stale = true;
    }
}

void ZCollisionWorld::GatherCandidates(const float bounds[6], const uint32_t mask, std::vector<ZCollisionInterface*>& out) {
    if (!useBroadPhase) {
        for (uint32_t i = 0; i < shapes.Count(); ++i) {
            out.push_back(shapes[i]);
        }
        return;
    }
    if (m_stale) {
        m_grid.Build(shapes);
        m_stale = false;
    }
    m_grid.Gather(bounds, tolerance, mask, out);
}

namespace {

ZEntity* OwnerEntity(const ZCollisionInterface* shape) {
    ZCollisionOwner* const owner = shape->GetOwner();
    return owner != nullptr ? ResolveComponent<ZEntity>(owner->GetSpatial()) : nullptr;
}

bool AlreadyReported(const CollisionResultArray& results, const uint32_t first, const ZCollisionInterface* shape) {
    for (uint32_t i = first; i < results.Count(); ++i) {
        if (results[i].other == shape) {
            return true;
        }
    }
    return false;
}

bool BoundsOverlap(const float a[6], const float b[6], const float grow) {
    for (int i = 0; i < 3; ++i) {
        if (a[i] - grow > b[i + 3] + grow || b[i] - grow > a[i + 3] + grow) {
            return false;
        }
    }
    return true;
}

// What the candidate filter needs of the mover, looked up once per query.
struct MoverInfo {
    ZCollisionInterface* shape = nullptr;
    ZRTTIBase* spatial = nullptr;
    ZEntity* entity = nullptr;
    float bounds[6] = {};
};

MoverInfo DescribeMover(ZCollisionInterface* mover, const ZVector3& from, const ZVector3& to) {
    MoverInfo info;
    info.shape = mover;
    if (ZCollisionOwner* const owner = mover->GetOwner()) {
        info.spatial = owner->GetSpatial();
        info.entity = OwnerEntity(mover);
    }
    mover->GetSweptBounds(info.bounds, from, to);
    return info;
}

// The candidate filter of a sweep or an overlap query.
bool IsCandidate(ZCollisionWorld* world, const MoverInfo& mover, ZCollisionInterface* candidate, const uint32_t mask,
                 const CollisionResultArray& results, const uint32_t firstResult) {
    if (candidate == mover.shape || candidate->IsOwnerless()) {
        return false;
    }
    if (!candidate->MatchesFilter(mask)) {
        return false;
    }
    // The bounds before the lookups and callbacks below, which cost more.
    float bounds[6];
    candidate->GetBounds(bounds);
    const ZVector3 at = candidate->GetOwnerPosition();
    const float offset[3] = {at.x, at.y, at.z};
    for (int i = 0; i < 3; ++i) {
        bounds[i] += offset[i];
        bounds[i + 3] += offset[i];
    }
    if (!BoundsOverlap(bounds, mover.bounds, world->tolerance)) {
        return false;
    }
    if (mover.shape->GetOwner() != nullptr) {
        if (mover.spatial != nullptr && mover.spatial == candidate->GetOwner()->GetSpatial()) {
            return false;
        }
        ZEntity* const candidateEntity = OwnerEntity(candidate);
        if (mover.entity != nullptr && mover.entity == candidateEntity) {
            return false;
        }
        // Riders move with their carrier; the carrier never runs into them.
        const ZBasingComponent* const basing = GetComponent<ZBasingComponent>(candidateEntity);
        if (mover.entity != nullptr && basing != nullptr && basing->parent == mover.entity) {
            return false;
        }
    }
    return candidate->IsBlocker(mover.shape) || !AlreadyReported(results, firstResult, candidate);
}

// The shapes one pass of a query looks at: those gathered when it began,
// then any that callbacks added while it ran (the world appends them). A
// shape gathered but removed meanwhile is skipped.
class PassCandidates {
public:
    PassCandidates(ZCollisionWorld* world, const float bounds[6], const uint32_t mask,
                   std::vector<ZCollisionInterface*>& storage)
        : m_world(world), m_list(storage), m_removals(world->GetRemovals()), m_countAtStart(world->shapes.Count()) {
        m_list.clear();
        world->GatherCandidates(bounds, mask, m_list);
    }

    // The next shape, or null at the end.
    ZCollisionInterface* Next() {
        while (m_next < m_list.size()) {
            ZCollisionInterface* const shape = m_list[m_next++];
            if (m_removals == m_world->GetRemovals() || m_world->shapes.Find(shape) >= 0) {
                return shape;
            }
        }
        if (m_added < m_countAtStart) {
            m_added = m_countAtStart;
        }
        if (m_removals == m_world->GetRemovals() && m_added < m_world->shapes.Count()) {
            return m_world->shapes[m_added++];
        }
        return nullptr;
    }

private:
    ZCollisionWorld* m_world;
    std::vector<ZCollisionInterface*>& m_list;
    uint32_t m_removals;
    uint32_t m_countAtStart;
    size_t m_next = 0;
    uint32_t m_added = 0;
};

// Refines a feature hit so that the mover stops the tolerance short of the
// plane through point with normal n. False when the refined time is past the
// motion's end.
bool PlaneTimeOfImpact(const ZVector3& n, const ZVector3& point, const float offset, const ZVector3& from,
                       const ZVector3& to, float& time) {
    const float denominator = to.Dot(n) - from.Dot(n);
    float t = time;
    if (std::fabs(denominator) > 0.0f) {
        t = (point.Dot(n) + offset - from.Dot(n)) / denominator;
    }
    t = std::fmin(t, time);
    t = std::fmax(t, 0.0f);
    if (!(t <= 1.0f)) {
        return false;
    }
    time = t;
    return true;
}

bool TestSphere(const ZCollisionFeature& f, const ZVector3& from, const ZVector3& to, const float tolerance,
                CollisionResult& hit) {
    const ZVector3 m = to - from;
    const ZVector3 rel = from - f.a;
    const float a = m.Dot(m);
    if (!(a > 0.0f)) {
        return false;
    }
    const float b = 2.0f * m.Dot(rel);
    const float c = rel.Dot(rel) - f.radius * f.radius;
    const float discriminant = b * b - 4.0f * a * c;
    if (discriminant < 0.0f) {
        return false;
    }
    float t = (-b - std::sqrt(discriminant)) / (2.0f * a);
    if (!(t >= 0.0f)) {
        return false;
    }
    const ZVector3 position = from + m * t;
    const ZVector3 n = (position - f.a).Normalized();
    const ZVector3 surfacePoint = f.a + n * f.radius;
    if (!PlaneTimeOfImpact(n, surfacePoint, tolerance, from, to, t)) {
        return false;
    }
    hit.position = from + m * t;
    hit.direction = n;
    hit.time = t;
    return true;
}

bool TestSegment(const ZCollisionFeature& f, const ZVector3& from, const ZVector3& to, const float tolerance,
                 CollisionResult& hit) {
    const ZVector3 m = to - from;
    const ZVector3 e = (f.b - f.a).Normalized();
    const ZVector3 n(e.y, -e.x, 0.0f);
    const float approach = n.Dot(m);
    if (!(approach < 0.0f)) {
        return false;
    }
    float t = (n.Dot(f.a) - n.Dot(from)) / approach;
    if (t < 0.0f) {
        return false;
    }
    const ZVector3 first = from + m * t;
    if (!PlaneTimeOfImpact(n, f.a, tolerance, from, to, t)) {
        return false;
    }
    const ZVector3 refined = from + m * t;
    const ZVector3 ab = f.b - f.a;
    if ((first - f.a).Dot(ab) < 0.0f && (refined - f.a).Dot(ab) < 0.0f) {
        return false;
    }
    if ((first - f.b).Dot(-ab) < 0.0f && (refined - f.b).Dot(-ab) < 0.0f) {
        return false;
    }
    hit.position = refined;
    hit.direction = n;
    hit.time = t;
    return true;
}

bool TestFeature(const ZCollisionFeature& f, const ZVector3& from, const ZVector3& to, const float tolerance,
                 CollisionResult& hit) {
    switch (f.kind) {
        case ZCollisionFeature::kSphere:
            return TestSphere(f, from, to, tolerance, hit);
        case ZCollisionFeature::kSegment:
            return TestSegment(f, from, to, tolerance, hit);
        default:
            return false;
    }
}

}  // namespace

bool SweepShape(ZCollisionWorld* world, CollisionResultArray& results, ZCollisionInterface* mover, ZVector3 from,
                ZVector3 to, const uint32_t mask, const uint32_t flags) {
    const uint32_t firstResult = results.Count();
    if (world != nullptr && mover != nullptr) {
        ZArray<ZCollisionFeature> features;
        std::vector<ZCollisionInterface*> gathered;
        int iterations = 0;
        bool done = false;
        while (!done) {
            CollisionResult best;
            const MoverInfo info = DescribeMover(mover, from, to);
            // Touch callbacks never run inside a pass, but shapes may still be
            // added while the narrow tests run.
            PassCandidates pass(world, info.bounds, mask, gathered);
            while (ZCollisionInterface* const candidate = pass.Next()) {
                if (!IsCandidate(world, info, candidate, mask, results, firstResult)) {
                    continue;
                }
                features.Resize(0);
                if (!candidate->BuildFeatures(features, *mover)) {
                    continue;
                }
                for (const ZCollisionFeature& feature : features) {
                    CollisionResult hit;
                    if (!TestFeature(feature, from, to, world->tolerance, hit) || !(hit.time < best.time)) {
                        continue;
                    }
                    hit.other = candidate;
                    hit.normal = hit.direction;
                    const bool passes = candidate->Gate(mover) && !candidate->IsBlocker(mover);
                    if (!passes && !candidate->Accept(mover, hit)) {
                        continue;
                    }
                    best = hit;
                    if (ZCollisionOwner* const owner = mover->GetOwner()) {
                        owner->OnGroundProbe(best);
                    }
                }
            }
            if (best.time > 1.0f) {
                break;
            }
            results.PushBack(best);
            ZCollisionInterface* const other = best.other;
            const bool accepted = other->Accept(mover, best);
            if (accepted) {
                ++iterations;
            }
            if (iterations > 4) {
                done = true;
            }
            const ZVector3 delta = to - from;
            ZVector3 move = delta * best.time;
            ZVector3 rest = delta - move;
            if (done) {
                to = from + move;
                break;
            }
            if (accepted) {
                const ZVector3 p = best.normal * rest.Dot(best.normal);
                switch (mover->responseKind) {
                    case ZCollisionInterface::kStop:
                        rest = ZVector3();
                        break;
                    case ZCollisionInterface::kSlide:
                    case ZCollisionInterface::kSlideAlong:
                        rest = rest - p;
                        break;
                    case ZCollisionInterface::kBounce:
                        rest = rest - p * 2.0f;
                        break;
                    case ZCollisionInterface::kPushOut:
                        move += best.normal * (2.0f * world->tolerance);
                        rest = to - (from + move);
                        break;
                    default:
                        break;
                }
            } else {
                // A shape that does not take the contact leaves the motion
                // as it was; a non-blocker is met only once per sweep.
                move = ZVector3();
                rest = delta;
            }
            if ((flags & 1u) != 0) {
                rest = ZVector3();
            }
            from += move;
            to = from + rest;
        }
    }
    CollisionResult end;
    end.position = to;
    results.PushBack(end);
    return results.Count() - firstResult == 1;
}

bool OverlapQuery(ZCollisionWorld* world, CollisionResultArray& results, ZCollisionInterface* mover,
                  const ZVector3& point, const uint32_t mask) {
    const uint32_t firstResult = results.Count();
    if (world == nullptr || mover == nullptr) {
        return false;
    }
    const MoverInfo info = DescribeMover(mover, point, point);
    std::vector<ZCollisionInterface*> gathered;
    PassCandidates pass(world, info.bounds, mask, gathered);
    while (ZCollisionInterface* const candidate = pass.Next()) {
        if (!IsCandidate(world, info, candidate, mask, results, firstResult)) {
            continue;
        }
        if (candidate->Overlaps(*mover, point)) {
            CollisionResult found;
            found.other = candidate;
            found.position = point;
            results.PushBack(found);
        }
    }
    return results.Count() > firstResult;
}
