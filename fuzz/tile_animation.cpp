// A tile set's animations: any bytes. Every kept record is whole and keeps
// the palette index it was given.

#include <cstddef>
#include <cstdint>

#include "game/world/MapFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PaletteData palette;
    ReadPaletteAnimationsFromMemory(data, size, palette, 3, "fuzz.ani");
    for (uint32_t i = 0; i < palette.animations.Count(); ++i) {
        if (palette.animations[i].paletteIndex != 3) __builtin_trap();
    }
    return 0;
}
