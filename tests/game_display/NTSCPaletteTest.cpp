// The signal model's palette, the reference palette reader and the lookup
// that sends each colour to its nearest reference colour.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "game/display/NTSCPalette.h"

namespace {

bool IsGrey(const ZColor32& c) { return c.r == c.g && c.g == c.b; }

std::vector<uint8_t> PaletteFile(int16_t count, int32_t entriesPresent) {
    std::vector<uint8_t> bytes(24 + 4 * static_cast<size_t>(entriesPresent), 0);
    std::memcpy(bytes.data(), "RIFF", 4);
    std::memcpy(bytes.data() + 8, "PAL data", 8);
    bytes[22] = static_cast<uint8_t>(count);
    bytes[23] = static_cast<uint8_t>(static_cast<uint16_t>(count) >> 8);
    for (int32_t n = 0; n < entriesPresent; ++n) {
        bytes[24 + 4 * n] = static_cast<uint8_t>(n + 1);      // red
        bytes[24 + 4 * n + 1] = static_cast<uint8_t>(n + 2);  // green
        bytes[24 + 4 * n + 2] = static_cast<uint8_t>(n + 3);  // blue
        bytes[24 + 4 * n + 3] = 7;                            // flags
    }
    return bytes;
}

}  // namespace

TEST(NTSCPaletteTest, GeneratedEntriesAtTheirKnownPlaces) {
    ZColor32 p[kPaletteEntries];
    GeneratePalette(p, kDefaultTint, kDefaultIScalar, kDefaultQScalar);
    // Row 0's low level is below black: hue 13 is black.
    EXPECT_EQ(p[13], ZColor32(0, 0, 0, 255));
    // Row 0, hue 0: luma 0.397 without chroma, trunc(256 x 0.397) in each channel.
    EXPECT_EQ(p[0], ZColor32(101, 101, 101, 255));
    // Rows 2 and 3, hue 0: white (256 x 1.0 clamps to 255).
    EXPECT_EQ(p[32], ZColor32(255, 255, 255, 255));
    EXPECT_EQ(p[48], ZColor32(255, 255, 255, 255));
    EXPECT_EQ(p[255], ZColor32(255, 0, 255, 255));
    for (int i = 64; i < 255; ++i) EXPECT_EQ(p[i], ZColor32(0, 0, 0, 255)) << i;
    for (int row = 0; row < 4; ++row) {
        for (int hue : {14, 15}) EXPECT_EQ(p[row * 16 + hue], ZColor32(0, 0, 0, 255)) << row << " " << hue;
        // The hues carry colour.
        EXPECT_FALSE(IsGrey(p[row * 16 + 5])) << row;
    }
    ZColor32 again[kPaletteEntries];
    GeneratePalette(again, kDefaultTint, kDefaultIScalar, kDefaultQScalar);
    EXPECT_EQ(std::memcmp(p, again, sizeof(p)), 0);
}

TEST(NTSCPaletteTest, TuningWithoutDirectionOrOutOfRangeGivesGreysNotGarbage) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float tint, iScalar, qScalar;
        bool greys;  // hues 1..12 lose their colour
    };
    const Case cases[] = {
        {kDefaultTint, 0.0f, 0.0f, true}, {kDefaultTint, nan, 1.0f, true}, {kDefaultTint, inf, inf, true},
        {nan, 1.75f, 1.0f, false},        {inf, 1.75f, 1.0f, false},       {1e30f, 1.75f, 1.0f, false},
    };
    for (const Case& c : cases) {
        ZColor32 p[kPaletteEntries];
        GeneratePalette(p, c.tint, c.iScalar, c.qScalar);
        for (int row = 0; row < 4; ++row) {
            for (int hue = 1; hue <= 12; ++hue) {
                const ZColor32 e = p[row * 16 + hue];
                EXPECT_EQ(e.a, 255);
                if (c.greys) {
                    EXPECT_TRUE(IsGrey(e)) << "row " << row << " hue " << hue;
                }
            }
        }
        EXPECT_EQ(p[255], ZColor32(255, 0, 255, 255));
    }
    // A colour given as not-a-number is black rather than an undefined byte.
    EXPECT_EQ(YIQToColor32(nan, 0.0f, 0.0f), ZColor32(0, 0, 0, 255));
    // Far out of gamut: still a colour, never more than full.
    const ZColor32 bright = YIQToColor32(5.0f, 3.0f, -3.0f);
    EXPECT_EQ(bright.a, 255);
}

