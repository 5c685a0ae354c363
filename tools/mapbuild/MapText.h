#pragma once

#include <string>
#include <vector>

#include "game/world/MapSource.h"

// The map builder's text sources and their printing. See README.md beside
// this file for the formats.

// Parses a map source; false with error ("line N: ...") on a mistake.
bool ParseMapText(const std::string& text, MapSource& out, std::string& error);
// Prints a map as source text; false when a cell set needs more than the
// available legend characters.
bool PrintMapText(const MapSource& map, std::string& out, std::string& error);

struct TileSideSources {
    CollisionSource collision;
    CustomTilesSource custom;
    AnimationsSource animations;
};

bool ParseTilesText(const std::string& text, TileSideSources& out, std::string& error);
void PrintTilesText(const TileSideSources& tiles, std::string& out);

// A tile sheet drawn in text: colours by character, 8 x 8 tiles.
struct SheetSource {
    int32_t tilesAcross = 0;
    int32_t tilesDown = 0;
    std::vector<uint32_t> colours;           // 0xRRGGBB by index
    std::vector<uint8_t> pixels;             // indices, row by row
};

bool ParseSheetText(const std::string& text, SheetSource& out, std::string& error);
