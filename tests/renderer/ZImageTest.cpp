// The CPU-side picture: sizes and headers, pixels, blits, the BMP reader and
// writer and RIFF palettes.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORV_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORV_TEST_ASAN 1
#endif
#ifdef KORV_TEST_ASAN
// The sanitizer runtime's allocation hooks (GCC ships no header for them).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#endif

#include "RendererFiles.h"
#include "renderer/ZImage.h"
#include "support/TempDir.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// A 256-entry palette whose entry i is (R i, G 255 - i, B i / 2).
std::string RampPalette() {
    std::string out;
    for (uint32_t i = 0; i < 256; ++i) {
        rfiles::Put8(out, i / 2);
        rfiles::Put8(out, 255 - i);
        rfiles::Put8(out, i);
        rfiles::Put8(out, 0);
    }
    return out;
}

#ifdef KORV_TEST_ASAN
std::atomic<size_t> gLargestAllocation{0};
void NoteAllocation(const volatile void*, size_t size) {
    size_t seen = gLargestAllocation.load();
    while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
    }
}
void NoteFree(const volatile void*) {}
#endif

}  // namespace

TEST(ZImage, CreateSizesRowsAndHeaders) {
    struct Case {
        int32_t w, h;
        uint32_t bytes;
        bool ok;
        uint32_t pitch, imageSize, offBits;
    };
    const Case cases[] = {
        {3, 2, 3, true, 12, 24, 54},
        {5, 1, 1, true, 8, 8, 54 + 1024},
        {2, 3, 4, true, 8, 24, 54},
        {0, 1, 3, false, 0, 0, 0},
        {1, 1, 2, false, 0, 0, 0},
        {16385, 1, 4, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << "x" << c.bytes);
        ZImage image;
        ASSERT_EQ(image.Create(c.w, c.h, c.bytes, c.bytes * 8), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(image.IsEmpty());
            continue;
        }
        EXPECT_EQ(image.GetPitch(), c.pitch);
        EXPECT_EQ(image.GetInfoHeader().sizeImage, c.imageSize);
        EXPECT_EQ(image.GetFileHeader().offBits, c.offBits);
        EXPECT_EQ(image.GetFileHeader().size, c.offBits + c.imageSize);
        EXPECT_EQ(image.GetFileHeader().type, 0x4D42);
        EXPECT_EQ(image.GetInfoHeader().bitCount, c.bytes * 8);
        EXPECT_EQ(image.GetInfoHeader().height, c.h);
        EXPECT_EQ(image.GetPaletteCount(), c.bytes == 1 ? 256u : 0u);
    }
}

TEST(ZImage, PixelsByDepth) {
    ZImage rgba, rgb, indexed;
    ASSERT_TRUE(rgba.Create(2, 2, 4, 32));
    ASSERT_TRUE(rgb.Create(2, 2, 3, 24));
    ASSERT_TRUE(indexed.Create(2, 2, 1, 8));
    for (ZImage* image : {&rgba, &rgb, &indexed}) image->SetPixel(1, 0, 0x80402010u);
    EXPECT_EQ(rgba.GetPixel(1, 0), 0x80402010u);
    EXPECT_EQ(rgb.GetPixel(1, 0), 0xFF402010u);
    // An indexed pixel stores the colour's red byte and reads its palette entry.
    EXPECT_EQ(indexed.GetPixels()[indexed.GetPitch() * 1 + 1], 0x40);
    uint8_t* entry = indexed.GetPalette() + 4 * 0x40;
    entry[0] = 1;
    entry[1] = 2;
    entry[2] = 3;
    EXPECT_EQ(indexed.GetPixel(1, 0), 0xFF030201u);
    // Rows are stored bottom-up.
    EXPECT_EQ(rgba.GetPixels()[rgba.GetPitch() * 1 + 4], 0x10);
    // Outside the image: all zero, and writes are ignored.
    EXPECT_EQ(rgba.GetPixel(2, 0), 0u);
    EXPECT_EQ(rgba.GetPixel(0, -1), 0u);
    rgba.SetPixel(-1, 0, 0xFFFFFFFFu);
    rgba.SetPixel(0, 2, 0xFFFFFFFFu);
    EXPECT_EQ(rgba.GetPixel(0, 0), 0u);
    EXPECT_EQ(rgba.GetPixel(0, 1), 0u);
}

