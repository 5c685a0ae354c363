#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// The plain records of one campaign map: rooms of two tile layers, their
// edges, the map's areas and the palettes (tile sets) the cells draw from.
// Positions: a tile is 8 x 8 pixels, a room 32 x 28 tiles.

inline constexpr int32_t kRoomTilesX = 32;
inline constexpr int32_t kRoomTilesY = 28;
inline constexpr int32_t kRoomCells = kRoomTilesX * kRoomTilesY;  // 896
inline constexpr int32_t kRoomPixelsX = 256;
inline constexpr int32_t kRoomPixelsY = 224;

// Cell kinds.
enum MapCellKind : int32_t {
    kCellSheet = 0,     // sheet tile (column, row)
    kCellAnimated = 1,  // column = index into the palette's animations
    kCellCustom = 2,    // column = index into the palette's custom tiles
    kCellNone = 3,
};

struct MapCell {
    int32_t column = 0;
    int32_t row = 0;
    int32_t kind = 0;
    int32_t palette = 0;

    // What a query answers for a room that does not exist.
    static MapCell NoRoom() { return MapCell{-1, -1, kCellNone, 0}; }
    bool operator==(const MapCell&) const = default;
};

// One side of a room; the room transition gives the fields their meaning.
struct RoomEdge {
    uint32_t kind = 0;
    uint8_t hasPointA = 0;
    int32_t pointAX = 0;
    int32_t pointAY = 0;
    uint8_t hasNameA = 0;
    ZHashedString nameA;
    uint8_t hasNameB = 0;
    ZHashedString nameB;
    uint8_t hasPointB = 0;
    int32_t pointBX = 0;
    int32_t pointBY = 0;
    uint8_t flagA = 0;
    uint8_t flagB = 0;
};

enum RoomEdgeSide : int32_t { kEdgeTop = 0, kEdgeBottom = 1, kEdgeLeft = 2, kEdgeRight = 3 };

struct RoomData {
    // Index x * 28 + y.
    MapCell background[kRoomCells] = {};
    MapCell foreground[kRoomCells] = {};
    RoomEdge edges[4];
    ZArray<uint32_t> instanceIds;  // file order
};

// A rectangle of rooms with properties (right and bottom exclusive).
struct MapArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    uint8_t kind = 0;
    uint8_t colour[4] = {0, 0, 0, 255};
    ZString propertiesText;
    ZDefNode properties;

    bool Contains(int32_t x, int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }
};

struct TileFrame {
    int32_t column = 0;
    int32_t row = 0;
    bool operator==(const TileFrame&) const = default;
};

struct TileAnimation {
    ZString name;
    ZArray<TileFrame> frames;  // play order
    float period = 0.0f;
    uint8_t randomPhase = 0;
    uint32_t paletteIndex = 0;
};

struct CustomTileVariant {
    ZString name;
    ZString propertiesText;
    ZDefNode properties;
    int32_t column = 0;
    int32_t row = 0;
};

struct CustomTile {
    ZString name;
    ZString propertiesText;
    ZDefNode properties;
    ZArray<CustomTileVariant> variants;
};

// An area of a sheet with the anaglyph depth forced on it.
struct DepthForce {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    float depth = 0.0f;
};

// One tile set of a map.
struct PaletteData {
    // The sheet's corner in the tile atlas and the atlas fraction of a pixel.
    float uOrigin = 0.0f;
    float vOrigin = 0.0f;
    float uPerPixel = 0.0f;
    float vPerPixel = 0.0f;
    int32_t collisionStride = 0;  // rows of the class grid
    int32_t collisionCount = 0;   // columns of the class grid
    ZArray<uint8_t> collision;    // column-major, stride x count
    ZArray<TileAnimation> animations;
    ZArray<CustomTile> customTiles;
    ZArray<DepthForce> depthForces;

    // The collision class of sheet tile (c, r); 0 outside the grid.
    uint8_t GetClass(int32_t column, int32_t row) const;
};

// Empties the three lists of a palette record; the record itself stays.
void ClearPaletteData(PaletteData& palette);
