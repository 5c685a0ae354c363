// crtgen OUTDIR: writes the generated data of the CRT display into OUTDIR:
//   nes_palette_w_trans.pal      the reference palette the game's art is
//                                drawn in (the signal model's palette at the
//                                default tuning, so the NTSC lookup keeps
//                                these colours as they are at the defaults)
//   scanlines_tall_crt_wide.dds  one scanline of the tube: brightness profile
//                                down (alpha), shadow-mask stripes across
//   ntschack.bmp                 the colour subcarrier's phase per pixel
//                                (4 across) and line (2 down)
//   static.dds, static_line.dds, crt_dist_1.dds
//                                the TV static's noise, its rolling bright
//                                band and the tube's wobble (red/green: the
//                                offset, 128 = none)
//   demo_attr_1.bmp .. demo_attr_7.bmp
//                                the attract pictures shown through the static
//   crttuner_back.bmp, crttuner_ball.bmp
//                                the tuner's dial plate and its ball
//   minimapback.bmp, minimapflashback.bmp
//                                the minimap's plate and the room indicator
//                                (4 frames across, 2 rows)
//   blank.bmp                    the world tiles' placeholder
//   crtref.bmp, ntsc.pal         the CRT reference picture (256 x 224, 8-bit,
//                                in the reference palette: colour bars over
//                                every colour of the palette) and its palette
//   bullet.bmp, popblock.bmp, hiddenblock.bmp
//                                the placed actors' pictures: a bullet, a
//                                block that pops out of hiding, a block only
//                                the mask shows
//   NPC_Palettes.bmp             the characters' palettes: one row per
//                                palette, the colours that replace the
//                                sheet's red, green and blue
//   Screen.m3d, Monitor2.m3d     the tube's curved glass and the monitor case
//
// Magenta (255, 0, 255) is see-through in the pictures the overlays draw.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "game/display/NTSCPalette.h"
#include "tools/crtgen/CRTArt.h"

namespace {

void Put16(std::vector<uint8_t>& out, const uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, const uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
            std::fprintf(stderr, "crtgen: cannot write %s\n", temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "crtgen: cannot rename %s to %s\n", temp.c_str(), path.c_str());
        return false;
    }
    return true;
}

std::vector<uint8_t> Palette() {
    ZColor32 palette[kPaletteEntries];
    GeneratePalette(palette, kDefaultTint, kDefaultIScalar, kDefaultQScalar);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 4 + 8 + 4 + 4 * kPaletteEntries);
    PutTag(out, "PAL ");
    PutTag(out, "data");
    Put32(out, 4 + 4 * kPaletteEntries);
    Put16(out, 0x0300);
    Put16(out, kPaletteEntries);
    for (const ZColor32& c : palette) {
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
        out.push_back(0);
    }
    return out;
}

// 6 x 16 texels, A8R8G8B8. Across: red, green and blue stripes, two texels
// each, each keeping some of the other colours. Down: bright in the middle of
// the line, dark between lines. The glass (screen.fxo) draws these same
// levels, blended as a linear filter blends them, without reading the
// texture: change both together.
std::vector<uint8_t> Scanlines() {
    constexpr uint32_t kWidth = 6, kHeight = 16;
    std::vector<uint8_t> out;
    PutTag(out, "DDS ");
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // caps, height, width, pitch, pixel format
    Put32(out, kHeight);
    Put32(out, kWidth);
    Put32(out, kWidth * 4);
    Put32(out, 0);  // depth
    Put32(out, 0);  // mip levels
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);           // pixel format size
    Put32(out, 0x1 | 0x40);   // alpha pixels, RGB
    Put32(out, 0);            // no four-character code
    Put32(out, 32);           // bits
    Put32(out, 0x00FF0000u);  // red
    Put32(out, 0x0000FF00u);  // green
    Put32(out, 0x000000FFu);  // blue
    Put32(out, 0xFF000000u);  // alpha
    Put32(out, 0x1000);       // texture
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (uint32_t y = 0; y < kHeight; ++y) {
        const double s = std::sin(3.14159265358979 * (y + 0.5) / kHeight);
        const double profile = 0.35 + 0.65 * s * s;
        const uint8_t alpha = static_cast<uint8_t>(std::lround(profile * 255.0));
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint32_t stripe = x / 2;
            uint8_t rgb[3] = {140, 140, 140};
            rgb[stripe] = 255;
            out.push_back(rgb[2]);  // blue, green, red, alpha in memory
            out.push_back(rgb[1]);
            out.push_back(rgb[0]);
            out.push_back(alpha);
        }
    }
    return out;
}

