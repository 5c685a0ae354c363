// The cheaper display chain draws the picture the chain drew before: frames
// drawn with the earlier effects (tests/fixtures/display/before: the final
// pass, the pre-HUD pass, the bloom chain, the CRT glass and the monitor
// case, mounted ahead of the packaged ones, which also brings back the
// full-screen upsample pass and the final pass's copy) against frames of the
// current chain, pixel by pixel, within two levels of eight bits (three where
// the glass's light is blended between the tube's points, four where the
// scanlines and stripes show, more where a raised brightness steepens the
// darkest levels).

#include "DisplayChainGlFixture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "renderer/ZEffect.h"
#include "renderer/ZRenderPassDesc.h"

namespace {

using displaytest::Blue;
using displaytest::Green;
using displaytest::Red;
using displaytest::Worst;

struct ChainCase {
    const char* name;
    int32_t width;
    int32_t height;
    float brightness;
    int32_t tate;
    // Levels of eight bits a pixel may differ by.
    int tolerance;
    // The fade to black (the pre-HUD pass's full technique instead of its plain one).
    float fadeOut = 0.0f;
};

// Three levels: the glass's light, blended between the tube mesh's points,
// differs by up to that much from the light taken at every pixel. A raised
// brightness (colours to the power 2^-0.5) steepens the darkest levels up to
// threefold, so a difference of two near black becomes up to six. Below
// about 700 pixels of height the scanlines and the mask's stripes are too
// fine to show; where they show, the glass draws the scanline texture's line
// profile and stripes itself (each within a level of the texture's filtered
// texels, up to two levels of the picture), which on the brightest colours
// can add a level to the light's three. The pre-HUD pass writes the scene,
// then adds the bloom's square with the blend: the scene and the bloom are
// rounded to eight bits apart and the bloom's spread takes eight-bit
// weights, a level or two where the bloom glows, which stays within those.
const ChainCase kCases[] = {
    {"wide screen, plain final pass", 480, 270, 0.0f, 0, 3},
    {"4:3 screen, plain final pass", 320, 240, 0.0f, 0, 3},
    {"brightness raised: the full final pass", 480, 270, 0.5f, 0, 6},
    {"turned a quarter: the full final pass", 480, 270, 0.0f, 1, 3},
    {"4:3 at 1024 x 768: the scanlines and the mask's stripes show", 1024, 768, 0.0f, 0, 4},
    {"fading to black: the full pre-HUD pass", 480, 270, 0.0f, 0, 3, 0.4f},
};

constexpr int kFrames = 4;

// A busy card: colour bars over a checker, so the bloom and the scanlines have edges.
uint32_t Card(int32_t x, int32_t y) {
    static const uint32_t bars[4] = {0xFFFFFFFFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF0000u};
    if (y < 112) return bars[x * 4 / 256];
    return ((x / 16 + y / 16) % 2) != 0 ? 0xFFE63C28u : 0xFF141450u;
}

bool PassOn(const ZHashedString name) {
    const ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(name);
    return pass != nullptr && pass->enabled;
}

bool UpsamplePassOn() {
    const ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(ZHashedString("Upsample Pass"));
    return pass != nullptr && pass->enabled;
}

// The screen after a few frames, with the effects of firstFolder (when not
// empty) in place of the packaged ones.
std::vector<uint32_t> Draw(const ChainCase& c, const std::string& firstFolder, bool& upsampled, bool& copied,
                           ZHashedString& preHUDTechnique) {
    korvtest::DisplayChainHarness harness;
    std::string why;
    std::vector<uint32_t> screen;
    if (harness.Start(c.width, c.height, KORV_DATA_BUILD_DIR "/Engine.zpk", KORV_SOURCE_DIR, why, firstFolder)) {
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->m_brightness = c.brightness;
        game->m_tate = c.tate;
        game->SetFadeOut(c.fadeOut);
        harness.SetCard(Card);
        bool drawn = true;
        for (int i = 0; i < kFrames && drawn; ++i) drawn = harness.Frame();
        upsampled = UpsamplePassOn();
        copied = PassOn(game->GetFinalPassName());
        const ZPassBinding* binding = game->GetFXAAFilter()->GetPassBinding(game->GetPreHUDPassName());
        preHUDTechnique = binding != nullptr ? binding->technique : ZHashedString::None();
        if (drawn) screen = harness.ReadScreen();
    } else {
        ADD_FAILURE() << why;
    }
    harness.Stop();
    ClearConfigRegistry();
    return screen;
}

class CheaperChainGlTest : public ::testing::TestWithParam<ChainCase> {};

}  // namespace

