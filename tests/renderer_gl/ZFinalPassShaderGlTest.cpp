// The engine's final pass on OpenGL, read back pixel by pixel: the picture
// copied unchanged, turned by each screen rotation, brightened or darkened by
// the brightness setting, and faded to black.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "FullscreenPassFixture.h"
#include "renderer/ZFinalPassShader.h"

using namespace gltest;

namespace {

constexpr int32_t kSide = 64;

// Every texel tells where it came from: red x, green y (times 4), blue fixed.
uint32_t Coordinates(int32_t x, int32_t y) {
    return Rgb(x * 4, y * 4, 77);
}

class FinalPassGlTest : public FullscreenPassTest {
protected:
    void SetUp() override {
        FullscreenPassTest::SetUp();
        SetScreenSize(kSide, kSide);
    }
};

::testing::AssertionResult NearColour(uint32_t pixel, int r, int g, int b, int tolerance) {
    if (std::abs(Red(pixel) - r) > tolerance || std::abs(Green(pixel) - g) > tolerance ||
        std::abs(Blue(pixel) - b) > tolerance) {
        return ::testing::AssertionFailure()
               << "pixel r " << Red(pixel) << " g " << Green(pixel) << " b " << Blue(pixel) << ", expected r "
               << r << " g " << g << " b " << b;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(FinalPassGlTest, EachRotationTurnsThePicture) {
    MakePicture("__ZORP_Final_Pass_Texture", kSide, kSide, Coordinates);
    ZFinalPassShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr)
        << "__ZORP_Final_Pass.fxo did not load from Engine.zpk";

    // Which source texel a pixel shows; seen on screen, 1 turns the picture a
    // quarter clockwise (its top-left corner goes to the top-right).
    struct Case {
        int32_t tate;
        int32_t (*sourceX)(int32_t px, int32_t py);
        int32_t (*sourceY)(int32_t px, int32_t py);
    };
    const Case cases[] = {
        {0, [](int32_t px, int32_t) { return px; }, [](int32_t, int32_t py) { return py; }},
        {1, [](int32_t, int32_t py) { return py; }, [](int32_t px, int32_t) { return kSide - 1 - px; }},
        {2, [](int32_t px, int32_t) { return kSide - 1 - px; },
         [](int32_t, int32_t py) { return kSide - 1 - py; }},
        {3, [](int32_t, int32_t py) { return kSide - 1 - py; }, [](int32_t px, int32_t) { return px; }},
    };
    for (const Case& c : cases) {
        ZBaseGame::GetInstance()->m_tate = c.tate;
        const std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSide * kSide));
        int wrong = 0;
        for (int32_t py = 0; py < kSide; ++py) {
            for (int32_t px = 0; px < kSide; ++px) {
                const uint32_t expected = Coordinates(c.sourceX(px, py), c.sourceY(px, py));
                const uint32_t got = pixels[static_cast<size_t>(py * kSide + px)];
                if ((got & 0xFFFFFFu) != (expected & 0xFFFFFFu) && wrong++ < 4) {
                    ADD_FAILURE() << "rotation " << c.tate << ": pixel (" << px << ", " << py << ") is 0x"
                                  << std::hex << got << ", expected 0x" << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "rotation " << c.tate;
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("__ZORP_Final_Pass_Texture"));
}

TEST_F(FinalPassGlTest, BrightnessBendsTheMidTonesAndKeepsBlackAndWhite) {
    // A grey ramp across, from black to white.
    const auto ramp = [](int32_t x, int32_t) {
        const int v = x * 255 / (kSide - 1);
        return Rgb(v, v, v);
    };
    MakePicture("__ZORP_Final_Pass_Texture", kSide, kSide, ramp);
    ZFinalPassShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);

    const float settings[] = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f};
    for (const float brightness : settings) {
        ZBaseGame::GetInstance()->m_brightness = brightness;
        const std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide);
        ASSERT_FALSE(pixels.empty());
        for (int32_t x = 0; x < kSide; ++x) {
            const int v = x * 255 / (kSide - 1);
            const int expected = static_cast<int>(
                std::lround(255.0 * std::pow(v / 255.0, std::exp2(-static_cast<double>(brightness)))));
            EXPECT_TRUE(NearColour(pixels[static_cast<size_t>(10 * kSide + x)], expected, expected, expected,
                                   brightness == 0.0f ? 0 : 2))
                << "brightness " << brightness << " at grey " << v;
        }
    }
    // Brighter settings lift a mid grey, darker ones lower it.
    ZBaseGame::GetInstance()->m_brightness = 0.5f;
    const int lifted = Red(DrawPass(shader, kSide, kSide)[32]);
    ZBaseGame::GetInstance()->m_brightness = -0.5f;
    const int lowered = Red(DrawPass(shader, kSide, kSide)[32]);
    EXPECT_GT(lifted, 32 * 255 / 63);
    EXPECT_LT(lowered, 32 * 255 / 63);
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("__ZORP_Final_Pass_Texture"));
}

TEST_F(FinalPassGlTest, FadeDarkensToBlack) {
    MakePicture("__ZORP_Final_Pass_Texture", kSide, kSide, Coordinates);
    ZFinalPassShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    // The engine's shader leaves the fade to the pre-HUD pass; a game's source sets it here.
    const float fades[] = {0.0f, 0.25f, 0.5f, 1.0f, 2.0f};
    for (const float fade : fades) {
        const std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide, [&](ZEffect* effect) {
            effect->GetEffect()->SetFloat(effect->GetEffect()->GetParameterByName(0, "FadeOut"), fade);
        });
        ASSERT_FALSE(pixels.empty());
        const double keep = 1.0 - std::min(1.0, static_cast<double>(fade));
        const int32_t points[][2] = {{0, 0}, {40, 12}, {63, 63}, {17, 50}};
        for (const auto& p : points) {
            const uint32_t source = Coordinates(p[0], p[1]);
            EXPECT_TRUE(NearColour(pixels[static_cast<size_t>(p[1] * kSide + p[0])],
                                   static_cast<int>(std::lround(Red(source) * keep)),
                                   static_cast<int>(std::lround(Green(source) * keep)),
                                   static_cast<int>(std::lround(Blue(source) * keep)), 1))
                << "fade " << fade << " at (" << p[0] << ", " << p[1] << ")";
            EXPECT_EQ(Alpha(pixels[static_cast<size_t>(p[1] * kSide + p[0])]), 255);
        }
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("__ZORP_Final_Pass_Texture"));
}