TEST(NTSCPaletteTest, ReferencePaletteReadsAtMostWhatTheDataHolds) {
    struct Case {
        int16_t count;
        int32_t present;
        bool ok;
        int32_t read;  // entries taken from the data
    };
    const Case cases[] = {
        {3, 3, true, 3},        // a short palette: the rest stays black
        {256, 256, true, 256},  // a full one
        {300, 300, false, 256}, // more than the buffer holds: the first 256
        {5, 2, false, 2},       // promises more than it has
        {-4, 4, true, 0},       // a negative count reads nothing
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = PaletteFile(c.count, c.present);
        ZColor32 p[kPaletteEntries];
        EXPECT_EQ(ParseReferencePalette(bytes.data(), bytes.size(), p), c.ok) << "count " << c.count;
        for (int32_t n = 0; n < kPaletteEntries; ++n) {
            // Stored red, green, blue, flags; the entry is a colour with the flags as alpha.
            const ZColor32 want = n < c.read ? ZColor32(static_cast<uint8_t>(n + 1), static_cast<uint8_t>(n + 2),
                                                        static_cast<uint8_t>(n + 3), 7)
                                             : ZColor32(0, 0, 0, 255);
            ASSERT_EQ(p[n], want) << "count " << c.count << " entry " << n;
        }
    }
    // Shorter than the header: black defaults, refused.
    const std::vector<uint8_t> stub(10, 0);
    ZColor32 p[kPaletteEntries];
    EXPECT_FALSE(ParseReferencePalette(stub.data(), stub.size(), p));
    EXPECT_EQ(p[0], ZColor32(0, 0, 0, 255));
    EXPECT_FALSE(ParseReferencePalette(nullptr, 0, p));
}

TEST(NTSCPaletteTest, LookupSendsEachColourToItsNearestReference) {
    // Every candidate far away (white) except the ones a case places.
    ZColor32 reference[kPaletteEntries];
    for (ZColor32& e : reference) e = ZColor32(255, 255, 255, 255);
    ZColor32 generated[kPaletteEntries];
    for (int i = 0; i < kPaletteEntries; ++i) generated[i] = ZColor32(static_cast<uint8_t>(i), 0, 0, 255);
    const auto texel = [](const std::vector<uint32_t>& image, int r, int g, int b) {
        return image[static_cast<size_t>(g) * kLookupWidth + b * 32 + r];
    };
    std::vector<uint32_t> image;

    // Equal distances from black: the smaller hue wins over the larger row order.
    reference[1 * 16 + 3] = ZColor32(20, 0, 0, 255);  // row 1, hue 3
    reference[2 * 16 + 2] = ZColor32(0, 20, 0, 255);  // row 2, hue 2
    BuildPaletteLookup(reference, generated, image);
    ASSERT_EQ(image.size(), static_cast<size_t>(kLookupWidth) * kLookupHeight);
    EXPECT_EQ(texel(image, 0, 0, 0), 0xFF000000u | 34u << 16);

    // Within one hue, the smaller row wins.
    for (ZColor32& e : reference) e = ZColor32(255, 255, 255, 255);
    reference[3 * 16 + 5] = ZColor32(0, 0, 20, 255);
    reference[1 * 16 + 5] = ZColor32(20, 0, 0, 255);
    BuildPaletteLookup(reference, generated, image);
    EXPECT_EQ(texel(image, 0, 0, 0), 0xFF000000u | 21u << 16);

    // Levels spread over 0..255: level 31 is 255, and the nearer colour wins.
    reference[0 * 16 + 7] = ZColor32(250, 0, 0, 255);
    BuildPaletteLookup(reference, generated, image);
    EXPECT_EQ(texel(image, 31, 0, 0), 0xFF000000u | 7u << 16);
    // Columns 14 and 15 and rows past 3 are never candidates.
    reference[14] = ZColor32(0, 0, 0, 255);
    reference[64] = ZColor32(0, 0, 0, 255);
    BuildPaletteLookup(reference, generated, image);
    EXPECT_EQ(texel(image, 0, 0, 0), 0xFF000000u | 21u << 16);
}
