// The texbuild tool and its block encoders: DXT output is decoded with the
// graphics layer's own decoder, so the encoder is checked against what the
// engine will show.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/gfx/texel.h"
#include "support/TempDir.h"
#include "tools/texbuild/TextureEncode.h"
#include "tools_art/ArtFiles.h"

namespace {

using arttest::Quoted;
using arttest::RunTool;

// Decodes level 0 of a DDS built by BuildDds into R, G, B, A texels.
std::vector<uint8_t> DecodeLevel0(const std::vector<uint8_t>& dds, gfx::Format format, uint32_t w,
                                  uint32_t h) {
    std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
    const uint32_t blockBytes = format == gfx::Format::DXT1 ? 8 : 16;
    gfx::DecodeBlocksBGRA(format, dds.data() + 128, std::max(1u, w / 4) * blockBytes, w, h, bgra.data(),
                          w * 4);
    for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    return bgra;
}

korvart::Picture Gradient(uint32_t w, uint32_t h) {
    korvart::Picture pic(w, h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* t = pic.At(x, y);
            t[0] = static_cast<uint8_t>(x * 255 / (w - 1));
            t[1] = static_cast<uint8_t>(y * 255 / (h - 1));
            t[2] = static_cast<uint8_t>(255 - (x + y) * 255 / (w + h - 2));
            t[3] = static_cast<uint8_t>((x * 3 + y) * 255 / (3 * (w - 1) + (h - 1)));
        }
    }
    return pic;
}

// Every colour block must be readable the same way by decoders that treat
// DXT5 colour as DXT1 (three colours when colour0 <= colour1): either
// colour0 > colour1, or both equal with every index 0.
void ExpectPortableColourBlocks(const std::vector<uint8_t>& dds, size_t blocks) {
    for (size_t i = 0; i < blocks; ++i) {
        const size_t at = 128 + i * 16 + 8;
        const uint16_t c0 = arttest::U16(dds, at), c1 = arttest::U16(dds, at + 2);
        if (c0 == c1) {
            EXPECT_EQ(arttest::U32(dds, at + 4), 0u) << "block " << i;
        } else {
            EXPECT_GT(c0, c1) << "block " << i;
        }
    }
}

// A ramp along one colour line fits a block's four-entry palette closely;
// colours that vary in two directions inside a block (a plane, not a line)
// cannot, and are held to a looser bound. A broken encoder misses both by far.
TEST(TexBuildEncode, Dxt5GradientsDecodeClose) {
    struct Case {
        const char* name;
        bool plane;
        int worstColour;
        double rms;
    };
    const Case cases[] = {
        {"ramp along a line", false, 5, 2.0},
        {"ramp over a plane", true, 12, 3.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korvart::Picture pic = Gradient(64, 64);
        if (!c.plane) {
            for (uint32_t y = 0; y < 64; ++y) {
                for (uint32_t x = 0; x < 64; ++x) {
                    uint8_t* t = pic.At(x, y);
                    t[0] = static_cast<uint8_t>(x * 4);
                    t[1] = static_cast<uint8_t>(x * 2);
                    t[2] = static_cast<uint8_t>(255 - x * 4);
                }
            }
        }
        std::vector<uint8_t> dds;
        std::string error;
        ASSERT_TRUE(korvart::BuildDds(pic, korvart::TexFormat::Dxt5, false, dds, error)) << error;
        ASSERT_EQ(dds.size(), 128u + 16u * 16u * 16u);
        const std::vector<uint8_t> decoded = DecodeLevel0(dds, gfx::Format::DXT5, 64, 64);
        int worstColour = 0, worstAlpha = 0;
        double squares = 0;
        for (size_t i = 0; i < decoded.size(); ++i) {
            const int d = std::abs(decoded[i] - pic.rgba[i]);
            if (i % 4 == 3) {
                worstAlpha = std::max(worstAlpha, d);
            } else {
                worstColour = std::max(worstColour, d);
                squares += d * d;
            }
        }
        EXPECT_LE(worstColour, c.worstColour);
        EXPECT_LT(std::sqrt(squares / (64.0 * 64.0 * 3.0)), c.rms);
        EXPECT_LE(worstAlpha, 2);  // the alpha ramp is one-dimensional in every block
        ExpectPortableColourBlocks(dds, 256);
    }
}

TEST(TexBuildEncode, Dxt5FlatBlocks) {
    struct Case {
        uint8_t r, g, b, a;
        int tolerance;  // colour; alpha is always exact
    };
    const Case cases[] = {
        {255, 255, 255, 255, 0},  // colours 5:6:5 holds exactly come back exactly
        {0, 0, 0, 0, 0},         {255, 0, 0, 128, 0},    {0, 255, 0, 1, 0},    {0x84, 0x82, 0x10, 200, 0},
        {255, 255, 255, 0, 0},   // a transparent white glyph texel
        {128, 128, 128, 77, 1},  // others come within one step
        {1, 2, 3, 254, 1},       {200, 100, 50, 255, 1}, {37, 201, 90, 13, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a));
        korvart::Picture pic(8, 4);
        for (size_t i = 0; i < pic.rgba.size(); i += 4) {
            pic.rgba[i] = c.r;
            pic.rgba[i + 1] = c.g;
            pic.rgba[i + 2] = c.b;
            pic.rgba[i + 3] = c.a;
        }
        std::vector<uint8_t> dds;
        std::string error;
        ASSERT_TRUE(korvart::BuildDds(pic, korvart::TexFormat::Dxt5, false, dds, error));
        const std::vector<uint8_t> decoded = DecodeLevel0(dds, gfx::Format::DXT5, 8, 4);
        for (size_t i = 0; i < decoded.size(); i += 4) {
            EXPECT_LE(std::abs(decoded[i] - c.r), c.tolerance);
            EXPECT_LE(std::abs(decoded[i + 1] - c.g), c.tolerance);
            EXPECT_LE(std::abs(decoded[i + 2] - c.b), c.tolerance);
            ASSERT_EQ(decoded[i + 3], c.a);
        }
        ExpectPortableColourBlocks(dds, 2);
    }
}

