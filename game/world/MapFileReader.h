#pragma once

#include <cstddef>
#include <cstdint>

#include "game/world/MapData.h"

// Readers of a map's data file and its palettes' three side files (collision
// grid, custom tiles, tile animations). All numbers are little-endian; a
// string is a u32 byte count and the bytes.
//
// Every reader is bounded by the bytes it has: a count or length that does
// not fit, a negative count or a short file stops reading with a log line
// naming the file and the offset, and keeps what was read whole (a room, an
// area or a record is taken only once all its fields were read). Nothing is
// allocated from a count before its bytes are known to be there.

inline constexpr uint8_t kMapFileMajor = 3;
inline constexpr uint8_t kMapFileMinor = 4;

// Version N.M and later.
inline bool MapVersionAtLeast(uint8_t major, uint8_t minor, uint8_t n, uint8_t m) {
    return major > n || (major == n && minor >= m);
}

// The text of the version warning box for a file of that version.
void FormatMapVersionWarning(char* out, size_t size, uint8_t major, uint8_t minor);

// An empty name returns at once and leaves the map alone. Otherwise the map's
// rooms are cleared and the file is read through the stream manager; a
// version other than 3.4 shows the "Error" box and reading goes on. False when
// the file is missing or damaged (what was read whole stays).
bool ReadMapData(const char* fileName, MapData& map);
// The same over bytes in memory; what names them in log lines.
bool ReadMapDataFromMemory(const uint8_t* data, size_t size, MapData& map, const char* what);

// Replaces the palette's class grid. A damaged file leaves an empty grid.
bool ReadPaletteCollision(const char* fileName, PaletteData& palette);
bool ReadPaletteCollisionFromMemory(const uint8_t* data, size_t size, PaletteData& palette, const char* what);

// Replaces the palette's custom tile list.
bool ReadPaletteCustomTiles(const char* fileName, PaletteData& palette);
bool ReadPaletteCustomTilesFromMemory(const uint8_t* data, size_t size, PaletteData& palette, const char* what);

// Replaces the palette's animation list; each record keeps paletteIndex.
bool ReadPaletteAnimations(const char* fileName, PaletteData& palette, uint32_t paletteIndex);
bool ReadPaletteAnimationsFromMemory(const uint8_t* data, size_t size, PaletteData& palette,
                                     uint32_t paletteIndex, const char* what);

// Parses property markup into node's children (nothing for an empty text).
void ParsePropertyMarkup(const ZString& text, ZDefNode& node);
