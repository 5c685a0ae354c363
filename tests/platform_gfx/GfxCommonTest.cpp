// Result texts, format sizes and the texel conversions both backends use.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/gfx/gfx.h"
#include "platform/gfx/texel.h"

namespace {

// The names are the ones the renderer's log lines and error box quote.
TEST(GfxResults, NameAndDescribeEveryCode) {
    struct Case {
        gfx::Result result;
        const char* name;
    };
    const Case cases[] = {
        {gfx::Result::Ok, "D3D_OK"},
        {gfx::Result::False, "S_FALSE"},
        {gfx::Result::InvalidCall, "D3DERR_INVALIDCALL"},
        {gfx::Result::NotAvailable, "D3DERR_NOTAVAILABLE"},
        {gfx::Result::OutOfVideoMemory, "D3DERR_OUTOFVIDEOMEMORY"},
        {gfx::Result::DeviceLost, "D3DERR_DEVICELOST"},
        {gfx::Result::DeviceNotReset, "D3DERR_DEVICENOTRESET"},
        {gfx::Result::DriverInternalError, "D3DERR_DRIVERINTERNALERROR"},
        {gfx::Result::NotFound, "GFXERR_NOTFOUND"},
        {gfx::Result::OutOfMemory, "GFXERR_OUTOFMEMORY"},
        {gfx::Result::CompileFailed, "GFXERR_COMPILEFAILED"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(gfx::ResultName(c.result), c.name);
        EXPECT_GT(std::strlen(gfx::ResultDescription(c.result)), 10u) << c.name;
    }
    EXPECT_STREQ(gfx::ResultName(static_cast<gfx::Result>(-1234)), "GFXERR_UNKNOWN");
    EXPECT_TRUE(gfx::Succeeded(gfx::Result::False));
    EXPECT_TRUE(gfx::Failed(gfx::Result::DeviceLost));
}

TEST(GfxFormats, RowsOfTexelsAndBlocks) {
    struct Case {
        gfx::Format format;
        uint32_t width, height, rowBytes, rows;
    };
    const Case cases[] = {
        {gfx::Format::A8R8G8B8, 256, 224, 1024, 224}, {gfx::Format::L8, 3, 3, 3, 3},
        {gfx::Format::R16F, 5, 2, 10, 2},             {gfx::Format::A32B32G32R32F, 2, 2, 32, 2},
        {gfx::Format::DXT1, 256, 256, 512, 64},       {gfx::Format::DXT5, 256, 256, 1024, 64},
        {gfx::Format::DXT1, 2, 1, 8, 1},              {gfx::Format::DXT3, 6, 6, 32, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gfx::RowBytes(c.format, c.width), c.rowBytes) << gfx::FormatName(c.format);
        EXPECT_EQ(gfx::RowCount(c.format, c.height), c.rows) << gfx::FormatName(c.format);
    }
    EXPECT_EQ(static_cast<uint32_t>(gfx::Format::X8R8G8B8), 22u) << "the code the mode log prints";
    EXPECT_EQ(gfx::DisplayFormatBits(gfx::Format::X1R5G5B5), 16u);
    EXPECT_EQ(gfx::DisplayFormatBits(gfx::Format::L8), 0u);
}

// DXT3's explicit alpha and DXT1's colour rounding, texel by texel.
TEST(GfxTexels, DecodeBlocksIntoBgra) {
    uint8_t block[16] = {};
    for (int t = 0; t < 16; ++t) block[t / 2] |= static_cast<uint8_t>((t & 15) << (4 * (t & 1)));  // alpha t
    const uint16_t c0 = 0x8410, c1 = 0x0000;  // grey (r 16, g 32, b 16) and black
    std::memcpy(block + 8, &c0, 2);
    std::memcpy(block + 10, &c1, 2);
    const uint32_t indices = 0xAAAAAAAA;  // every texel index 2: (2 * c0 + c1 + 1) / 3
    std::memcpy(block + 12, &indices, 4);
    uint8_t out[4 * 4 * 4];
    gfx::DecodeBlocksBGRA(gfx::Format::DXT3, block, 16, 4, 4, out, 16);
    const uint8_t grey5 = (16 << 3) | (16 >> 2), grey6 = (32 << 2) | (32 >> 4);
    for (int t = 0; t < 16; ++t) {
        EXPECT_EQ(out[t * 4 + 0], (2 * grey5 + 1) / 3) << t;
        EXPECT_EQ(out[t * 4 + 1], (2 * grey6 + 1) / 3) << t;
        EXPECT_EQ(out[t * 4 + 3], t * 17) << t;
    }
    // A 2x2 texture takes the top-left of its one block and writes nothing more.
    uint8_t small[2 * 2 * 4 + 4];
    std::memset(small, 0xEE, sizeof small);
    gfx::DecodeBlocksBGRA(gfx::Format::DXT3, block, 16, 2, 2, small, 8);
    EXPECT_EQ(small[2 * 4 + 3], 4 * 17);
    EXPECT_EQ(small[16], 0xEE);
}

TEST(GfxTexels, HalfFloatsRoundTrip) {
    const float values[] = {0.0f, 1.0f, -2.5f, 0.333f, 65504.0f, 6.1035156e-05f, 5.9604645e-08f};
    for (float v : values) {
        const float back = gfx::HalfToFloat(gfx::FloatToHalf(v));
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-3) << v;
    }
    EXPECT_EQ(gfx::FloatToHalf(1.0f), 0x3C00);
    EXPECT_EQ(gfx::FloatToHalf(1e6f), 0x7C00) << "too large becomes infinity";
    EXPECT_TRUE(std::isnan(gfx::HalfToFloat(gfx::FloatToHalf(NAN))));
}

}  // namespace
