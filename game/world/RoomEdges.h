#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// One solid edge of the current rooms in pixels from the current room's
// top-left corner (y grows downward). Its direction tells the solid side:
// the solid tile lies to the right of the way the edge runs.
struct EdgeRecord {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    int32_t kind = 0;

    bool operator==(const EdgeRecord&) const = default;
};

// The outline of an empty tile beside a special tile (classes 4 and 6).
constexpr int32_t kSpecialOutlineKind = 128;

// Collision class of tile (column, row) of the room being outlined; columns
// -1 and 32 and rows -1 and 28 are the neighbouring rooms' border tiles.
using TileClassQuery = std::function<uint8_t(int32_t column, int32_t row)>;

// Appends the edges of one 32 x 28 room whose origin is at (px, py): every
// tile side facing a tile of another class, except that a class-3 platform
// gets only its top, and an empty tile beside a special one gets the special
// tile's outline (kind 128).
void AppendRoomEdges(std::vector<EdgeRecord>& edges, const TileClassQuery& classAt, int32_t px, int32_t py);

// Joins edges that continue one another: an edge whose end is another edge's
// start, running the same way (the same sign in x and in y) with the same
// kind, takes over that edge's end, and the other edge goes. Repeats until
// nothing joins; the first match in list order wins each time.
void MergeEdges(std::vector<EdgeRecord>& edges);
