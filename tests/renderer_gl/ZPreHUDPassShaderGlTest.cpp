// The pre-HUD pass on OpenGL at each anti-aliasing level, read back: a hard
// edge drawn as a staircase comes out with intermediate pixels along it and
// closer to the edge's true coverage, the flat areas away from it keep their
// exact colours, and the fade darkens the scene.

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "FullscreenPassFixture.h"
#include "renderer/ZPreHUDPassShader.h"

using namespace gltest;

namespace {

constexpr int32_t kSide = 64;
constexpr const char* kTarget = "__ZORP_PreHUD_Pass_Texture";

// A straight edge: the side of a point (pixel units, y down) and the distance
// from a pixel's centre to the edge along the axis it is measured on.
struct Edge {
    const char* name;
    std::function<bool(double, double)> inside;
    std::function<double(int32_t, int32_t)> distance;
};

// A shallow edge (a step every 4 pixels across), a steep one (every 4 down)
// and a long one (every 24 across), which only a long walk follows.
const Edge kShallow = {"shallow", [](double x, double y) { return y < 20.0 + x / 4.0; },
                       [](int32_t x, int32_t y) { return std::abs(y + 0.5 - (20.0 + (x + 0.5) / 4.0)); }};
const Edge kSteep = {"steep", [](double x, double y) { return x < 20.0 + y / 4.0; },
                     [](int32_t x, int32_t y) { return std::abs(x + 0.5 - (20.0 + (y + 0.5) / 4.0)); }};
const Edge kLong = {"long", [](double x, double y) { return y < 28.0 + x / 24.0; },
                    [](int32_t x, int32_t y) { return std::abs(y + 0.5 - (28.0 + (x + 0.5) / 24.0)); }};

// The staircase: each pixel wholly one colour, by its centre.
uint32_t Staircase(const Edge& edge, int32_t x, int32_t y) {
    return edge.inside(x + 0.5, y + 0.5) ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
}

// The share of the pixel on the inside, from 16 x 16 samples.
double Coverage(const Edge& edge, int32_t x, int32_t y) {
    int in = 0;
    for (int sy = 0; sy < 16; ++sy) {
        for (int sx = 0; sx < 16; ++sx)
            in += edge.inside(x + (sx + 0.5) / 16.0, y + (sy + 0.5) / 16.0) ? 1 : 0;
    }
    return in / 256.0;
}

// What a level made of a staircase: pixels away from the edge that changed,
// pixels near it that are neither colour, and how far the pixels near it are
// from the edge's true coverage (summed over the middle of the picture, where
// the edge's steps end inside the picture).
struct Outcome {
    int changedFlat = 0;
    int intermediate = 0;
    double error = 0.0;
};

Outcome Measure(const Edge& edge, const std::vector<uint32_t>& pixels) {
    Outcome out;
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            const uint32_t got = pixels[static_cast<size_t>(y * kSide + x)] & 0xFFFFFFu;
            if (edge.distance(x, y) > 3.0) {
                out.changedFlat += got != (Staircase(edge, x, y) & 0xFFFFFFu) ? 1 : 0;
            } else if (x >= 16 && x < 48 && y >= 16 && y < 48) {
                const int v = Red(got);
                out.intermediate += v > 8 && v < 247 ? 1 : 0;
                out.error += std::abs(v - 255.0 * Coverage(edge, x, y));
            }
        }
    }
    return out;
}

class PreHUDPassGlTest : public FullscreenPassTest {
protected:
    void SetUp() override {
        FullscreenPassTest::SetUp();
        SetScreenSize(kSide, kSide);
    }
    void TearDown() override {
        ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kTarget));
        FullscreenPassTest::TearDown();
    }
};

}  // namespace