TEST(ZImage, BlitsAreClippedAndConvertDepths) {
    ZImage src, dest, narrow;
    ASSERT_TRUE(src.Create(4, 4, 4, 32));
    ASSERT_TRUE(dest.Create(3, 3, 4, 32));
    ASSERT_TRUE(narrow.Create(3, 3, 3, 24));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) src.SetPixel(x, y, 0x01000000u * static_cast<uint32_t>(10 * y + x + 1));
    }
    // Only the corner that fits both images is copied, wherever the rectangle starts.
    ZImage::Blit(dest, 2, 2, src, 0, 0, 4, 4);
    EXPECT_EQ(dest.GetPixel(2, 2), src.GetPixel(0, 0));
    EXPECT_EQ(dest.GetPixel(1, 2), 0u);
    ZImage::Blit(dest, -1, -1, src, 0, 0, 2, 2);
    EXPECT_EQ(dest.GetPixel(0, 0), src.GetPixel(1, 1));
    EXPECT_EQ(dest.GetPixel(1, 0), 0u);
    // Different depths go pixel by pixel.
    ZImage::Blit(narrow, 0, 0, src, 1, 1, 3, 3);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(narrow.GetPixel(x, y), src.GetPixel(x + 1, y + 1) | 0xFF000000u);
        }
    }
}

TEST(ZImage, BMPFilesRoundTrip) {
    korvtest::TempDir dir;
    struct Case {
        int32_t w, h;
        uint32_t bytes;
    };
    const Case cases[] = {{5, 3, 1}, {5, 3, 3}, {3, 2, 4}, {1, 1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        ZImage image;
        ASSERT_TRUE(image.Create(c.w, c.h, c.bytes, c.bytes * 8));
        for (int32_t y = 0; y < c.h; ++y) {
            for (int32_t x = 0; x < c.w; ++x) image.SetPixel(x, y, 0x11223344u * static_cast<uint32_t>(x + 2 * y + 1));
        }
        if (c.bytes == 1) {
            const std::string ramp = RampPalette();
            std::copy(ramp.begin(), ramp.end(), image.GetPalette());
        }
        const std::string path = dir.File("round.bmp");
        ASSERT_TRUE(WriteBMPFile(image, path.c_str()));
        const std::string bytes = dir.Read("round.bmp");
        EXPECT_EQ(bytes.size(), image.GetFileHeader().size);

        ZImage back;
        ASSERT_TRUE(back.LoadBMPFromMemory(Bytes(bytes), bytes.size()));
        EXPECT_EQ(back.GetWidth(), c.w);
        EXPECT_EQ(back.GetHeight(), c.h);
        EXPECT_EQ(back.EncodeBMP(), image.EncodeBMP());
        for (int32_t y = 0; y < c.h; ++y) {
            for (int32_t x = 0; x < c.w; ++x) EXPECT_EQ(back.GetPixel(x, y), image.GetPixel(x, y));
        }
    }
}

TEST(ZImage, WritingReportsFailure) {
    korvtest::TempDir dir;
    dir.Write("file", "not a folder");
    ZImage image;
    EXPECT_FALSE(WriteBMPFile(image, dir.File("empty.bmp").c_str())) << "an empty image";
    ASSERT_TRUE(image.Create(2, 2, 3, 24));
    EXPECT_FALSE(WriteBMPFile(image, dir.File("file/inside.bmp").c_str()));
    EXPECT_FALSE(WriteBMPFile(image, nullptr));
}

TEST(ZImage, ReaderFollowsThePaletteSizeThePixelOffsetAndTopDownRows) {
    // Two palette entries, the pixels placed after a gap, rows stored top-down.
    rfiles::BMP bmp;
    bmp.bitCount = 8;
    bmp.width = 3;
    bmp.height = -2;
    bmp.clrUsed = 2;
    bmp.palette = std::string("\x10\x20\x30\x00\x40\x50\x60\x00", 8);
    bmp.offBits = 54 + 8 + 6;
    bmp.pixels = std::string("\x00\x01\x00\x00\x01\x01\x00\x00", 8);  // row 0: 0 1 0; row 1: 1 1 0
    const std::string bytes = bmp.Bytes();
    ZImage image;
    ASSERT_TRUE(image.LoadBMPFromMemory(Bytes(bytes), bytes.size()));
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetInfoHeader().height, 2) << "kept as a bottom-up image";
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF302010u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF605040u);
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF605040u);
    EXPECT_EQ(image.GetPixel(2, 1), 0xFF302010u);
}

