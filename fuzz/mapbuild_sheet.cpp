// Tile sheets drawn in text for the map builder, from untrusted text: the
// parser refuses what it cannot use with a line number, and a sheet it
// accepts has every pixel of its whole tiles, each unpainted (0) or naming
// one of its colours.

#include <cstddef>
#include <cstdint>
#include <string>

#include "mapbuild/MapText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    SheetSource sheet;
    std::string error;
    if (!ParseSheetText(text, sheet, error)) {
        if (error.rfind("line ", 0) != 0) __builtin_trap();
        return 0;
    }
    if (sheet.tilesAcross <= 0 || sheet.tilesDown <= 0) __builtin_trap();
    const size_t pixels = static_cast<size_t>(sheet.tilesAcross) * 8 * static_cast<size_t>(sheet.tilesDown) * 8;
    if (sheet.pixels.size() != pixels) __builtin_trap();
    for (const uint8_t index : sheet.pixels) {
        if (index != 0 && index >= sheet.colours.size()) __builtin_trap();
    }
    return 0;
}