// 4 x 2, 24-bit, bottom row first: red = 64 x the phase in quarter turns,
// advancing one quarter per pixel and two per line.
std::vector<uint8_t> PhaseTexture() {
    constexpr uint32_t kWidth = 4, kHeight = 2, kRow = kWidth * 3;  // rows need no padding
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + kRow * kHeight);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, kWidth);
    Put32(out, kHeight);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, kRow * kHeight);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t y = kHeight - 1; y >= 0; --y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint32_t quarters = (x + 2 * static_cast<uint32_t>(y)) % 4;
            out.push_back(0);
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(quarters * 64));
        }
    }
    return out;
}

// 256 x 224, 8 bits per pixel in the reference palette. Top: eight bars
// (white, yellow, cyan, green, magenta, red, blue, black) with a white frame
// and a centre cross; bottom: the 64 colours of the palette, 16 across.
std::vector<uint8_t> ReferencePicture() {
    constexpr uint32_t kWidth = 256, kHeight = 224, kBars = 160;
    static constexpr uint8_t kBarColours[8] = {0x30, 0x28, 0x2C, 0x2A, 0x24, 0x16, 0x12, 0x0F};
    ZColor32 palette[kPaletteEntries];
    GeneratePalette(palette, kDefaultTint, kDefaultIScalar, kDefaultQScalar);
    std::vector<uint8_t> out{'B', 'M'};
    const uint32_t offset = 14 + 40 + 4 * kPaletteEntries;
    Put32(out, offset + kWidth * kHeight);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, kWidth);
    Put32(out, kHeight);
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);
    Put32(out, kWidth * kHeight);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, kPaletteEntries);
    Put32(out, 0);
    for (const ZColor32& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (uint32_t y = kHeight; y-- > 0;) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t index = 0;
            if (y < kBars) {
                const bool frame = x < 2 || x >= kWidth - 2 || y < 2;
                const bool cross = (x >= 127 && x <= 128 && y >= 64 && y < 96) || (y >= 79 && y <= 80 && x >= 112 && x < 144);
                index = frame || cross ? 0x30 : kBarColours[x / 32];
            } else {
                index = static_cast<uint8_t>((y - kBars) / 16 * 16 + x / 16);
            }
            out.push_back(index);
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: crtgen OUTDIR\n"
                     "Writes the CRT display's generated files into OUTDIR: nes_palette_w_trans.pal,\n"
                     "scanlines_tall_crt_wide.dds, ntschack.bmp, the static, attract, tuner and\n"
                     "minimap pictures, blank.bmp, and the tube and case meshes Screen.m3d and\n"
                     "Monitor2.m3d.\n");
        return argc == 2 ? 0 : 2;
    }
    const std::string dir = argv[1];
    const bool ok = Write(dir + "/" + kReferencePaletteFile, Palette()) &&
                    Write(dir + "/scanlines_tall_crt_wide.dds", Scanlines()) &&
                    Write(dir + "/ntschack.bmp", PhaseTexture()) && Write(dir + "/ntsc.pal", Palette()) &&
                    Write(dir + "/crtref.bmp", ReferencePicture());
    if (!ok) return 1;
    for (const CRTArtFile& file : MakeCRTArt()) {
        if (!Write(dir + "/" + file.name, file.bytes)) return 1;
    }
    return 0;
}
