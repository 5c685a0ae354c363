// A mod's pre-HUD effect in the running game: one that reads the bloom's
// "UpsampledBuffer" gets the buffer drawn by the Upsample pass, also when it
// comes in with a change of the anti-aliasing level during play (the game's
// own effects never read it, so the pass is off until then).
// KORV_PREHUD_SHOTS names a folder for the two pictures.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/ZBaseGame.h"
#include "framework_game/RunScenarios.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"
#include "support/TempDir.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

// Shows the upsampled buffer alone, in place of the scene.
const char* const kModEffect = R"(effect 1
parameter texture UpsampledBuffer
sampler sampler2D bloomSampler
    texture UpsampledBuffer
    MinFilter Linear
    MagFilter Linear
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
technique PreHUDPassTechnique
    pass P0
        vertex PreHUDVS
        fragment PreHUDFS
        CullMode None
        ZEnable false
        ZWriteEnable false
        AlphaBlendEnable false
end
code vertex PreHUDVS
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 screenUV;
void main() {
    gl_Position = vec4(a_Position.xy, 0.0, 1.0);
    screenUV = a_TexCoord0;
}
endcode
code fragment PreHUDFS
uniform sampler2D bloomSampler;
in vec2 screenUV;
out vec4 colour;
void main() { colour = vec4(textureLod(bloomSampler, screenUV, 0.0).rgb, 1.0); }
endcode
)";

// The mean of red, green and blue over the shot (0..255).
double MeanLevel(const Shot& shot) {
    if (shot.pixels.empty()) return 0.0;
    double sum = 0.0;
    for (const uint32_t p : shot.pixels) sum += ((p >> 16) & 0xFFu) + ((p >> 8) & 0xFFu) + (p & 0xFFu);
    return sum / (3.0 * static_cast<double>(shot.pixels.size()));
}

bool UpsamplePassOn() {
    const ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(ZHashedString("Upsample Pass"));
    return pass != nullptr && pass->enabled;
}

}  // namespace

TEST(PreHUDEffectGl, AModsEffectReadingTheUpsampledBufferGetsItWhenTheLevelChangesInPlay) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        const std::filesystem::path mods =
            documents.Path() / (std::string("My Games/") + KorvanthGame::kTitle + "/Mods");
        std::filesystem::create_directories(mods);
        std::ofstream(mods / "Korvanth_FXAA_High.fxo") << kModEffect;

        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.documents = documents.Path().string();
        // The bloom glows through the CRT simulation only.
        setup.config = "[Video]\r\nCRTSim: true\r\nFXAA: 0\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 22, 24);
        Shot scene;
        Shot bloom;
        bool offBefore = false;
        bool onAfter = false;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 5) {
                scene = Take();
                offBefore = !UpsamplePassOn();
                // The video options' way to a new level: the mod's effect comes in.
                ZBaseGame* game = ZBaseGame::GetInstance();
                game->SetAllVideoOptions(640, 480, game->m_vsync, false, false, false, 3, game->m_tate);
            } else if (frame == 12) {
                bloom = Take();
                onAfter = UpsamplePassOn();
            }
        };
        const auto r = playtest::RunPlay(setup, "14 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        screenshot::Keep(scene, "KORV_PREHUD_SHOTS", "prehud-scene.png");
        screenshot::Keep(bloom, "KORV_PREHUD_SHOTS", "prehud-upsampled.png");
        EXPECT_TRUE(offBefore) << "the game's own effect does not read the buffer";
        EXPECT_TRUE(onAfter);
        // The bloom (half the blurred scene at the default strength) shows;
        // a buffer nobody draws into shows black.
        ASSERT_GT(MeanLevel(scene), 10.0);
        EXPECT_GT(MeanLevel(bloom), 0.2 * MeanLevel(scene));
    });
}