// 16-colour files: two pixels a byte, high nibble first, each file row padded
// to 4 bytes, through a palette of 16 entries; bottom-up and top-down.
TEST(ZImage, SixteenColourFilesUnpackTwoPixelsAByte) {
    std::string palette;  // entry i: B 16 i, G 255 - i, R i
    for (uint32_t i = 0; i < 16; ++i) {
        rfiles::Put8(palette, 16 * i);
        rfiles::Put8(palette, 255 - i);
        rfiles::Put8(palette, i);
        rfiles::Put8(palette, 0);
    }
    const auto colour = [](const uint32_t i) { return 0xFF000000u | i << 16 | (255 - i) << 8 | 16 * i; };
    struct Case {
        const char* name;
        int32_t width, height;
        std::string pixels;
        std::vector<std::vector<uint32_t>> rows;  // top row first
    };
    const Case cases[] = {
        {"2x1", 2, 1, std::string("\x5A\0\0\0", 4), {{5, 10}}},
        {"3x2 bottom-up", 3, 2, std::string("\x12\x3F\0\0\x45\x6F\0\0", 8), {{4, 5, 6}, {1, 2, 3}}},
        {"3x2 top-down", 3, -2, std::string("\x12\x3F\0\0\x45\x6F\0\0", 8), {{1, 2, 3}, {4, 5, 6}}},
        {"9x1, five bytes padded to eight", 9, 1, std::string("\x01\x23\x45\x67\x8F\0\0\0", 8),
         {{0, 1, 2, 3, 4, 5, 6, 7, 8}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rfiles::BMP bmp;
        bmp.bitCount = 4;
        bmp.width = c.width;
        bmp.height = c.height;
        bmp.palette = palette;
        bmp.pixels = c.pixels;
        const std::string bytes = bmp.Bytes();
        ZImage image;
        ASSERT_TRUE(image.LoadBMPFromMemory(Bytes(bytes), bytes.size()));
        ASSERT_EQ(image.GetWidth(), c.width);
        ASSERT_EQ(image.GetHeight(), static_cast<int32_t>(c.rows.size()));
        EXPECT_EQ(image.GetBytesPerPixel(), 1u);
        EXPECT_EQ(image.GetPaletteCount(), 16u);
        // Written back it is an 8-bit file of 16 colours that reads as the same picture.
        const std::vector<uint8_t> written = image.EncodeBMP();
        ZImage back;
        ASSERT_TRUE(back.LoadBMPFromMemory(written.data(), written.size()));
        EXPECT_EQ(back.GetInfoHeader().bitCount, 8);
        EXPECT_EQ(written.size(), image.GetFileHeader().size);
        EXPECT_EQ(written.size(), 54u + 4 * 16 + image.GetPitch() * image.GetHeight());
        EXPECT_EQ(back.GetPaletteCount(), 16u);
        EXPECT_TRUE(back.EncodeBMP() == written) << "the image read back writes the same file";
        for (size_t y = 0; y < c.rows.size(); ++y) {
            for (size_t x = 0; x < c.rows[y].size(); ++x) {
                const auto px = static_cast<int32_t>(x);
                const auto py = static_cast<int32_t>(y);
                EXPECT_EQ(image.GetPixel(px, py), colour(c.rows[y][x])) << x << "," << y;
                EXPECT_EQ(back.GetPixel(px, py), colour(c.rows[y][x])) << x << "," << y;
            }
        }
        // One byte short of its rows: refused.
        const std::string cut = bytes.substr(0, bytes.size() - 1);
        ZImage shortImage;
        EXPECT_FALSE(shortImage.LoadBMPFromMemory(Bytes(cut), cut.size()));
        EXPECT_TRUE(shortImage.IsEmpty());
    }
}

// An 8-bit file that lists fewer than 256 colours keeps that many: the image
// writes a file that reads back as the same image and writes the same file.
TEST(ZImage, EightBitFilesKeepTheColoursTheyList) {
    struct Case {
        uint32_t clrUsed;
        uint32_t entriesInFile;
        uint32_t paletteCount;  // kept by the image
    };
    const Case cases[] = {{0, 256, 256}, {1, 1, 1}, {16, 16, 16}, {255, 255, 255}, {256, 256, 256}, {300, 256, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "clrUsed " << c.clrUsed);
        rfiles::BMP bmp;
        bmp.bitCount = 8;
        bmp.width = 3;
        bmp.height = 2;
        bmp.clrUsed = c.clrUsed;
        for (uint32_t i = 0; i < c.entriesInFile; ++i) {
            bmp.palette += std::string{char(i), char(255 - i), char(i / 2), '\0'};
        }
        const auto index = [&](const uint32_t i) { return static_cast<char>(i % c.entriesInFile); };
        bmp.pixels = std::string{index(0), index(7), index(254), 0, index(1), index(15), index(200), 0};
        const std::string bytes = bmp.Bytes();
        ZImage image;
        ASSERT_TRUE(image.LoadBMPFromMemory(Bytes(bytes), bytes.size()));
        EXPECT_EQ(image.GetPaletteCount(), c.paletteCount);
        const std::vector<uint8_t> written = image.EncodeBMP();
        EXPECT_EQ(written.size(), 54u + 4 * c.paletteCount + 8);
        EXPECT_EQ(written.size(), image.GetFileHeader().size);
        ZImage back;
        ASSERT_TRUE(back.LoadBMPFromMemory(written.data(), written.size()));
        EXPECT_TRUE(back.EncodeBMP() == written);
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < 3; ++x) {
                const uint8_t i = image.Row(y)[x];
                const uint32_t colour = 0xFF000000u | uint32_t{i} / 2 << 16 | (255u - i) << 8 | i;
                EXPECT_EQ(image.GetPixel(x, y), colour) << x << "," << y;
                EXPECT_EQ(back.GetPixel(x, y), colour) << x << "," << y;
            }
        }
    }
}

