// RIFF palettes: any bytes over an 8-bit image's palette. A palette that is
// not taken leaves the image's colours as they were.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "renderer/ZImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZImage image;
    if (!image.Create(16, 16, 1, 8)) __builtin_trap();
    for (uint32_t i = 0; i < 256; ++i) image.GetPalette()[4 * i] = static_cast<uint8_t>(i);
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 16; ++x) image.SetPixel(x, y, static_cast<uint32_t>(16 * y + x) << 16);
    }
    uint8_t before[4 * 256];
    std::memcpy(before, image.GetPalette(), sizeof before);
    const bool taken = image.LoadPaletteFromMemory(data, size);
    if (!taken && std::memcmp(before, image.GetPalette(), sizeof before) != 0) __builtin_trap();
    for (uint32_t i = 0; i < 256; ++i) {
        if (image.GetPalette()[4 * i + 3] != 0) __builtin_trap();
    }
    uint32_t sum = 0;
    for (int32_t x = 0; x < 16; ++x) sum += image.GetPixel(x, 0);
    (void)sum;
    return 0;
}
