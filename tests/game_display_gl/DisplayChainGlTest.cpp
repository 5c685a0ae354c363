// The whole chain on OpenGL at 1280 x 720: each pass's effect seen in its
// read-back pixels, and the pass switching of the CRT and anaglyph settings.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "DisplayChainGlFixture.h"
#include "framework/ZScreenshot.h"
#include "framework/ZConfigVar.h"
#include "game/display/NTSCPalette.h"
#include "game/display/TubeQuad.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"

using namespace displaytest;

namespace {

uint32_t Flat(uint32_t colour, int32_t, int32_t) { return colour; }

// The composite frame the last frame wrote (the parity has flipped since).
const ZRenderTarget& LastComposite(DisplayChain& chain) {
    return GetDisplayState()->compositeParity ? chain.compositeFrame1 : chain.compositeFrame2;
}

uint32_t At(const std::vector<uint32_t>& pixels, int32_t width, int32_t x, int32_t y) {
    return pixels[static_cast<size_t>(y) * width + x];
}

}  // namespace

class CrtChainGlTest : public DisplayChainGlTest {
protected:
    void SetUp() override {
        Start();
        // The glass without light on it, the picture without mask stripes,
        // so that what a test measures is its own pass's doing.
        Settings().refl = 0.0f;
        Settings().dim = 0.0f;
        Settings().sat = 1.0f;
    }
};

TEST_F(CrtChainGlTest, ScanlineRowsDarkenByScanOpacity) {
    Settings().barrel = 0.0f;
    // A mid grey of the palette, so that no channel saturates.
    harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(120, 120, 120), x, y); });
    struct Case {
        float opacity;
        float darkest;  // the darkest row's share of the brightest, about
    };
    float full = 0.0f;
    for (const Case c : {Case{1.0f, -1.0f}, Case{0.0f, 1.0f}, Case{0.5f, -0.5f}}) {
        Settings().scanOpacity = c.opacity;
        Frames(2);
        const std::vector<uint32_t> screen = harness.ReadScreen();
        // A band of rows in the middle of the screen, a few lines tall.
        float lo = 1e9f, hi = 0.0f;
        for (int32_t y = m_height / 2 - 16; y < m_height / 2 + 16; ++y) {
            const float l = MeanLuma(screen, m_width, m_width / 2 - 40, y, m_width / 2 + 40, y + 1);
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
        ASSERT_GT(hi, 20.0f) << "opacity " << c.opacity;
        const float share = lo / hi;
        if (c.opacity == 1.0f) {
            full = share;
            EXPECT_LT(share, 0.7f) << "full opacity must show dark gaps between lines";
        } else if (c.opacity == 0.0f) {
            EXPECT_GT(share, 0.97f) << "no opacity, no scanlines";
        } else {
            // Half the opacity, half the darkening.
            EXPECT_NEAR(share, 1.0f - 0.5f * (1.0f - full), 0.06f);
        }
    }
}

TEST_F(CrtChainGlTest, BarrelPullsThePicturesCornersInward) {
    harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(255, 255, 255), x, y); });
    // The tube: 4:3 in the middle of the 16:9 screen.
    float halfWidth = 0.0f, halfHeight = 0.0f;
    TubeQuad::Extents(m_width, m_height, halfWidth, halfHeight);
    const int32_t left = static_cast<int32_t>((1.0f - halfWidth) * 0.5f * m_width);
    const int32_t tubeWidth = m_width - 2 * left;
    EXPECT_EQ(tubeWidth, 960);
    // How far along the diagonal from the tube's top-left corner the picture begins.
    const auto cornerInset = [&](float barrel) {
        Settings().barrel = barrel;
        Frames(2);
        const std::vector<uint32_t> screen = harness.ReadScreen();
        for (int32_t i = 0; i < m_height / 2; ++i) {
            const int32_t x = left + i * tubeWidth / m_height;
            if (Luma(At(screen, m_width, x, i)) > 100.0f) return i;
        }
        return m_height / 2;
    };
    const int32_t flat = cornerInset(0.0f);
    const int32_t curved = cornerInset(-0.115f);
    const int32_t moreCurved = cornerInset(-0.3f);
    // The glass sits inside the case with rounded corners; a flat picture
    // fills it up to its corner.
    EXPECT_LT(flat, m_height / 6);
    EXPECT_GT(curved, flat + 10);
    EXPECT_GT(moreCurved, curved + 10);
    // The middle of the screen stays where it is; beside the tube the screen is dark.
    const std::vector<uint32_t> screen = harness.ReadScreen();
    EXPECT_GT(Luma(At(screen, m_width, m_width / 2, m_height / 2 + 1)), 100.0f);
    EXPECT_LT(Luma(At(screen, m_width, left / 2, m_height / 2)), 10.0f);
}

