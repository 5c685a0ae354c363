// The before/after picture of the display chain: the test card as the world
// draws it (the clean frame, doubled) beside the screen the chain makes of it
// at 640 x 480. Written into the test's folder; with KORV_DISPLAY_DOCS=dir
// also as dir/crt-chain.png (the repository keeps it in docs/).

#include <cstdlib>
#include <filesystem>
#include <string>

#include "DisplayChainGlFixture.h"
#include "framework/ZScreenshot.h"
#include "support/TempDir.h"

using namespace displaytest;

namespace {

uint32_t TestCard(int32_t x, int32_t y) {
    static const uint32_t bars[7] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                                     Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255)};
    if (x < 4 || y < 4 || x >= 252 || y >= 220) return Rgb(255, 255, 255);
    if (y < 120) return bars[(x - 4) * 7 / 248];
    if (y < 150) return Rgb(x, x, x);
    // A small figure on a dark field: a ring, as a sprite would be.
    const int dx = x - 128, dy = y - 185;
    const int r2 = dx * dx + dy * dy;
    if (r2 < 26 * 26 && r2 > 16 * 16) return Rgb(250, 200, 60);
    return ((x / 8 + y / 8) % 2) != 0 ? Rgb(20, 20, 90) : Rgb(10, 10, 40);
}

}  // namespace

TEST_F(DisplayChainGlTest, BeforeAndAfterPicture) {
    Start(640, 480);
    harness.SetCard(TestCard);
    Frames(4);
    const std::vector<uint32_t> screen = harness.ReadScreen();
    const std::vector<uint32_t> clean = korvtest::DisplayChainHarness::Read(Chain().cleanFrame);
    ASSERT_EQ(screen.size(), 640u * 480u);
    ASSERT_EQ(clean.size(), 256u * 224u);

    // Side by side on black: the clean frame doubled (512 x 448), a gap, the screen.
    constexpr int32_t kGap = 16, kWidth = 512 + kGap + 640, kHeight = 480;
    std::vector<uint32_t> picture(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    for (int32_t y = 0; y < 448; ++y) {
        for (int32_t x = 0; x < 512; ++x) {
            picture[static_cast<size_t>(y + 16) * kWidth + x] = clean[static_cast<size_t>(y / 2) * 256 + x / 2];
        }
    }
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            picture[static_cast<size_t>(y) * kWidth + 512 + kGap + x] = screen[static_cast<size_t>(y) * 640 + x];
        }
    }
    korvtest::TempDir dir;
    const std::string path = dir.File("crt-chain.png");
    ASSERT_TRUE(WriteScreenshotPNG(path.c_str(), picture.data(), kWidth, kHeight));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    if (const char* docs = std::getenv("KORV_DISPLAY_DOCS")) {
        EXPECT_TRUE(WriteScreenshotPNG((std::string(docs) + "/crt-chain.png").c_str(), picture.data(), kWidth, kHeight));
    }
}
