#include "game/world/AtlasPacker.h"

#include <algorithm>

namespace {

// One packing pass at a fixed side; false when some image did not fit
// (skipping it when keepGoing is set).
bool PackAt(const std::vector<AtlasSize>& sizes, int32_t side, bool keepGoing, AtlasLayout& layout) {
    layout.side = side;
    layout.placements.assign(sizes.size(), AtlasPlacement());
    layout.unplaced = 0;
    int64_t x = 0;
    int64_t y = 0;
    int64_t rowHeight = 0;
    bool all = true;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const int64_t w = sizes[i].width;
        const int64_t h = sizes[i].height;
        if (w <= 0 || h <= 0) continue;
        // Too wide for any row: left out without closing the current row.
        if (w > side) {
            all = false;
            ++layout.unplaced;
            if (!keepGoing) return false;
            continue;
        }
        if (x + w > side) {
            y += rowHeight;
            x = 0;
            rowHeight = 0;
        }
        if (y + h > side) {
            all = false;
            ++layout.unplaced;
            if (!keepGoing) return false;
            continue;
        }
        rowHeight = std::max(rowHeight, h);
        layout.placements[i] = AtlasPlacement{static_cast<int32_t>(x), static_cast<int32_t>(y), true};
        x += w;
    }
    return all;
}

}  // namespace

AtlasLayout PackAtlas(const std::vector<AtlasSize>& sizes, int32_t maxSide) {
    int64_t area = 0;
    int64_t largest = 0;
    for (const AtlasSize& s : sizes) {
        if (s.width <= 0 || s.height <= 0) continue;
        area += static_cast<int64_t>(s.width) * s.height;
        largest = std::max<int64_t>(largest, std::max(s.width, s.height));
    }
    int64_t side = 1;
    while ((side * side < area || side < largest) && side < maxSide) side *= 2;
    AtlasLayout layout;
    for (;;) {
        const bool last = side * 2 > maxSide;
        if (PackAt(sizes, static_cast<int32_t>(side), last, layout) || last) return layout;
        side *= 2;
    }
}