// Glyph edges: blocks mixing fully transparent, fully opaque and a few
// in-between alphas keep 0 and 255 exact.
TEST(TexBuildEncode, Dxt5KeepsClearAndSolidAlphaExact) {
    korvart::Picture pic(4, 4);
    const uint8_t alphas[16] = {0, 0, 255, 255, 0, 90, 255, 255, 0, 160, 255, 0, 0, 0, 255, 40};
    for (int t = 0; t < 16; ++t) {
        uint8_t* p = &pic.rgba[static_cast<size_t>(t) * 4];
        p[0] = p[1] = p[2] = 255;
        p[3] = alphas[t];
    }
    std::vector<uint8_t> dds;
    std::string error;
    ASSERT_TRUE(korvart::BuildDds(pic, korvart::TexFormat::Dxt5, false, dds, error));
    const std::vector<uint8_t> decoded = DecodeLevel0(dds, gfx::Format::DXT5, 4, 4);
    for (int t = 0; t < 16; ++t) {
        const int a = decoded[static_cast<size_t>(t) * 4 + 3];
        if (alphas[t] == 0 || alphas[t] == 255) {
            EXPECT_EQ(a, alphas[t]) << t;
        } else {
            EXPECT_LE(std::abs(a - alphas[t]), 14) << t;
        }
        EXPECT_EQ(decoded[static_cast<size_t>(t) * 4], 255);
    }
}

TEST(TexBuildEncode, Dxt1CutsAlphaAtHalf) {
    korvart::Picture pic(4, 4);
    for (int t = 0; t < 16; ++t) {
        uint8_t* p = &pic.rgba[static_cast<size_t>(t) * 4];
        p[0] = static_cast<uint8_t>(t < 8 ? 255 : 0);
        p[1] = 0;
        p[2] = static_cast<uint8_t>(t < 8 ? 0 : 255);
        p[3] = static_cast<uint8_t>(t % 4 == 0 ? 127 : 128 + t);
    }
    std::vector<uint8_t> dds;
    std::string error;
    ASSERT_TRUE(korvart::BuildDds(pic, korvart::TexFormat::Dxt1, false, dds, error));
    ASSERT_EQ(dds.size(), 128u + 8u);
    const std::vector<uint8_t> decoded = DecodeLevel0(dds, gfx::Format::DXT1, 4, 4);
    for (int t = 0; t < 16; ++t) {
        const uint8_t* d = &decoded[static_cast<size_t>(t) * 4];
        if (t % 4 == 0) {
            EXPECT_EQ(d[3], 0) << t;
        } else {
            EXPECT_EQ(d[3], 255) << t;
            EXPECT_EQ(d[0], t < 8 ? 255 : 0) << t;  // pure red and pure blue survive
            EXPECT_EQ(d[2], t < 8 ? 0 : 255) << t;
        }
    }
}

