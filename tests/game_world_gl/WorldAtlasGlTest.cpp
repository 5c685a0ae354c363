// The world tile atlas built from the campaign's sheets, uploaded as
// "Texture_WorldTiles", drawn into a target of its own size and read back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/world/WorldAtlas.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"
#include "renderer_gl/GlRendererFixture.h"

namespace {

using gltest::GlRendererTest;
using gltest::ScreenQuad;

class WorldAtlasGlTest : public GlRendererTest {};

TEST_F(WorldAtlasGlTest, CampaignSheetsDrawFromTheAtlasAtTheirPlaces) {
    ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/Korvanth.zpk").c_str());
    std::vector<ZImage> sheets(2);
    ASSERT_TRUE(sheets[0].LoadBMP("Caverns.bmp"));
    ASSERT_TRUE(sheets[1].LoadBMP("Overworld.bmp"));
    const WorldAtlas atlas = BuildWorldAtlas(sheets);
    const int32_t side = atlas.layout.side;
    ASSERT_EQ(side, 64);
    ASSERT_TRUE(UploadWorldAtlas(atlas));
    ZTexture* texture = ZTextureMgr::GetInstance()->FindTexture(ZHashedString(kWorldTilesTexture));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, side);

    ZRenderTarget target;
    target.width = target.height = side;
    target.format = ZRenderTarget::kA8R8G8B8;
    ZRenderer* r = GetRenderer();
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
    r->SetRenderTarget(0, &target);
    r->Clear(true, false, 0x7F7F7F7Fu, 1.0f);
    ZEffect* effect = LoadEffect("textured", gltest::kTexturedEffect);
    ScreenQuad quad(side, side);
    Draw(effect, "Textured", quad.renderable,
         [&] { Param(effect, "tex")->SetTexture(ZHashedString(kWorldTilesTexture)); });
    const std::vector<uint32_t> pixels = ReadTarget(target.surface, side, side);
    r->SetRenderTarget(0, nullptr);

    // Each sheet's pixels at its place, in the colours of the world palette
    // file (the colours the game's art is drawn in); the rest clear.
    ZImage world;
    ASSERT_TRUE(world.Create(1, 1, 1, 8));
    ASSERT_TRUE(world.LoadPalette(kWorldPaletteFile));
    std::vector<uint32_t> expected(static_cast<size_t>(side) * side, 0);
    for (size_t s = 0; s < sheets.size(); ++s) {
        const AtlasPlacement& at = atlas.layout.placements[s];
        ASSERT_TRUE(at.placed);
        for (int32_t y = 0; y < sheets[s].GetHeight(); ++y) {
            for (int32_t x = 0; x < sheets[s].GetWidth(); ++x) {
                const uint8_t index = sheets[s].Row(y)[x];
                const uint8_t* e = world.GetPalette() + 4 * static_cast<uint32_t>(index);
                const uint32_t colour =
                    index == 0 ? 0u : (0xFF000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | uint32_t{e[0]});
                expected[static_cast<size_t>(at.y + y) * side + at.x + x] = colour;
            }
        }
    }
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != expected[i] && wrong++ < 5) {
            ADD_FAILURE() << "pixel (" << i % side << ", " << i / side << ") is 0x" << std::hex << pixels[i]
                          << ", expected 0x" << expected[i];
        }
    }
    EXPECT_EQ(wrong, 0);

    // A later map with a larger atlas takes the texture at its new size.
    std::vector<ZImage> big(1);
    big[0].Create(128, 8, 1, 8);
    const WorldAtlas larger = BuildWorldAtlas(big);
    ASSERT_TRUE(UploadWorldAtlas(larger));
    EXPECT_EQ(texture->width, 128);
    EXPECT_EQ(texture->height, 128);
    r->FreeRenderTarget(target, false);
}

}  // namespace
