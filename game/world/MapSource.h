#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/world/MapRecords.h"

// Everything a map data file or a palette side file stores, including the
// fields the game drops on reading (placement names and positions, the
// ignored header bytes). The map builder fills these from its text source,
// writes them as binary files, and decodes binary files back for printing, so
// a map round-trips byte for byte.

struct MapPlacementSource {
    std::string names[3];  // the third is stored from version 3.4 on
    uint32_t id = 0;
    float x = 0.0f;
    float y = 0.0f;
    uint8_t extra[8] = {};  // stored from version 3.3 on
};

struct MapEdgeSource {
    uint8_t kind = 0;
    uint8_t flags = 0;  // 0x01 point A, 0x02 name A, 0x04 name B, 0x08 point B, 0x10 flags A and B
    int32_t pointA[2] = {0, 0};
    std::string nameA;
    std::string nameB;
    int32_t pointB[2] = {0, 0};
};

struct MapRoomSource {
    int32_t x = 0;
    int32_t y = 0;
    std::vector<MapPlacementSource> placements;
    MapCell background[kRoomCells] = {};  // x * 28 + y
    MapCell foreground[kRoomCells] = {};
    MapEdgeSource edges[4];  // top, bottom, left, right
};

struct MapAreaSource {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t kind = 0;                      // stored from version 3.1 on
    uint8_t colour[4] = {0, 0, 0, 255};    // stored from version 3.1 on
    std::string properties;                // markup, stored from version 3.1 on
};

struct MapSource {
    uint8_t major = 3;
    uint8_t minor = 4;
    int32_t currentRoom[2] = {0, 0};
    uint8_t header[8] = {};
    std::vector<MapRoomSource> rooms;
    uint8_t version2Block[3072] = {};  // stored only when major is 2
    std::vector<MapAreaSource> areas;
};

struct CollisionSource {
    uint8_t version[2] = {1, 0};
    int32_t stride = 0;  // rows
    int32_t count = 0;   // columns
    std::vector<uint8_t> classes;  // column-major
};

struct CustomVariantSource {
    std::string name;
    std::string properties;
    int32_t column = 0;
    int32_t row = 0;
};

struct CustomTileSource {
    std::string name;
    std::string properties;
    std::vector<CustomVariantSource> variants;
};

struct CustomTilesSource {
    uint8_t version[2] = {1, 0};
    std::vector<CustomTileSource> tiles;
};

struct AnimationSource {
    std::string name;
    std::vector<TileFrame> frames;
    float period = 0.0f;
    uint8_t randomPhase = 0;
};

struct AnimationsSource {
    uint8_t version[2] = {1, 0};
    std::vector<AnimationSource> animations;
};

// Binary forms, by the source's own version gates.
std::vector<uint8_t> EncodeMap(const MapSource& map);
std::vector<uint8_t> EncodeCollision(const CollisionSource& grid);
std::vector<uint8_t> EncodeCustomTiles(const CustomTilesSource& tiles);
std::vector<uint8_t> EncodeAnimations(const AnimationsSource& animations);

// Decoders for printing. False (with error set) when the bytes do not hold a
// whole file; trailing bytes are an error too, so a decoded file re-encodes
// to the same bytes.
bool DecodeMap(const uint8_t* data, size_t size, MapSource& out, std::string& error);
bool DecodeCollision(const uint8_t* data, size_t size, CollisionSource& out, std::string& error);
bool DecodeCustomTiles(const uint8_t* data, size_t size, CustomTilesSource& out, std::string& error);
bool DecodeAnimations(const uint8_t* data, size_t size, AnimationsSource& out, std::string& error);
