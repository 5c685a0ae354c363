// A BMP and a RIFF palette into a texture, as the texture cache loads ".bmp"
// files: the input is the BMP, a line of "%%PAL%%", then the palette. Whatever
// the bytes, the texture is either made at the image's size or left without a
// device texture.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/FakeRenderer.h"
#include "renderer/ZImage.h"
#include "renderer/ZTexture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) {
        return 0;
    }
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find("\n%%PAL%%\n");
    const std::string bmp = input.substr(0, cut);
    const std::string palette = cut == std::string::npos ? std::string() : input.substr(cut + 9);
    fuzzrender::WriteFile("fuzz.bmp", reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size());
    fuzzrender::WriteFile("fuzz.pal", reinterpret_cast<const uint8_t*>(palette.data()), palette.size());

    ZTexture texture("fuzz.bmp", ZHashedString("fuzz"), "fuzz.pal");
    ZImage image;
    const bool readable = image.LoadBMPFromMemory(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size());
    if (texture.GetTexture() != nullptr &&
        (!readable || texture.width != image.GetWidth() || texture.height != image.GetHeight())) {
        std::abort();
    }
    return 0;
}
