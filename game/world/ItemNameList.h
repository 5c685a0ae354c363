#pragma once

#include <cstdint>

#include "input/ZGamepadGlyphSheet.h"

// The item pictures text can show inline: a 4 x 4 grid of one texture, in
// sheet order "empty", "keys", "smcubes", "bgcubes", "redaura", "blueaura",
// "swimsuit", "toxicsuit", "boots", "gloves", "mkey", "mask", "badge",
// "arcpass", "styxpass", "necklace".
inline constexpr uint32_t kItemGlyphCount = 16;
const char* GetItemGlyphName(uint32_t index);

// Adds the 16 frames: cell i at ((i mod 4) / 4, (i div 4) / 4), a quarter of
// the texture each way, drawn two text units wide and high and raised by half
// a unit. The caller gives the sheet its shader and render group.
void CreateItemNameList(ZGlyphSheetTarget& sheet);
