// Tile-set side sources for the map builder from untrusted text: the parser
// refuses what it cannot use with a line number, and what it accepts prints
// as a source that parses back to the same print.

#include <cstddef>
#include <cstdint>
#include <string>

#include "mapbuild/MapText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TileSideSources tiles;
    std::string error;
    if (!ParseTilesText(text, tiles, error)) {
        if (error.rfind("line ", 0) != 0) __builtin_trap();
        return 0;
    }
    std::string printed;
    PrintTilesText(tiles, printed);
    TileSideSources back;
    std::string again;
    if (!ParseTilesText(printed, back, error)) __builtin_trap();
    PrintTilesText(back, again);
    if (again != printed) __builtin_trap();
    return 0;
}
