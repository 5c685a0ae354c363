// A tile set's collision grid: any bytes. A grid that is kept matches its
// stated size, and class lookups stay inside it.

#include <cstddef>
#include <cstdint>

#include "game/world/MapFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PaletteData palette;
    const bool ok = ReadPaletteCollisionFromMemory(data, size, palette, "fuzz.col");
    const uint64_t cells = static_cast<uint64_t>(palette.collisionStride) * static_cast<uint64_t>(palette.collisionCount);
    if (palette.collision.Count() != cells) __builtin_trap();
    if (!ok && cells != 0) __builtin_trap();
    uint32_t sum = 0;
    for (int32_t c = -1; c <= palette.collisionCount && c < 64; ++c) {
        for (int32_t r = -1; r <= palette.collisionStride && r < 64; ++r) sum += palette.GetClass(c, r);
    }
    (void)sum;
    return 0;
}
