#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "entity/ZCollisionGrid.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"

class ZCollisionInterface;

// One contact of a sweep. The last record of every sweep is the end record:
// no other shape, the position where the motion ends, time +infinity.
struct CollisionResult {
    ZCollisionInterface* other = nullptr;
    ZVector3 position;
    // The normal as the feature test found it; the mover's owner may replace
    // it (a walker on a slope reports its floor as flat). Basing reads it.
    ZVector3 direction;
    // The unit normal from the other shape towards the mover; responses and
    // the ground and wall tests read it.
    ZVector3 normal;
    float time = std::numeric_limits<float>::infinity();
    uint32_t surface = ZHashedString().GetId();
};
using CollisionResultArray = ZArray<CollisionResult>;

// A piece of a shape that the narrow test meets: a sphere (centre a, radius)
// or a one-sided segment from a to b whose solid side is to its left.
struct ZCollisionFeature {
    enum : uint32_t { kSphere = 1, kSegment = 5 };
    uint32_t kind = 0;
    ZVector3 a;
    ZVector3 b;
    float radius = 0.0f;
};

// Every live collision shape. Shapes enter and leave it themselves, from
// their constructors and destructors. Queries meet shapes in the order they
// entered.
class ZCollisionWorld {
public:
    // The world, made on first use.
    static ZCollisionWorld* GetInstance();

    ZCollisionWorld(const ZCollisionWorld&) = delete;
    ZCollisionWorld& operator=(const ZCollisionWorld&) = delete;

    void Add(ZCollisionInterface* shape);
    void Remove(ZCollisionInterface* shape);
    // A shape of a fixed owner moved or changed size, or a shape changed
    // owner: the broad phase files the shapes again before the next query.
    void Refresh() { m_stale = true; }

    // Appends, in the world's order, the shapes a query whose mover covers
    // bounds (min x, y, z, max x, y, z) may meet: with the broad phase, the
    // loose shapes and the fixed ones near the bounds; without it, every one.
    void GatherCandidates(const float bounds[6], uint32_t mask, std::vector<ZCollisionInterface*>& out);
    // Bumped by every removal, so that a query can tell whether shapes it
    // gathered may have gone.
    uint32_t GetRemovals() const { return m_removals; }

    ZArray<ZCollisionInterface*> shapes;
    // How far short of a surface a mover stops.
    const float tolerance = 0.015f;
    // Off, every query walks every shape: the reference the broad phase is
    // compared with.
    bool useBroadPhase = true;

private:
    ZCollisionWorld() = default;

    ZCollisionGrid m_grid;
    bool m_stale = true;
    uint32_t m_removals = 0;
};

// Moves the shape from one point towards another through the world, meeting
// every shape that passes the filter for mask, and appends the contacts and
// then the end record to results. Bit 0 of flags stops the motion at the
// first solid contact. True when nothing was met.
bool SweepShape(ZCollisionWorld* world, CollisionResultArray& results, ZCollisionInterface* mover,
                ZVector3 from, ZVector3 to, uint32_t mask, uint32_t flags);
// Appends every shape that overlaps the mover standing at point (its own
// mask decides, as in a sweep); true when it found any.
bool OverlapQuery(ZCollisionWorld* world, CollisionResultArray& results, ZCollisionInterface* mover,
                  const ZVector3& point, uint32_t mask);
