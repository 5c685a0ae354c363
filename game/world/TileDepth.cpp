#include "game/world/TileDepth.h"

#include <algorithm>

float GetTileDepth(const int32_t tileClass, const bool flat, const bool layerFlag, const bool animated) {
    float depth = 0.0f;
    switch (tileClass) {
        case 3:
        case 4:
        case 6:
        case 128: depth = 1.0f; break;
        case 2: depth = -1.0f; break;
        case 1:
        case 5:
        case 7:
        case 8: depth = flat ? (animated ? 3.0f : -1.0f) : -2.0f; break;
        case 0:
        case 255: depth = flat ? 1.0f : 2.0f; break;
        default: depth = 0.0f; break;
    }
    if (!flat && layerFlag) {
        depth = std::min(depth, -1.0f);
    }
    return depth;
}

void ApplyDepthRegions(const ZArray<DepthForce>& regions, float& depth, const int32_t column, const int32_t row,
                       const int32_t cellKind) {
    if (regions.IsEmpty() || cellKind != kCellSheet) {
        return;
    }
    for (const DepthForce& force : regions) {
        if (force.x <= column && column < force.x + force.width && force.y <= row && row < force.y + force.height) {
            depth = force.depth;
        }
    }
}
