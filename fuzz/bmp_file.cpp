// BMP files: whatever the reader accepts must read back pixel by pixel and
// write a file that reads back the same.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderer/ZImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZImage image;
    if (!image.LoadBMPFromMemory(data, size)) {
        if (!image.IsEmpty()) __builtin_trap();
        return 0;
    }
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        for (int32_t x = 0; x < image.GetWidth(); ++x) sum += image.GetPixel(x, y);
    }
    (void)sum;
    const std::vector<uint8_t> written = image.EncodeBMP();
    ZImage again;
    if (!again.LoadBMPFromMemory(written.data(), written.size())) __builtin_trap();
    if (again.EncodeBMP() != written) __builtin_trap();
    return 0;
}
