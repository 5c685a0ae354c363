// The NTSC display's reference palette from untrusted bytes: the reader stays
// inside the bytes, every entry it does not read is opaque black, and the
// lookup built from whatever it read sends every texel to a generated colour.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/display/NTSCPalette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZColor32 reference[kPaletteEntries];
    ParseReferencePalette(data, size, reference);
    const size_t present = size >= 24 ? (size - 24) / 4 : 0;
    for (size_t n = present; n < kPaletteEntries; ++n) {
        if (!(reference[n] == ZColor32(0, 0, 0, 255))) __builtin_trap();
    }
    ZColor32 generated[kPaletteEntries];
    for (int32_t i = 0; i < kPaletteEntries; ++i) generated[i] = ZColor32(static_cast<uint8_t>(i), 1, 2, 255);
    std::vector<uint32_t> image;
    BuildPaletteLookup(reference, generated, image);
    if (image.size() != static_cast<size_t>(kLookupWidth) * kLookupHeight) __builtin_trap();
    for (const uint32_t texel : image) {
        // Only entries of rows 0..3, columns 0..13 are candidates.
        const uint32_t index = texel >> 16 & 0xFF;
        if ((texel & 0xFFFF) != 0x0102 || index >= 64 || index % 16 >= 14) __builtin_trap();
    }
    return 0;
}