TEST_F(CrtChainGlTest, PersistenceBlendsInThePreviousFrame) {
    struct Case {
        float pers;
        float color[4];
        int expected[3];  // the trail of a white frame one frame later
    };
    const Case cases[] = {
        {0.7f, {1.0f, 0.75f, 0.6f, 0.0f}, {178, 133, 107}},
        {0.0f, {1.0f, 0.75f, 0.6f, 0.0f}, {0, 0, 0}},
        {1.0f, {0.5f, 0.5f, 0.5f, 0.0f}, {127, 127, 127}},
    };
    for (const Case& c : cases) {
        Settings().pers = c.pers;
        std::copy(std::begin(c.color), std::end(c.color), Settings().persColor);
        harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(255, 255, 255), x, y); });
        Frames(2);
        harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(0, 0, 0), x, y); });
        Frames(1);
        const std::vector<uint32_t> composite = korvtest::DisplayChainHarness::Read(LastComposite(Chain()));
        ASSERT_FALSE(composite.empty());
        const uint32_t p = At(composite, 256, 128, 112);
        EXPECT_NEAR(Red(p), c.expected[0], 3) << "persistence " << c.pers;
        EXPECT_NEAR(Green(p), c.expected[1], 3) << "persistence " << c.pers;
        EXPECT_NEAR(Blue(p), c.expected[2], 3) << "persistence " << c.pers;
        // The frame after that keeps the share of the share.
        Frames(1);
        const uint32_t q = At(korvtest::DisplayChainHarness::Read(LastComposite(Chain())), 256, 128, 112);
        EXPECT_LE(Red(q), Red(p));
    }
}

TEST_F(CrtChainGlTest, BloomBrightensAroundABrightDot) {
    harness.SetCard([](int32_t x, int32_t y) {
        return x >= 124 && x < 132 && y >= 108 && y < 116 ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
    });
    Settings().pers = 0.0f;
    // The glow as it is, not only its brightest part.
    Settings().bloomPower = 1.0f;
    // The mean light of a ring around the dot on the screen.
    const auto ring = [&]() {
        Frames(3);
        const std::vector<uint32_t> screen = harness.ReadScreen();
        const int32_t cx = m_width / 2, cy = m_height / 2;
        // The dot is about 40 pixels wide and 26 tall on the screen: the
        // rows just above and below it.
        return (MeanLuma(screen, m_width, cx - 12, cy - 34, cx + 12, cy - 20) +
                MeanLuma(screen, m_width, cx - 12, cy + 20, cx + 12, cy + 34)) * 0.5f;
    };
    struct Case {
        bool crt;
        float bloom;
        bool glows;
    };
    float dark = -1.0f;
    for (const Case c : {Case{true, 0.0f, false}, Case{true, 1.0f, true}, Case{false, 1.0f, false}}) {
        Settings().crtSim = c.crt;
        Settings().bloom = c.bloom;
        ApplyCRTPassSetting();
        const float light = ring();
        if (dark < 0.0f) dark = light;
        if (c.glows) {
            EXPECT_GT(light, dark + 4.0f) << "bloom " << c.bloom;
        } else {
            EXPECT_LT(light, dark + 1.5f) << "crt " << c.crt << " bloom " << c.bloom;
        }
    }
}

