// A tile set's custom tiles: any bytes. Every kept record is whole, and the
// tile-metadata evaluation copes with whatever it holds.

#include <cstddef>
#include <cstdint>

#include "game/world/MapFileReader.h"
#include "game/world/TileMetadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PaletteData palette;
    ReadPaletteCustomTilesFromMemory(data, size, palette, "fuzz.cus");
    // Unsigned: the checksum only keeps the evaluation from being optimised away,
    // and wraps where fuzzed coordinates add up past the range.
    uint32_t sum = 0;
    for (uint32_t i = 0; i < palette.customTiles.Count(); ++i) {
        int32_t column = 0;
        int32_t row = 0;
        EvaluateTileMetadata(palette.customTiles[i], nullptr, column, row);
        sum += static_cast<uint32_t>(column) + static_cast<uint32_t>(row);
    }
    (void)sum;
    return 0;
}
