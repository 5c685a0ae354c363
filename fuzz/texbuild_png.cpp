// texbuild's PNG input: any file either reads as a picture of 1..8192 texels a
// side with four bytes a texel, or is refused with a message; what reads
// becomes a DDS in each format with its full mip chain.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/FuzzTempFolder.h"
#include "tools/texbuild/TextureEncode.h"

namespace {

const std::string& Path() {
    static const std::string path = fuzz::TempFolder("texbuild_png") + "/in.png";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) {
        return 0;
    }
    std::FILE* file = std::fopen(Path().c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    korvart::Picture picture;
    std::string error;
    if (!korvart::ReadPng(Path(), picture, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (picture.width == 0 || picture.height == 0 || picture.width > korvart::kMaxSide ||
        picture.height > korvart::kMaxSide ||
        picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
        std::abort();
    }
    // Encoding is the slow part; small pictures cover its paths.
    if (static_cast<size_t>(picture.width) * picture.height > 128 * 128) {
        return 0;
    }
    for (const korvart::TexFormat format :
         {korvart::TexFormat::Argb, korvart::TexFormat::Rgb, korvart::TexFormat::Dxt1, korvart::TexFormat::Dxt5}) {
        std::vector<uint8_t> dds;
        std::string why;
        if (korvart::BuildDds(picture, format, true, dds, why) ? dds.size() < 128 : why.empty()) {
            std::abort();
        }
    }
    return 0;
}