TEST_P(CheaperChainGlTest, DrawsThePictureOfTheEarlierChain) {
    const ChainCase& c = GetParam();
    bool upsampledBefore = false;
    bool upsampledNow = true;
    bool copiedBefore = false;
    bool copiedNow = false;
    ZHashedString techniqueBefore, techniqueNow;
    const std::vector<uint32_t> before =
        Draw(c, KORV_FIXTURES_DIR "/display/before", upsampledBefore, copiedBefore, techniqueBefore);
    const std::vector<uint32_t> now = Draw(c, std::string(), upsampledNow, copiedNow, techniqueNow);
    ASSERT_EQ(before.size(), static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
    ASSERT_EQ(now.size(), before.size());
    EXPECT_TRUE(upsampledBefore) << "the earlier pre-HUD effect reads the upsampled buffer";
    EXPECT_FALSE(upsampledNow) << "the current effects need no upsample pass";
    EXPECT_TRUE(copiedBefore) << "the earlier final pass has no plain program: it draws";
    const bool plain = c.brightness == 0.0f && c.tate == 0;
    EXPECT_EQ(copiedNow, !plain) << "a plain final pass is skipped: the frame goes straight to the back buffer";
    EXPECT_EQ(techniqueNow, ZHashedString(c.fadeOut == 0.0f ? "PreHUDPassPlain" : "PreHUDPassTechnique"))
        << "the pre-HUD pass scales the picture only while it fades";

    size_t at = 0;
    const int worst = Worst(now, before, at);
    int64_t lit = 0;
    for (const uint32_t pixel : before) lit += Red(pixel) + Green(pixel) + Blue(pixel);
    EXPECT_GT(lit, 0) << "the reference frame shows the card";
    EXPECT_LE(worst, c.tolerance) << "pixel (" << at % static_cast<size_t>(c.width) << ", "
                                 << at / static_cast<size_t>(c.width) << ") was " << std::hex << before[at]
                                 << ", is " << now[at];
}

INSTANTIATE_TEST_SUITE_P(Cases, CheaperChainGlTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ChainCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

// The composite pass takes the luma and the chroma of the line once and mixes
// the two subcarrier phases' decodes in the sums (the mix is linear in them);
// tests/fixtures/display/composite_two_decodes holds the effect that decoded
// each phase whole and mixed the results. The same picture, within float
// rounding.
TEST(CheaperCompositeGlTest, OneDecodeDrawsWhatTheTwoDecodesDrew) {
    const ChainCase c{"wide screen", 480, 270, 0.0f, 0, 1};
    bool upsampled = false, copied = false;
    ZHashedString technique;
    const std::vector<uint32_t> before =
        Draw(c, KORV_FIXTURES_DIR "/display/composite_two_decodes", upsampled, copied, technique);
    const std::vector<uint32_t> now = Draw(c, std::string(), upsampled, copied, technique);
    ASSERT_EQ(before.size(), static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
    ASSERT_EQ(now.size(), before.size());
    size_t at = 0;
    const int worst = Worst(now, before, at);
    EXPECT_LE(worst, c.tolerance) << "pixel (" << at % static_cast<size_t>(c.width) << ", "
                                 << at / static_cast<size_t>(c.width) << ") was " << std::hex << before[at]
                                 << ", is " << now[at];
}
