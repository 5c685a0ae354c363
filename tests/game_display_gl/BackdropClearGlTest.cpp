// The depth backdrop's plain colour as a clear of the pre-HUD target draws the
// picture that the backdrop's quad drew: in each screen mode, the frame from
// the pre-HUD target's setter on (the screen, bloom, pre-HUD and final
// passes, over the same composite frame) with the clear against the same
// frame with the quad drawn, read back from the pre-HUD target and from the
// screen: the target exactly (the clear stores the levels a fragment would),
// the screen within one level of eight bits.

#include "DisplayChainGlFixture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/display/DisplayChain.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderPassSet.h"
#include "renderer/ZRenderable.h"
#include "support/TempDir.h"

namespace {

using displaytest::DisplayChainGlTest;
using displaytest::Green;

// The game's backdrop that does not tell its colour: its quad is drawn.
class DrawnBackdropShader : public BackdropShader {
public:
    bool GetPlainColor(ZVector4& /*plain*/) const override { return false; }
};

struct ModeCase {
    const char* name;
    int32_t width;
    int32_t height;
    bool crtSim;
    bool showBorder;
    bool anaglyph3D;
    bool backdropShows;  // some of the backdrop is left uncovered
};

const ModeCase kModes[] = {
    {"tube with its case", 480, 270, true, true, false, true},
    {"tube without its case", 480, 270, true, false, false, true},
    {"CRT simulation off, letterbox", 240, 320, false, true, false, false},
    {"anaglyph 3D", 480, 270, false, true, true, false},
};

// The game's dark grey, and a colour whose channels fall between levels.
const ZVector4 kColors[] = {{0.0625f, 0.0625f, 0.0625f, 1.0f}, {0.2f, 0.45f, 0.803f, 1.0f}};

uint32_t Card(int32_t x, int32_t y) {
    static const uint32_t bars[4] = {0xFFFFFFFFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF0000u};
    if (y < 112) return bars[x * 4 / 256];
    return ((x / 16 + y / 16) % 2) != 0 ? 0xFFE63C28u : 0xFF141450u;
}

using displaytest::Worst;

// The game's depth backdrop's quad.
ZRenderable* DepthBackdropQuad() {
    const auto* entry = ZBaseGame::GetInstance()->GetBackdrops().Find(ZHashedString("Depth Backdrop"));
    return entry != nullptr ? dynamic_cast<ZDepthBackdrop*>(entry->value)->GetQuad() : nullptr;
}

class BackdropClearGlTest : public displaytest::DisplayChainGlTest,
                            public ::testing::WithParamInterface<ModeCase> {
protected:
    // Every pass of the default list from the pre-HUD target's setter on.
    static ZHashedString ScreenPasses() {
        ZRenderer* renderer = GetRenderer();
        const ZHashedString name("backdrop test: from the pre-HUD setter on");
        if (renderer->FindPassSet(name) == nullptr) {
            ZRenderPassSet* set = renderer->CreatePassSet(name);
            const ZHashedString setter = ZBaseGame::GetInstance()->GetPreHUDTargetSetterPassName();
            bool from = false;
            for (ZRenderPassDesc* pass : renderer->renderPasses) {
                from = from || pass->name == setter;
                if (from) set->passes.PushBack(pass);
            }
        }
        return name;
    }

    // Two frames (the composite frames change places every frame and come back).
    void Draw(std::vector<uint32_t>& preHUD, std::vector<uint32_t>& screen) {
        const ZHashedString passes = ScreenPasses();
        ASSERT_TRUE(harness.Frame(passes));
        ASSERT_TRUE(harness.Frame(passes));
        preHUD = korvtest::DisplayChainHarness::Read(ZBaseGame::GetInstance()->GetPreHUDTarget()->target);
        screen = harness.ReadScreen();
    }
};

}  // namespace

