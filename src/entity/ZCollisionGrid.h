#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ZArray.h"

class ZCollisionInterface;

// The collision world's broad phase: a uniform grid over the shapes whose
// owners stand still (see ZCollisionOwner::IsFixed), so that a query visits
// only the cells its bounds cover. Every other shape (owned by something that
// moves, ownerless, or with no finite bounds) is loose and offered to every
// query. The grid is rebuilt from the world's list when that list changes.
class ZCollisionGrid {
public:
    // Sorts the world's shapes into cells and the loose list. Positions in
    // shapes are the order queries hand shapes back in.
    void Build(const ZArray<ZCollisionInterface*>& shapes);

    // Appends, in the world's order, every loose shape that passes the filter
    // for mask and every fixed one whose x/y bounds, grown by grow, overlap the
    // query's bounds grown by grow (min x, y, z, max x, y, z).
    void Gather(const float bounds[6], float grow, uint32_t mask, std::vector<ZCollisionInterface*>& out);

    uint32_t FixedCount() const { return static_cast<uint32_t>(m_fixed.size()); }

private:
    struct Entry {
        float minX, minY, maxX, maxY;
        uint32_t order;
        ZCollisionInterface* shape;
    };
    struct Loose {
        uint32_t order;
        ZCollisionInterface* shape;
    };

    // The range of cells that covers [lo, hi] on one axis.
    void CellRange(float lo, float hi, float origin, int32_t cells, int32_t& first, int32_t& last) const;

    std::vector<Entry> m_fixed;
    std::vector<Loose> m_loose;
    // Cell c holds m_items[m_cellStart[c] .. m_cellStart[c + 1]), indices into m_fixed.
    std::vector<uint32_t> m_cellStart;
    std::vector<uint32_t> m_items;
    // The query that last met each fixed entry, so that one met in several
    // cells is handed back once.
    std::vector<uint32_t> m_seen;
    uint32_t m_query = 0;
    std::vector<uint32_t> m_hits;
    float m_originX = 0.0f;
    float m_originY = 0.0f;
    float m_cellSize = 1.0f;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
};