TEST_F(CrtChainGlTest, ColourBarsLandOnThePalettesColours) {
    static const uint32_t bars[8] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                                     Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(40, 40, 40)};
    harness.SetCard([](int32_t x, int32_t) { return bars[x / 32]; });
    Settings().pers = 0.0f;

    // The colour each bar should take: the generated colour of its nearest reference colour.
    ZColor32 generated[kPaletteEntries];
    GeneratePalette(generated, Settings().tint, Settings().iScalar, Settings().qScalar);
    ZColor32 reference[kPaletteEntries];
    ASSERT_TRUE(ReadReferencePalette(reference));
    std::vector<uint32_t> lookup;
    BuildPaletteLookup(reference, generated, lookup);
    const auto expected = [&](uint32_t c) {
        const int r = (Red(c) * 31 + 127) / 255, g = (Green(c) * 31 + 127) / 255, b = (Blue(c) * 31 + 127) / 255;
        return lookup[static_cast<size_t>(g) * kLookupWidth + b * 32 + r];
    };
    struct Case {
        float ntsc;
        float bleed;
    };
    for (const Case c : {Case{0.5f, 0.5f}, Case{1.0f, 1.0f}, Case{1.0f, 0.0f}}) {
        Settings().ntsc = c.ntsc;
        Settings().bleed = c.bleed;
        Frames(2);
        const std::vector<uint32_t> composite = korvtest::DisplayChainHarness::Read(LastComposite(Chain()));
        ASSERT_FALSE(composite.empty());
        for (int bar = 0; bar < 8; ++bar) {
            const uint32_t got = At(composite, 256, bar * 32 + 16, 100);
            const uint32_t want = expected(bars[bar]);
            EXPECT_NEAR(Red(got), Red(want), 6) << "bar " << bar << " ntsc " << c.ntsc << " bleed " << c.bleed;
            EXPECT_NEAR(Green(got), Green(want), 6) << "bar " << bar << " ntsc " << c.ntsc << " bleed " << c.bleed;
            EXPECT_NEAR(Blue(got), Blue(want), 6) << "bar " << bar << " ntsc " << c.ntsc << " bleed " << c.bleed;
        }
        // Where two bars meet, the composite signal smears the colours.
        if (c.ntsc == 1.0f && c.bleed == 1.0f) {
            const uint32_t edge = At(composite, 256, 64, 100);  // cyan meets green
            const uint32_t clean = expected(bars[2]);
            EXPECT_GT(std::abs(Blue(edge) - Blue(clean)) + std::abs(Red(edge) - Red(clean)), 8);
        }
    }
}

TEST_F(CrtChainGlTest, CompositeNeverReadsTheFrameItWrites) {
    harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(200, 40, 40), x, y); });
    const ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(ZHashedString("Composite Pass"));
    ASSERT_NE(pass, nullptr);
    const ZRenderTarget* written[4] = {};
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_EQ(pass->targets.Count(), 1u);
        written[frame] = pass->targets[0];
        const bool parity = Display().compositeParity;
        // The frame the composite pass reads as the previous one.
        const ZRenderTarget* previous = parity ? &Chain().compositeFrame1 : &Chain().compositeFrame2;
        EXPECT_NE(written[frame], previous) << "frame " << frame;
        Frames(1);
    }
    // The two frames take turns.
    EXPECT_NE(written[0], written[1]);
    EXPECT_EQ(written[0], written[2]);
    EXPECT_EQ(written[1], written[3]);
}

TEST_F(CrtChainGlTest, SwitchingTheCrtOffShowsTheFlatPictureBoxed) {
    harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(40, 200, 60), x, y); });
    Frames(2);
    Settings().crtSim = false;
    ApplyCRTPassSetting();
    const ZRenderer* renderer = GetRenderer();
    EXPECT_FALSE(renderer->FindRenderPass(ZHashedString("NTSC Pass"))->enabled);
    EXPECT_FALSE(renderer->FindRenderPass(ZHashedString("Composite Pass"))->enabled);
    EXPECT_FALSE(renderer->FindRenderGroup(ZHashedString("Screen Group"))->enabled);
    EXPECT_TRUE(renderer->FindRenderGroup(ZHashedString("No CRT Group"))->enabled);
    Frames(1);
    const std::vector<uint32_t> screen = harness.ReadScreen();
    // The picture (8:7 pixels, about 1.31 wide) in the middle of the 16:9
    // screen: pillarbox bars at the sides, the card's colour untouched by the
    // NTSC colours, scanlines or glass in between.
    const float pictureWidth = m_height * 1.1428572f * 1.1428572f;
    const int32_t bar = static_cast<int32_t>((m_width - pictureWidth) / 2.0f);
    EXPECT_LT(Luma(At(screen, m_width, bar / 2, m_height / 2)), 2.0f);
    EXPECT_LT(Luma(At(screen, m_width, m_width - bar / 2, m_height / 2)), 2.0f);
    for (const int32_t y : {m_height / 4, m_height / 2, m_height / 2 + 1, 3 * m_height / 4}) {
        EXPECT_EQ(At(screen, m_width, m_width / 2, y) & 0xFFFFFF, 0x28C83Cu) << "row " << y;
    }
    // And back on: the tube again.
    Settings().crtSim = true;
    ApplyCRTPassSetting();
    EXPECT_TRUE(renderer->FindRenderGroup(ZHashedString("Screen Group"))->enabled);
    EXPECT_FALSE(renderer->FindRenderGroup(ZHashedString("No CRT Group"))->enabled);
}

