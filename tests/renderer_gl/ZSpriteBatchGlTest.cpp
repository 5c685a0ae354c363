// Sprites of a batch drawn on OpenGL: each quad covers exactly the pixels its
// pen, origin and scales give, and shows its texture rectangle texel by texel.

#include <cmath>
#include <cstring>
#include <vector>

#include "TextGlFixture.h"
#include "renderer/ZSpriteBatch.h"

using namespace gltest;

namespace {

constexpr int32_t kSheetSide = 8;

uint32_t Texel(int32_t x, int32_t y) {
    return 0xFF000000u | static_cast<uint32_t>(30 * x + 5) << 16 | static_cast<uint32_t>(30 * y + 5) << 8 | 0x40u;
}

}  // namespace

TEST_F(TextGlTest, SpritesCoverTheirPixelsTexelByTexel) {
    ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(kSheetSide, kSheetSide, ZHashedString("Sheet"));
    int32_t pitch = 0;
    void* bits = nullptr;
    ASSERT_TRUE(texture->LockRect(pitch, bits));
    for (int32_t y = 0; y < kSheetSide; ++y) {
        for (int32_t x = 0; x < kSheetSide; ++x) {
            const uint32_t c = Texel(x, y);
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
        }
    }
    texture->UnlockRect();

    struct Case {
        ZSpriteFrame frame;
        float penX, screenY;  // the pen's y as a screen row (the batch takes it negated)
        float scaleX, scaleY, scale;
    };
    const Case cases[] = {
        // The whole sheet, one texel a pixel.
        {{0.0f, 0.0f, 1.0f, 1.0f, 8, 8, 0, 0}, 4, 6, 1, 1, 1},
        // The lower right quarter, enlarged three times, moved by its origin.
        {{0.5f, 0.5f, 0.5f, 0.5f, 4, 4, 2, 1}, 40, 10, 1, 1, 3},
        // A 2 x 4 strip stretched unevenly.
        {{0.25f, 0.0f, 0.25f, 0.5f, 2, 4, 0, 0}, 100, 50, 4, 2, 1},
    };
    ZSpriteBatch batch;
    std::vector<uint32_t> expected(static_cast<size_t>(kWidth) * kHeight, kBackground);
    for (int32_t k = 0; k < static_cast<int32_t>(std::size(cases)); ++k) {
        const Case& c = cases[k];
        batch.AddSprite(k, c.frame);
        float x = c.penX;
        const float y = -c.screenY;
        ASSERT_TRUE(batch.AddGlyphQuad(k, &x, &y, c.scaleX, c.scaleY, ZColor32(255, 255, 255, 255),
                                       ZColor32(255, 255, 255, 255), 0, 0, c.scale));
        const ZSpriteFrame& f = c.frame;
        const auto left = static_cast<int32_t>(c.penX + f.originX * c.scaleX * c.scale);
        const auto top = static_cast<int32_t>(c.screenY + f.originY * c.scaleY * c.scale);
        const auto w = static_cast<int32_t>(f.width * c.scaleX * c.scale);
        const auto h = static_cast<int32_t>(f.height * c.scaleY * c.scale);
        for (int32_t j = 0; j < h; ++j) {
            for (int32_t i = 0; i < w; ++i) {
                const float u = f.u + (static_cast<float>(i) + 0.5f) / static_cast<float>(w) * f.uWidth;
                const float v = f.v + (static_cast<float>(j) + 0.5f) / static_cast<float>(h) * f.vHeight;
                const auto tx = static_cast<int32_t>(std::floor(u * kSheetSide));
                const auto ty = static_cast<int32_t>(std::floor(v * kSheetSide));
                expected[static_cast<size_t>(top + j) * kWidth + static_cast<size_t>(left + i)] = Texel(tx, ty);
            }
        }
    }
    DrawWith(batch, ZHashedString("Sheet"));
    EXPECT_TRUE(SameImage(Pixels(), expected));
    EXPECT_TRUE(batch.GetQuads().IsEmpty());
}
