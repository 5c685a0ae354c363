// texbuild: turns a PNG picture into a texture file the engine loads.
//   texbuild [--format F] [--mips] IN.png OUT.dds|OUT.bmp

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/texbuild/TextureEncode.h"

namespace {

const char* const kUsage =
    "usage: texbuild [--format FORMAT] [--mips] IN.png OUT.dds|OUT.bmp\n"
    "\n"
    "Converts a PNG picture (any PNG colour type; it is read as 8-bit RGBA) into a\n"
    "texture file. The output's ending picks the kind of file:\n"
    "\n"
    "  .dds   FORMAT argb  32-bit A8R8G8B8, uncompressed (the default)\n"
    "                rgb   24-bit R8G8B8, uncompressed, alpha dropped\n"
    "                dxt5  DXT5 blocks: interpolated alpha, 4:1 compression\n"
    "                dxt1  DXT1 blocks: alpha below 128 becomes transparent\n"
    "  .bmp   FORMAT bmp24 24-bit, alpha dropped (the default for an opaque picture)\n"
    "                bmp32 32-bit B, G, R, A (the default when any texel has alpha)\n"
    "\n"
    "  --mips    store a full chain of mip levels (DDS only), each level the\n"
    "            2 x 2 average of the one above\n"
    "  --help    show this text\n"
    "\n"
    "DXT pictures need sides that are multiples of 4 on every stored level (a\n"
    "level side below 4 is fine). Pictures are at most 8192 texels per side.\n";

bool EndsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        const char a = s[s.size() - n + i];
        if ((a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) != suffix[i]) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    std::string format;
    bool mips = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--format" && i + 1 < argc) {
            format = argv[++i];
        } else if (arg == "--mips") {
            mips = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "texbuild: unknown option \"%s\"\n\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& input = positional[0];
    const std::string& output = positional[1];
    const bool dds = EndsWith(output, ".dds");
    const bool bmp = EndsWith(output, ".bmp");
    if (!dds && !bmp) {
        std::fprintf(stderr, "texbuild: %s: the output must end in .dds or .bmp\n", output.c_str());
        return 2;
    }
    korvart::TexFormat texFormat = korvart::TexFormat::Argb;
    uint32_t bmpBits = 0;
    if (dds) {
        if (format.empty() || format == "argb") {
            texFormat = korvart::TexFormat::Argb;
        } else if (format == "rgb") {
            texFormat = korvart::TexFormat::Rgb;
        } else if (format == "dxt5") {
            texFormat = korvart::TexFormat::Dxt5;
        } else if (format == "dxt1") {
            texFormat = korvart::TexFormat::Dxt1;
        } else {
            std::fprintf(stderr, "texbuild: format \"%s\" is not one of argb, rgb, dxt5, dxt1 for a .dds\n",
                         format.c_str());
            return 2;
        }
    } else {
        if (mips) {
            std::fputs("texbuild: --mips is for .dds files only\n", stderr);
            return 2;
        }
        if (format == "bmp24") {
            bmpBits = 24;
        } else if (format == "bmp32") {
            bmpBits = 32;
        } else if (!format.empty()) {
            std::fprintf(stderr, "texbuild: format \"%s\" is not one of bmp24, bmp32 for a .bmp\n",
                         format.c_str());
            return 2;
        }
    }

    korvart::Picture picture;
    std::string error;
    if (!korvart::ReadPng(input, picture, error)) {
        std::fprintf(stderr, "texbuild: %s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (dds) {
        if (!korvart::BuildDds(picture, texFormat, mips, bytes, error)) {
            std::fprintf(stderr, "texbuild: %s: %s\n", input.c_str(), error.c_str());
            return 1;
        }
    } else {
        if (bmpBits == 0) bmpBits = picture.IsOpaque() ? 24 : 32;
        bytes = korvart::BuildBmp(picture, bmpBits);
    }
    if (!korvart::WriteFileAtomic(output, bytes, error)) {
        std::fprintf(stderr, "texbuild: %s\n", error.c_str());
        return 1;
    }
    if (dds) {
        std::printf("texbuild: %s -> %s (%u x %u, %s%s)\n", input.c_str(), output.c_str(), picture.width,
                    picture.height, korvart::TexFormatName(texFormat), mips ? ", mips" : "");
    } else {
        std::printf("texbuild: %s -> %s (%u x %u, %u-bit BMP)\n", input.c_str(), output.c_str(),
                    picture.width, picture.height, bmpBits);
    }
    return 0;
}