TEST(TexBuild, HelpAndUsage) {
    struct Case {
        const char* arguments;
        int status;
        const char* shows;
    };
    const Case cases[] = {
        {"--help", 0, "usage: texbuild"},
        {"", 2, "usage: texbuild"},
        {"a.png", 2, "usage: texbuild"},
        {"a.png b.tga", 2, "the output must end in .dds or .bmp"},
        {"--format dxt3 a.png b.dds", 2, "format \"dxt3\" is not one of argb, rgb, dxt5, dxt1"},
        {"--format bmp24 a.png b.dds", 2, "is not one of argb"},
        {"--format dxt5 a.png b.bmp", 2, "is not one of bmp24, bmp32"},
        {"--mips a.png b.bmp", 2, "--mips is for .dds files only"},
        {"--bogus a.png b.dds", 2, "unknown option \"--bogus\""},
        {"/no/such.png out.dds", 1, "/no/such.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const arttest::ToolRun run = RunTool("texbuild", c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.shows), std::string::npos) << run.output;
    }
}

TEST(TexBuild, NotAPngIsRefused) {
    korvtest::TempDir dir;
    dir.Write("fake.png", "this is text, not a picture");
    const arttest::ToolRun run =
        RunTool("texbuild", Quoted(dir.File("fake.png")) + " " + Quoted(dir.File("out.dds")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("fake.png"), std::string::npos) << run.output;
    EXPECT_TRUE(dir.Read("out.dds").empty());
}

// The headers the engine's DDS reader relies on, for each format.
TEST(TexBuild, DdsHeaders) {
    struct Case {
        const char* format;
        bool mips;
        uint32_t flags;  // header flags
        uint32_t pfFlags;
        const char* fourCC;
        uint32_t bitCount;
        uint32_t levels;
        size_t bytes;  // whole file
    };
    // 16 x 8 picture: a full chain is 16x8, 8x4, 4x2, 2x1, 1x1.
    const Case cases[] = {
        {"argb", false, 0x100F, 0x41, "\0\0\0\0", 32, 1, 128 + 16 * 8 * 4},
        {"rgb", false, 0x100F, 0x40, "\0\0\0\0", 24, 1, 128 + 16 * 8 * 3},
        {"dxt5", false, 0x81007, 0x4, "DXT5", 0, 1, 128 + 4 * 2 * 16},
        {"dxt1", false, 0x81007, 0x4, "DXT1", 0, 1, 128 + 4 * 2 * 8},
        {"argb", true, 0x2100F, 0x41, "\0\0\0\0", 32, 5, 128 + (128 + 32 + 8 + 2 + 1) * 4},
        {"dxt5", true, 0xA1007, 0x4, "DXT5", 0, 5, 128 + (8 + 2 + 1 + 1 + 1) * 16},
    };
    korvtest::TempDir dir;
    std::string error;
    ASSERT_TRUE(korvart::WritePng(dir.File("in.png"), Gradient(16, 8), error)) << error;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << (c.mips ? " with mips" : ""));
        const arttest::ToolRun run =
            RunTool("texbuild", std::string("--format ") + c.format + (c.mips ? " --mips " : " ") +
                                    Quoted(dir.File("in.png")) + " " + Quoted(dir.File("out.dds")));
        ASSERT_EQ(run.status, 0) << run.output;
        const std::vector<uint8_t> file = arttest::ReadBytes(dir.File("out.dds"));
        const arttest::DdsInfo info = arttest::ParseDds(file);
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(info.headerSize, 124u);
        EXPECT_EQ(info.flags, c.flags);
        EXPECT_EQ(info.width, 16u);
        EXPECT_EQ(info.height, 8u);
        EXPECT_EQ(info.pfFlags, c.pfFlags);
        EXPECT_EQ(info.fourCC, std::string(c.fourCC, 4));
        EXPECT_EQ(info.bitCount, c.bitCount);
        EXPECT_EQ(info.Levels(), c.levels);
        EXPECT_EQ(info.caps2 & 0x200, 0u);  // not a cube map
        EXPECT_EQ(info.pitchOrLinearSize,
                  info.Compressed() ? info.LevelBytes(0) : info.width * info.bitCount / 8);
        size_t expected = 128;
        for (uint32_t level = 0; level < info.Levels(); ++level) expected += info.LevelBytes(level);
        EXPECT_EQ(file.size(), expected);
        EXPECT_EQ(file.size(), c.bytes);
        if (c.bitCount == 32) {
            EXPECT_EQ(info.masks[0], 0x00FF0000u);
            EXPECT_EQ(info.masks[3], 0xFF000000u);
        }
    }
}

TEST(TexBuild, UncompressedTexelsKeepTheirValues) {
    korvtest::TempDir dir;
    const korvart::Picture pic = Gradient(8, 4);
    std::string error;
    ASSERT_TRUE(korvart::WritePng(dir.File("in.png"), pic, error)) << error;
    const arttest::ToolRun run =
        RunTool("texbuild", Quoted(dir.File("in.png")) + " " + Quoted(dir.File("out.dds")));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<uint8_t> file = arttest::ReadBytes(dir.File("out.dds"));
    const arttest::DdsInfo info = arttest::ParseDds(file);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            const arttest::Rgba t = arttest::DdsTexel(file, info, x, y);
            const uint8_t* p = pic.At(x, y);
            EXPECT_TRUE(t.r == p[0] && t.g == p[1] && t.b == p[2] && t.a == p[3]) << x << "," << y;
        }
    }
}