TEST(ZImage, ReaderRefusesWhatItCannotRead) {
    const auto base = [] {
        rfiles::BMP b;
        b.pixels = std::string(16, '\x7f');  // 2 rows of 2 pixels, padded to 8 bytes
        return b;
    };
    struct Case {
        const char* what;
        void (*change)(rfiles::BMP&);
        size_t cut;  // bytes removed from the end
    };
    const Case cases[] = {
        {"compressed", [](rfiles::BMP& b) { b.compression = 1; }, 0},
        {"two planes", [](rfiles::BMP& b) { b.planes = 2; }, 0},
        {"old info header", [](rfiles::BMP& b) { b.infoSize = 12; }, 0},
        {"16 bits", [](rfiles::BMP& b) { b.bitCount = 16; }, 0},
        {"2 bits", [](rfiles::BMP& b) { b.bitCount = 2; }, 0},
        {"negative width", [](rfiles::BMP& b) { b.width = -2; }, 0},
        {"huge", [](rfiles::BMP& b) { b.width = b.height = 1 << 20; }, 0},
        {"pixels beyond the file", [](rfiles::BMP& b) { b.offBits = 4096; }, 4096 - 54},
        {"short pixels", [](rfiles::BMP&) {}, 1},
        {"short header", [](rfiles::BMP&) {}, 16 + 20},
    };
    for (const Case& c : cases) {
        rfiles::BMP b = base();
        c.change(b);
        std::string bytes = b.Bytes();
        bytes.resize(bytes.size() - std::min(c.cut, bytes.size()));
        ZImage image;
        EXPECT_FALSE(image.LoadBMPFromMemory(Bytes(bytes), bytes.size())) << c.what;
        EXPECT_TRUE(image.IsEmpty()) << c.what;
    }
    ZImage image;
    const std::string good = base().Bytes();
    EXPECT_TRUE(image.LoadBMPFromMemory(Bytes(good), good.size()));
}