TEST_F(PreHUDPassGlTest, EveryLevelSmoothsTheStaircaseAndKeepsFlatAreas) {
    for (const Edge* edge : {&kShallow, &kSteep, &kLong}) {
        MakePicture(kTarget, kSide, kSide, [&](int32_t x, int32_t y) { return Staircase(*edge, x, y); });
        Outcome outcomes[5];
        for (int32_t level = 0; level <= 4; ++level) {
            ZPreHUDPassShader shader(level);
            ASSERT_NE(shader.GetDefaultPassBinding(), nullptr) << "level " << level << " did not load";
            const std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide);
            ASSERT_EQ(pixels.size(), static_cast<size_t>(kSide * kSide));
            outcomes[level] = Measure(*edge, pixels);
            EXPECT_EQ(outcomes[level].changedFlat, 0) << edge->name << " level " << level;
        }
        // No anti-aliasing: the scene is copied as it is.
        EXPECT_EQ(outcomes[0].intermediate, 0) << edge->name;
        for (int32_t level = 1; level <= 4; ++level) {
            // The steps get blended pixels, and the picture comes closer to the edge.
            EXPECT_GE(outcomes[level].intermediate, 8) << edge->name << " level " << level;
            EXPECT_LT(outcomes[level].error, 0.5 * outcomes[0].error)
                << edge->name << " level " << level << ": error " << outcomes[level].error << " against "
                << outcomes[0].error << " unfiltered";
        }
        if (edge == &kLong) {
            // Steps longer than the low level's walk: the ultra level follows them.
            EXPECT_LT(outcomes[4].error, 0.5 * outcomes[1].error)
                << "ultra " << outcomes[4].error << " against low " << outcomes[1].error;
        }
        ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kTarget));
    }
}

TEST_F(PreHUDPassGlTest, AFlatPictureIsCopiedExactlyAtEveryLevel) {
    // Soft gradients and flat patches: no contrast reaches an edge's.
    const auto gentle = [](int32_t x, int32_t y) { return Rgb(40 + x, 90 + y / 2, 200 - x / 2); };
    MakePicture(kTarget, kSide, kSide, gentle);
    for (int32_t level = 0; level <= 4; ++level) {
        ZPreHUDPassShader shader(level);
        const std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSide * kSide));
        int wrong = 0;
        for (int32_t y = 0; y < kSide; ++y) {
            for (int32_t x = 0; x < kSide; ++x) {
                wrong +=
                    (pixels[static_cast<size_t>(y * kSide + x)] & 0xFFFFFFu) != (gentle(x, y) & 0xFFFFFFu)
                        ? 1
                        : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "level " << level;
    }
}

TEST_F(PreHUDPassGlTest, TheFilterSwitchAndTheFade) {
    MakePicture(kTarget, kSide, kSide, [](int32_t x, int32_t y) { return Staircase(kShallow, x, y); });
    ZPreHUDPassShader shader(4);
    // With the switch off the scene is copied as it is.
    std::vector<uint32_t> pixels = DrawPass(shader, kSide, kSide, [](ZEffect* effect) {
        effect->GetEffect()->SetBool(effect->GetEffect()->GetParameterByName(0, "bUseFXAA"), false);
    });
    ASSERT_EQ(pixels.size(), static_cast<size_t>(kSide * kSide));
    int wrong = 0;
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            wrong += (pixels[static_cast<size_t>(y * kSide + x)] & 0xFFFFFFu) !=
                     (Staircase(kShallow, x, y) & 0xFFFFFFu);
        }
    }
    EXPECT_EQ(wrong, 0);

    // The base game's fade-out reaches the pass: a quarter of the way to black.
    ZBaseGame::GetInstance()->SetFadeOut(0.25f);
    for (const int32_t level : {0, 4}) {
        ZPreHUDPassShader faded(level);
        pixels = DrawPass(faded, kSide, kSide);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSide * kSide));
        EXPECT_NEAR(Red(pixels[0]), 191, 1) << "level " << level;  // white, far from the edge
        EXPECT_EQ(Red(pixels[static_cast<size_t>(kSide * kSide - 1)]), 0) << "level " << level;
        EXPECT_EQ(Alpha(pixels[0]), 255);
    }
    ZBaseGame::GetInstance()->SetFadeOut(1.0f);
    ZPreHUDPassShader black(0);
    pixels = DrawPass(black, kSide, kSide);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[0] & 0xFFFFFFu, 0u);
}