TEST_P(BackdropClearGlTest, TheClearDrawsThePictureOfTheQuad) {
    const ModeCase& c = GetParam();
    Start(c.width, c.height);
    Settings().crtSim = c.crtSim;
    Settings().showBorder = c.showBorder;
    Settings().anaglyph3D = c.anaglyph3D;
    ApplyCRTPassSetting();
    ApplyBorderSetting();
    ApplyAnaglyphPassSetting();
    harness.SetCard(Card);
    Frames(4);

    ZBaseGame* game = ZBaseGame::GetInstance();
    ZRenderable* quad = DepthBackdropQuad();
    ASSERT_NE(quad, nullptr);
    auto* plain = dynamic_cast<BackdropShader*>(quad->shader);
    ASSERT_NE(plain, nullptr);
    DrawnBackdropShader drawn;
    const ZRenderPassDesc* defaultPass = GetRenderer()->FindRenderPass(game->GetDefaultPassName());

    for (const ZVector4& color : kColors) {
        plain->color = color;
        drawn.color = color;
        ZVector4 answer;
        EXPECT_TRUE(ZDepthBackdrop::CanClearInstead(defaultPass, quad, answer)) << "the clear stands in";
        std::vector<uint32_t> clearedPreHUD, clearedScreen;
        Draw(clearedPreHUD, clearedScreen);

        quad->shader = &drawn;
        EXPECT_FALSE(ZDepthBackdrop::CanClearInstead(defaultPass, quad, answer)) << "the quad draws";
        std::vector<uint32_t> drawnPreHUD, drawnScreen;
        Draw(drawnPreHUD, drawnScreen);
        quad->shader = plain;

        ASSERT_FALSE(clearedPreHUD.empty());
        ASSERT_EQ(clearedPreHUD.size(), drawnPreHUD.size());
        ASSERT_EQ(clearedScreen.size(), static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
        ASSERT_EQ(clearedScreen.size(), drawnScreen.size());
        const uint32_t expected = displaytest::Rgb(static_cast<int>(color.x * 255.0f + 0.5f),
                                                   static_cast<int>(color.y * 255.0f + 0.5f),
                                                   static_cast<int>(color.z * 255.0f + 0.5f));
        const auto backdropPixels = std::count_if(drawnPreHUD.begin(), drawnPreHUD.end(), [&](uint32_t p) {
            return (p & 0xFFFFFFu) == (expected & 0xFFFFFFu);
        });
        if (c.backdropShows) {
            EXPECT_GT(backdropPixels, 0) << "the quad's colour shows around the tube";
        }
        size_t at = 0;
        int worst = Worst(clearedPreHUD, drawnPreHUD, at);
        EXPECT_EQ(worst, 0) << "pre-HUD target: pixel " << at << " cleared " << std::hex << clearedPreHUD[at]
                            << ", drawn " << drawnPreHUD[at];
        at = 0;
        worst = Worst(clearedScreen, drawnScreen, at);
        EXPECT_LE(worst, 1) << "screen: pixel (" << at % static_cast<size_t>(c.width) << ", "
                            << at / static_cast<size_t>(c.width) << ") cleared " << std::hex << clearedScreen[at]
                            << ", drawn " << drawnScreen[at];
    }
}

// A mod's backdrop that draws a gradient and does not vouch for a plain colour
// (no PlainColor annotation on its technique) is drawn as it is, not cleared.
TEST_F(DisplayChainGlTest, AModdedBackdropWithoutThePlainColourMarkIsDrawn) {
    korvtest::TempDir mod;
    mod.Write("backdrop.fxo", R"(effect 1
parameter float4 BackdropColor = 0 0 0 1
technique BackdropTech
    pass P0
        vertex BackdropVS
        fragment BackdropFS
        CullMode None
        ZEnable true
        ZFunc LessEqual
        ZWriteEnable false
        AlphaBlendEnable false
end
code vertex BackdropVS
in vec3 a_Position;
out float shade;
void main() {
    gl_Position = vec4(a_Position.xy, 0.99999, 1.0);
    shade = a_Position.y * 0.5 + 0.5;
}
endcode
code fragment BackdropFS
in float shade;
out vec4 colour;
void main() { colour = vec4(shade, shade, shade, 1.0); }
endcode
)");
    Start(480, 270, mod.Path().string());
    Settings().crtSim = true;
    Settings().showBorder = false;
    ApplyCRTPassSetting();
    ApplyBorderSetting();
    Frames(2);

    ZBaseGame* game = ZBaseGame::GetInstance();
    ZRenderable* quad = DepthBackdropQuad();
    ASSERT_NE(quad, nullptr);
    ZVector4 answer;
    EXPECT_FALSE(ZDepthBackdrop::CanClearInstead(GetRenderer()->FindRenderPass(game->GetDefaultPassName()), quad, answer));
    // Beside the tube, the top and the bottom rows of the gradient differ.
    const std::vector<uint32_t> preHUD = korvtest::DisplayChainHarness::Read(game->GetPreHUDTarget()->target);
    const int32_t w = game->GetPreHUDTarget()->target.width, h = game->GetPreHUDTarget()->target.height;
    ASSERT_EQ(preHUD.size(), static_cast<size_t>(w) * static_cast<size_t>(h));
    const uint32_t top = preHUD[1], bottom = preHUD[static_cast<size_t>(h - 2) * static_cast<size_t>(w) + 1];
    EXPECT_GT(std::abs(Green(top) - Green(bottom)), 100) << std::hex << top << " " << bottom;
}

INSTANTIATE_TEST_SUITE_P(Modes, BackdropClearGlTest, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });
