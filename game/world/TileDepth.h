#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "game/world/MapRecords.h"

// The stereo depth a tile quad gets from the collision class of its tile:
// the value the world layers carry per vertex. flat is the overworld flag,
// layerFlag the foreground layer, animated an animated tile.
float GetTileDepth(int32_t tileClass, bool flat, bool layerFlag, bool animated);

// A plain sheet tile (cell kind 0) inside one of the palette's depth forces
// takes that force's depth, the last matching force winning; other cells
// keep the depth they have.
void ApplyDepthRegions(const ZArray<DepthForce>& regions, float& depth, int32_t column, int32_t row, int32_t cellKind);
