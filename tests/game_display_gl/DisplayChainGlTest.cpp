// The whole chain on OpenGL at 1280 x 720: each pass's effect seen in its
// read-back pixels.

#include "DisplayChainGlFixture.h"
#include "framework/ZScreenshot.h"

using namespace displaytest;

namespace {

// Colour bars, a grey ramp and a white frame: the test card of the pictures.
uint32_t TestCard(int32_t x, int32_t y) {
    static const uint32_t bars[8] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                                     Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 0, 0)};
    if (x < 4 || y < 4 || x >= 252 || y >= 220) return Rgb(255, 255, 255);
    if (y < 150) return bars[x * 8 / 256];
    if (y < 185) {
        const int g = x * 255 / 255;
        return Rgb(g, g, g);
    }
    return ((x / 16 + y / 16) % 2) != 0 ? Rgb(230, 60, 40) : Rgb(20, 20, 80);
}

}  // namespace

TEST_F(DisplayChainGlTest, WholeChainDrawsTheCardOnTheScreen) {
    Start();
    harness.SetCard(TestCard);
    Frames(3);
    const std::vector<uint32_t> screen = harness.ReadScreen();
    ASSERT_EQ(screen.size(), static_cast<size_t>(m_width) * m_height);
    if (const char* out = std::getenv("KORV_DISPLAY_PICTURE")) {
        WriteScreenshotPNG(out, screen.data(), m_width, m_height);
        const std::vector<uint32_t> clean = korvtest::DisplayChainHarness::Read(Chain().cleanFrame);
        WriteScreenshotPNG((std::string(out) + ".clean.png").c_str(), clean.data(), 256, 224);
        const ZRenderTarget* more[] = {&Chain().ntscFrame, &Chain().compositeFrame1, &Chain().compositeFrame2,
                                       &Chain().upsampledBuffer->target,
                                       &ZBaseGame::GetInstance()->GetPreHUDTarget()->target};
        int n = 0;
        for (const ZRenderTarget* t : more) {
            const std::vector<uint32_t> px = korvtest::DisplayChainHarness::Read(*t);
            if (!px.empty()) WriteScreenshotPNG((std::string(out) + "." + std::to_string(n) + ".png").c_str(), px.data(), t->width, t->height);
            ++n;
        }
    }
    // Something of the card shows in the middle of the screen.
    EXPECT_GT(MeanLuma(screen, m_width, m_width / 2 - 100, m_height / 3, m_width / 2 + 100, m_height / 2), 20.0f);
}