// The engine's reader counts max(1, side / 4) blocks, so a compressed level
// of side 6 would lose its last column of blocks: such pictures are refused.
TEST(TexBuild, CompressedSidesMustFitWholeBlocks) {
    struct Case {
        uint32_t w, h;
        bool mips;
        bool accepted;
    };
    const Case cases[] = {
        {8, 8, true, true},                          // 8, 4, 2, 1
        {4, 12, false, true},  {2, 2, false, true},  // a single partial block
        {6, 8, false, false},  {8, 10, false, false},
        {24, 24, false, true}, {24, 24, true, false},  // level 2 is 6 x 6
    };
    korvtest::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << (c.mips ? " with mips" : ""));
        std::string error;
        ASSERT_TRUE(korvart::WritePng(dir.File("in.png"), Gradient(c.w, c.h), error));
        std::remove(dir.File("out.dds").c_str());
        const arttest::ToolRun run =
            RunTool("texbuild", std::string("--format dxt5") + (c.mips ? " --mips " : " ") +
                                    Quoted(dir.File("in.png")) + " " + Quoted(dir.File("out.dds")));
        EXPECT_EQ(run.status, c.accepted ? 0 : 1) << run.output;
        if (!c.accepted) {
            EXPECT_NE(run.output.find("multiples of 4"), std::string::npos) << run.output;
            EXPECT_TRUE(dir.Read("out.dds").empty());
        }
    }
}

TEST(TexBuild, BmpHeadersAndRows) {
    struct Case {
        const char* format;  // empty: chosen by the picture
        bool alpha;          // picture has a translucent texel
        uint16_t bits;
        uint32_t pitch;
    };
    const Case cases[] = {
        {"bmp24", false, 24, 12}, {"bmp32", false, 32, 12}, {"", false, 24, 12},
        {"", true, 32, 12},       {"bmp24", true, 24, 12},
    };
    korvtest::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.format << "' alpha " << c.alpha);
        // 3 x 2: each texel a distinct colour.
        korvart::Picture pic(3, 2);
        for (uint32_t i = 0; i < 6; ++i) {
            pic.rgba[i * 4] = static_cast<uint8_t>(10 + i);
            pic.rgba[i * 4 + 1] = static_cast<uint8_t>(100 + i);
            pic.rgba[i * 4 + 2] = static_cast<uint8_t>(200 + i);
            pic.rgba[i * 4 + 3] = static_cast<uint8_t>(c.alpha && i == 4 ? 50 : 255);
        }
        std::string error;
        ASSERT_TRUE(korvart::WritePng(dir.File("in.png"), pic, error));
        const std::string format = *c.format ? std::string("--format ") + c.format + " " : "";
        const arttest::ToolRun run =
            RunTool("texbuild", format + Quoted(dir.File("in.png")) + " " + Quoted(dir.File("out.bmp")));
        ASSERT_EQ(run.status, 0) << run.output;
        const std::vector<uint8_t> b = arttest::ReadBytes(dir.File("out.bmp"));
        const uint32_t imageSize = c.pitch * 2;
        ASSERT_EQ(b.size(), 54u + imageSize);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(arttest::U32(b, 2), 54u + imageSize);  // file size
        EXPECT_EQ(arttest::U32(b, 6), 0u);               // reserved
        EXPECT_EQ(arttest::U32(b, 10), 54u);             // pixel data offset
        EXPECT_EQ(arttest::U32(b, 14), 40u);             // info header size
        EXPECT_EQ(arttest::U32(b, 18), 3u);              // width
        EXPECT_EQ(arttest::U32(b, 22), 2u);              // height, positive: bottom-up
        EXPECT_EQ(arttest::U16(b, 26), 1u);              // planes
        EXPECT_EQ(arttest::U16(b, 28), c.bits);
        EXPECT_EQ(arttest::U32(b, 30), 0u);  // uncompressed
        EXPECT_EQ(arttest::U32(b, 34), imageSize);
        const uint32_t bytes = c.bits / 8u;
        for (uint32_t y = 0; y < 2; ++y) {
            const size_t row = 54 + static_cast<size_t>(1 - y) * c.pitch;  // file rows run bottom-up
            for (uint32_t x = 0; x < 3; ++x) {
                const uint8_t* p = pic.At(x, y);
                const size_t at = row + x * bytes;
                EXPECT_EQ(b[at], p[2]);
                EXPECT_EQ(b[at + 1], p[1]);
                EXPECT_EQ(b[at + 2], p[0]);
                if (bytes == 4) {
                    EXPECT_EQ(b[at + 3], p[3]);
                }
            }
            for (uint32_t pad = 3 * bytes; pad < c.pitch; ++pad) EXPECT_EQ(b[row + pad], 0) << "padding";
        }
    }
}

}  // namespace