TEST_F(CrtChainGlTest, AnaglyphSplitsRedAndCyan) {
    // A white stripe on black; the background is dimmed away in anaglyph 3D.
    harness.SetCard([](int32_t x, int32_t) { return x >= 120 && x < 136 ? Rgb(255, 255, 255) : Rgb(0, 0, 0); });
    Settings().anaglyph3D = true;
    ApplyAnaglyphPassSetting();
    EXPECT_FALSE(Settings().crtSim) << "anaglyph 3D switches the CRT simulation off";
    // Which side of the stripe shows red alone: -1 left, +1 right, 0 none.
    const auto redSide = [&]() {
        Frames(1);
        const std::vector<uint32_t> clean = korvtest::DisplayChainHarness::Read(Chain().cleanFrame);
        int redOnly = 0, cyanOnly = 0, both = 0;
        int redX = 0, cyanX = 0;
        for (int32_t x = 100; x < 156; ++x) {
            const uint32_t p = At(clean, 256, x, 112);
            const bool red = Red(p) > 200, blue = Blue(p) > 200;
            if (red && blue) ++both;
            if (red && !blue) {
                ++redOnly;
                redX = x;
            }
            if (blue && !red) {
                ++cyanOnly;
                cyanX = x;
                EXPECT_NEAR(Green(p), 64, 3) << "the blue eye's filter keeps a quarter of green";
            }
        }
        EXPECT_GT(both, 10);
        EXPECT_GT(redOnly, 0);
        EXPECT_GT(cyanOnly, 0);
        return redOnly == 0 || cyanOnly == 0 ? 0 : (redX < cyanX ? -1 : 1);
    };
    const int side = redSide();
    EXPECT_NE(side, 0);
    Settings().eyeSwap = true;
    EXPECT_EQ(redSide(), -side) << "swapping the eyes swaps the sides";
}

TEST_F(CrtChainGlTest, WholeChainWritesItsPicture) {
    // A test card: colour bars, a grey ramp and a checker in a white frame.
    harness.SetCard([](int32_t x, int32_t y) {
        static const uint32_t bars[8] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                                         Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 0, 0)};
        if (x < 4 || y < 4 || x >= 252 || y >= 220) return Rgb(255, 255, 255);
        if (y < 150) return bars[x * 8 / 256];
        if (y < 185) return Rgb(x, x, x);
        return ((x / 16 + y / 16) % 2) != 0 ? Rgb(230, 60, 40) : Rgb(20, 20, 80);
    });
    Frames(3);
    const std::vector<uint32_t> screen = harness.ReadScreen();
    ASSERT_EQ(screen.size(), static_cast<size_t>(m_width) * m_height);
    EXPECT_GT(MeanLuma(screen, m_width, m_width / 2 - 100, m_height / 3, m_width / 2 + 100, m_height / 2), 20.0f);
    // KORV_DISPLAY_PICTURE=path writes the screen and the clean frame (path.clean.png).
    if (const char* out = std::getenv("KORV_DISPLAY_PICTURE")) {
        EXPECT_TRUE(WriteScreenshotPNG(out, screen.data(), m_width, m_height));
        const std::vector<uint32_t> clean = korvtest::DisplayChainHarness::Read(Chain().cleanFrame);
        EXPECT_TRUE(WriteScreenshotPNG((std::string(out) + ".clean.png").c_str(), clean.data(), 256, 224));
    }
}

TEST_F(CrtChainGlTest, TuningTheNTSCColoursRebuildsTheLookup) {
    // The display's variables with the palette's applier, as the game registers them.
    DisplaySettingCallbacks callbacks;
    callbacks.palette = RebuildNTSCLookupTexture;
    RegisterDisplayConfigVars(GetDisplayState()->OwnSettings(), callbacks);
    harness.SetCard([](int32_t x, int32_t y) { return Flat(Rgb(200, 40, 40), x, y); });
    const auto ntscColour = [&]() {
        Frames(1);
        const std::vector<uint32_t> ntsc = korvtest::DisplayChainHarness::Read(Chain().ntscFrame);
        return At(ntsc, 256, 128, 112) & 0xFFFFFFu;
    };
    const uint32_t before = ntscColour();
    EXPECT_TRUE(ZConfigVar::SetFromString("2.0", ZHashedString("NTSC"), ZHashedString("Tint")));
    const uint32_t turned = ntscColour();
    EXPECT_NE(turned, before) << "a new hue phase recolours the picture";
    EXPECT_TRUE(ZConfigVar::SetFromString("def", ZHashedString("NTSC"), ZHashedString("Tint")));
    EXPECT_EQ(ntscColour(), before);
    // Scalars without a direction (out of the sliders' range, set in code):
    // greys, and no read outside the palette.
    Settings().iScalar = 0.0f;
    Settings().qScalar = 0.0f;
    RebuildNTSCLookupTexture();
    const uint32_t grey = ntscColour();
    EXPECT_EQ(Red(grey), Green(grey));
    EXPECT_EQ(Green(grey), Blue(grey));
}
