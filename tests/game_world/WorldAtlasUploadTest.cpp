// The world tile atlas upload on the fake device, where the texture of an
// earlier map cannot be made again at the new size: nothing is written (the
// old code wrote the new size's rows into the old texture; ASan sees it).

#include <gtest/gtest.h>

#include <vector>

#include "game/world/WorldAtlas.h"
#include "renderer/RendererFixture.h"
#include "renderer/ZTexture.h"

namespace {

class WorldAtlasUploadTest : public rtest::RendererTest {};

TEST_F(WorldAtlasUploadTest, AFailedRecreationLeavesTheOldTextureUnwritten) {
    Start();
    std::vector<ZImage> small(1);
    ASSERT_TRUE(small[0].Create(40, 8, 1, 8));
    const WorldAtlas first = BuildWorldAtlas(small);
    ASSERT_TRUE(UploadWorldAtlas(first));
    ZTexture* texture = ZTextureMgr::GetInstance()->FindTexture(ZHashedString(kWorldTilesTexture));
    ASSERT_NE(texture, nullptr);
    const int32_t side = texture->width;

    // The device refuses anything wider: the next map's larger atlas has no texture to go to.
    state->script.caps.maxTextureWidth = static_cast<uint32_t>(side);
    std::vector<ZImage> big(1);
    ASSERT_TRUE(big[0].Create(side * 2, 8, 1, 8));
    const WorldAtlas larger = BuildWorldAtlas(big);
    ASSERT_GT(larger.layout.side, side);
    EXPECT_FALSE(UploadWorldAtlas(larger));
    EXPECT_EQ(texture->width, side);
    EXPECT_EQ(texture->height, side);
}

}  // namespace
