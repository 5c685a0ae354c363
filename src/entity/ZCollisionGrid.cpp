#include "entity/ZCollisionGrid.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCollisionInterface.h"

namespace {

// Cells per axis at most: a room of scattered shapes needs far fewer, and a
// few far-flung ones must not make the grid huge.
constexpr int32_t kMaxCells = 512;

bool IsIndexable(const float bounds[6]) {
    const float k = ZCollisionInterface::kUnbounded;
    // Written so that a NaN bound fails too.
    return bounds[0] > -k && bounds[1] > -k && bounds[3] < k && bounds[4] < k && bounds[0] <= bounds[3] &&
           bounds[1] <= bounds[4];
}

}  // namespace

void ZCollisionGrid::Build(const ZArray<ZCollisionInterface*>& shapes) {
    m_fixed.clear();
    m_loose.clear();
    for (uint32_t i = 0; i < shapes.Count(); ++i) {
        ZCollisionInterface* const shape = shapes[i];
        const ZCollisionOwner* const owner = shape->GetOwner();
        float bounds[6];
        if (owner != nullptr && owner->IsFixed()) {
            shape->GetBounds(bounds);
            // The same sums the candidate filter makes, so both see the same bounds.
            const ZVector3 at = shape->GetOwnerPosition();
            const float offset[3] = {at.x, at.y, at.z};
            for (int axis = 0; axis < 3; ++axis) {
                bounds[axis] += offset[axis];
                bounds[axis + 3] += offset[axis];
            }
            if (IsIndexable(bounds)) {
                m_fixed.push_back({bounds[0], bounds[1], bounds[3], bounds[4], i, shape});
                continue;
            }
        }
        m_loose.push_back({i, shape});
    }
    m_seen.assign(m_fixed.size(), 0);
    m_query = 0;
    m_columns = 0;
    m_rows = 0;
    m_cellStart.clear();
    m_items.clear();
    if (m_fixed.empty()) {
        return;
    }

    float minX = m_fixed[0].minX;
    float minY = m_fixed[0].minY;
    float maxX = m_fixed[0].maxX;
    float maxY = m_fixed[0].maxY;
    for (const Entry& e : m_fixed) {
        minX = std::min(minX, e.minX);
        minY = std::min(minY, e.minY);
        maxX = std::max(maxX, e.maxX);
        maxY = std::max(maxY, e.maxY);
    }
    // About one shape a cell over the area the fixed shapes cover.
    const float width = std::max(maxX - minX, 1.0f);
    const float height = std::max(maxY - minY, 1.0f);
    m_cellSize = std::sqrt(width * height / static_cast<float>(m_fixed.size()));
    m_cellSize = std::max({m_cellSize, width / kMaxCells, height / kMaxCells});
    m_originX = minX;
    m_originY = minY;
    m_columns = std::clamp(static_cast<int32_t>(width / m_cellSize) + 1, 1, kMaxCells);
    m_rows = std::clamp(static_cast<int32_t>(height / m_cellSize) + 1, 1, kMaxCells);

    const size_t cellCount = static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows);
    m_cellStart.assign(cellCount + 1, 0);
    // Count, then fill: each cell's items end up in the order of m_fixed.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<uint32_t> next;
        if (pass == 1) {
            for (size_t c = 0; c < cellCount; ++c) {
                m_cellStart[c + 1] += m_cellStart[c];
            }
            m_items.assign(m_cellStart[cellCount], 0);
            next.assign(m_cellStart.begin(), m_cellStart.end() - 1);
        }
        for (uint32_t index = 0; index < m_fixed.size(); ++index) {
            const Entry& e = m_fixed[index];
            int32_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;
            CellRange(e.minX, e.maxX, m_originX, m_columns, x0, x1);
            CellRange(e.minY, e.maxY, m_originY, m_rows, y0, y1);
            for (int32_t y = y0; y <= y1; ++y) {
                for (int32_t x = x0; x <= x1; ++x) {
                    const size_t cell = static_cast<size_t>(y) * static_cast<size_t>(m_columns) + static_cast<size_t>(x);
                    if (pass == 0) {
                        ++m_cellStart[cell + 1];
                    } else {
                        m_items[next[cell]++] = index;
                    }
                }
            }
        }
    }
}

void ZCollisionGrid::CellRange(const float lo, const float hi, const float origin, const int32_t cells,
                               int32_t& first, int32_t& last) const {
    // Clamped as floats before the conversion: bounds may lie far outside.
    const float top = static_cast<float>(cells - 1);
    first = static_cast<int32_t>(std::clamp(std::floor((lo - origin) / m_cellSize), 0.0f, top));
    last = static_cast<int32_t>(std::clamp(std::floor((hi - origin) / m_cellSize), 0.0f, top));
}

void ZCollisionGrid::Gather(const float bounds[6], const float grow, const uint32_t mask,
                            std::vector<ZCollisionInterface*>& out) {
    m_hits.clear();
    if (!m_fixed.empty()) {
        const bool overlapsAll = std::isnan(bounds[0]) || std::isnan(bounds[1]) || std::isnan(bounds[3]) ||
                                 std::isnan(bounds[4]);
        // Cells are chosen with room to spare; each entry then gets the
        // candidate filter's own comparison.
        const float slack = 4.0f * grow + 1e-3f;
        const float extentX = m_originX + static_cast<float>(m_columns) * m_cellSize;
        const float extentY = m_originY + static_cast<float>(m_rows) * m_cellSize;
        const bool outside = bounds[3] + slack < m_originX || bounds[0] - slack > extentX ||
                             bounds[4] + slack < m_originY || bounds[1] - slack > extentY;
        if (overlapsAll) {
            for (uint32_t index = 0; index < m_fixed.size(); ++index) {
                m_hits.push_back(index);
            }
        } else if (!outside) {
            if (++m_query == 0) {
                std::fill(m_seen.begin(), m_seen.end(), 0);
                m_query = 1;
            }
            int32_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;
            CellRange(bounds[0] - slack, bounds[3] + slack, m_originX, m_columns, x0, x1);
            CellRange(bounds[1] - slack, bounds[4] + slack, m_originY, m_rows, y0, y1);
            for (int32_t y = y0; y <= y1; ++y) {
                for (int32_t x = x0; x <= x1; ++x) {
                    const size_t cell = static_cast<size_t>(y) * static_cast<size_t>(m_columns) + static_cast<size_t>(x);
                    for (uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                        const uint32_t index = m_items[k];
                        if (m_seen[index] == m_query) {
                            continue;
                        }
                        m_seen[index] = m_query;
                        const Entry& e = m_fixed[index];
                        if (e.minX - grow > bounds[3] + grow || bounds[0] - grow > e.maxX + grow ||
                            e.minY - grow > bounds[4] + grow || bounds[1] - grow > e.maxY + grow) {
                            continue;
                        }
                        m_hits.push_back(index);
                    }
                }
            }
            std::sort(m_hits.begin(), m_hits.end());
        }
    }
    // Merge the fixed hits with the loose shapes, both in the world's order.
    size_t loose = 0;
    for (const uint32_t index : m_hits) {
        const Entry& e = m_fixed[index];
        for (; loose < m_loose.size() && m_loose[loose].order < e.order; ++loose) {
            if (m_loose[loose].shape->MatchesFilter(mask)) {
                out.push_back(m_loose[loose].shape);
            }
        }
        if (e.shape->MatchesFilter(mask)) {
            out.push_back(e.shape);
        }
    }
    for (; loose < m_loose.size(); ++loose) {
        if (m_loose[loose].shape->MatchesFilter(mask)) {
            out.push_back(m_loose[loose].shape);
        }
    }
}
