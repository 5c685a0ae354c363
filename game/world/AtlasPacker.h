#pragma once

#include <cstdint>
#include <vector>

// Places images on shelves in a square power-of-two atlas, in order, from the
// top left: a row is as tall as its tallest image, including the one that
// opens it, so no two images ever overlap and none reaches past the edge.
struct AtlasSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct AtlasPlacement {
    int32_t x = 0;
    int32_t y = 0;
    bool placed = false;  // false for an empty image or one that did not fit
};

struct AtlasLayout {
    int32_t side = 1;
    std::vector<AtlasPlacement> placements;  // one per image, in order
    uint32_t unplaced = 0;                   // non-empty images that did not fit
};

// The side starts at the smallest power of two that covers the summed area
// and the largest width and height, and doubles until every image fits or
// the side would pass maxSide; then the images that do not fit at maxSide are
// left out (counted in unplaced).
AtlasLayout PackAtlas(const std::vector<AtlasSize>& sizes, int32_t maxSide);