// A header alone claims a 16384 x 16384 image: the reader must refuse it
// before it makes (and zeroes) a gigabyte it could never fill.
TEST(ZImage, ReaderAllocatesNothingItsInputCannotFill) {
#ifdef KORV_TEST_ASAN
    struct Case {
        const char* what;
        uint16_t bitCount;
        int32_t width, height;
        uint32_t offBits;
    };
    const Case cases[] = {
        {"32 bits, header only", 32, 16384, 16384, 54},
        {"24 bits, top-down", 24, 16384, -16384, 54},
        {"8 bits, palette but no pixels", 8, 16384, 16384, 54 + 1024},
    };
    for (const Case& c : cases) {
        rfiles::BMP b;
        b.bitCount = c.bitCount;
        b.width = c.width;
        b.height = c.height;
        b.offBits = c.offBits;
        b.palette = c.bitCount == 8 ? std::string(1024, '\x01') : std::string();
        b.pixels = std::string(64, '\x7f');
        const std::string bytes = b.Bytes();
        gLargestAllocation = 0;
        __sanitizer_install_malloc_and_free_hooks(NoteAllocation, NoteFree);
        ZImage image;
        const bool loaded = image.LoadBMPFromMemory(Bytes(bytes), bytes.size());
        __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
        EXPECT_FALSE(loaded) << c.what;
        EXPECT_TRUE(image.IsEmpty()) << c.what;
        EXPECT_LT(gLargestAllocation.load(), size_t{1} << 20) << c.what;
    }
#else
    GTEST_SKIP() << "allocation sizes are observed through the address sanitizer";
#endif
}

TEST(ZImage, RiffPalettesReplaceAMatchingPalette) {
    std::vector<uint32_t> colours(256);
    for (uint32_t i = 0; i < 256; ++i) colours[i] = i << 16 | (255 - i) << 8 | 7;
    const std::string palette = rfiles::Palette(colours, 256);

    ZImage indexed;
    ASSERT_TRUE(indexed.Create(2, 1, 1, 8));
    indexed.SetPixel(0, 0, 0x00050000u);  // index 5
    ASSERT_TRUE(indexed.LoadPaletteFromMemory(Bytes(palette), palette.size()));
    EXPECT_EQ(indexed.GetPixel(0, 0), 0xFF05FA07u);
    EXPECT_EQ(indexed.GetPalette()[4 * 5 + 3], 0) << "the flags byte is not kept";

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case refused[] = {
        {"other count", rfiles::Palette(std::vector<uint32_t>(16, 0xFFFFFF), 16)},
        {"short", palette.substr(0, palette.size() - 1)},
        {"not RIFF", "RIFX" + palette.substr(4)},
        {"header only", palette.substr(0, 10)},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(indexed.LoadPaletteFromMemory(Bytes(c.bytes), c.bytes.size())) << c.what;
        EXPECT_EQ(indexed.GetPixel(0, 0), 0xFF05FA07u) << c.what;
    }
    ZImage rgb;
    ASSERT_TRUE(rgb.Create(1, 1, 3, 24));
    EXPECT_FALSE(rgb.LoadPaletteFromMemory(Bytes(palette), palette.size())) << "no palette to replace";

    // A picture whose file listed 16 colours takes a full palette in their place,
    // and then writes a file of 256 colours.
    rfiles::BMP sixteen;
    sixteen.bitCount = 8;
    sixteen.width = 2;
    sixteen.height = 1;
    sixteen.clrUsed = 16;
    sixteen.palette = std::string(4 * 16, '\x11');
    sixteen.pixels = std::string("\x05\x00\x00\x00", 4);
    const std::string file = sixteen.Bytes();
    ZImage few;
    ASSERT_TRUE(few.LoadBMPFromMemory(Bytes(file), file.size()));
    ASSERT_EQ(few.GetPaletteCount(), 16u);
    ASSERT_TRUE(few.LoadPaletteFromMemory(Bytes(palette), palette.size()));
    EXPECT_EQ(few.GetPaletteCount(), 256u);
    EXPECT_EQ(few.GetPixel(0, 0), 0xFF05FA07u);
    EXPECT_EQ(few.GetInfoHeader().clrUsed, 0u);
    EXPECT_EQ(few.EncodeBMP().size(), 54u + 1024 + 4);
}
