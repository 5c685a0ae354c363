// The renderer drawing on OpenGL, checked by reading pixels back: clears, an
// exact texel-to-pixel screen quad, alpha blending, cube maps, DXT blocks
// and a render target sampled by its name in the texture cache.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GlRendererFixture.h"
#include "foundation/ZVector4.h"
#include "renderer/RendererFiles.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"

using namespace gltest;

namespace {

// Within tolerance of expected in every channel.
::testing::AssertionResult Near(uint32_t pixel, int r, int g, int b, int a, int tolerance) {
    const int got[4] = {Red(pixel), Green(pixel), Blue(pixel), Alpha(pixel)};
    const int want[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        if (std::abs(got[i] - want[i]) > tolerance) {
            return ::testing::AssertionFailure() << "pixel r " << got[0] << " g " << got[1] << " b " << got[2]
                                                 << " a " << got[3] << ", expected r " << r << " g " << g << " b "
                                                 << b << " a " << a;
        }
    }
    return ::testing::AssertionSuccess();
}

// 565 to 888 by bit replication.
void Expand565(uint16_t c, int& r, int& g, int& b) {
    const int r5 = c >> 11, g6 = c >> 5 & 63, b5 = c & 31;
    r = r5 << 3 | r5 >> 2;
    g = g6 << 2 | g6 >> 4;
    b = b5 << 3 | b5 >> 2;
}

}  // namespace

TEST_F(GlRendererTest, ClearsFillTheBoundTarget) {
    ZRenderer* r = GetRenderer();
    r->Clear(true, true, 0xFF336699u, 1.0f);
    EXPECT_TRUE(AllPixels(ReadBackBuffer(), kWidth, 0xFF336699u));

    ZRenderTarget target;
    target.width = 64;
    target.height = 32;
    target.format = ZRenderTarget::kA8R8G8B8;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
    r->SetRenderTarget(0, &target);
    r->Clear(true, false, 0x80FF0000u, 1.0f);
    EXPECT_TRUE(AllPixels(ReadTarget(target.surface, 64, 32), 64, 0x80FF0000u));
    r->SetRenderTarget(0, nullptr);
    EXPECT_TRUE(AllPixels(ReadBackBuffer(), kWidth, 0xFF336699u)) << "the back buffer kept its colour";
}

TEST_F(GlRendererTest, TheScreenQuadMapsEachTexelToItsPixel) {
    ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(kWidth, kHeight, ZHashedString("Gradient"));
    int32_t pitch = 0;
    void* bits = nullptr;
    ASSERT_TRUE(texture->LockRect(pitch, bits));
    const auto texel = [](int32_t x, int32_t y) {
        return 0xFF000000u | static_cast<uint32_t>((x * 7 + y * 13) & 255) << 16 | static_cast<uint32_t>(y) << 8 |
               static_cast<uint32_t>(x);
    };
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t c = texel(x, y);
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
        }
    }
    texture->UnlockRect();

    ZEffect* effect = LoadEffect("textured", kTexturedEffect);
    ScreenQuad quad;
    Draw(effect, "Textured", quad.renderable, [&] { Param(effect, "tex")->SetTexture(ZHashedString("Gradient")); });
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    int wrong = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            if (pixels[static_cast<size_t>(y) * kWidth + x] != texel(x, y) && wrong++ < 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex
                              << pixels[static_cast<size_t>(y) * kWidth + x] << ", texel 0x" << texel(x, y);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(GlRendererTest, AlphaBlendsOverWhatIsThere) {
    ZRenderer* r = GetRenderer();
    r->Clear(true, false, 0xFF0000FFu, 1.0f);
    ZEffect* effect = LoadEffect("textured", kTexturedEffect);
    ScreenQuad quad;
    Draw(effect, "Blended", quad.renderable, [&] { Param(effect, "tint")->SetVector(ZVector4(1, 0, 0, 0.25f)); });
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    // 0.25 of red over 0.75 of blue.
    EXPECT_TRUE(Near(pixels[0], 64, 0, 191, 255, 1));
    EXPECT_TRUE(Near(pixels[pixels.size() - 1], 64, 0, 191, 255, 1));
    EXPECT_TRUE(Near(pixels[100 * kWidth + 128], 64, 0, 191, 255, 1));
}

TEST_F(GlRendererTest, CubeMapsSampleTheFaceOfADirection) {
    rfiles::DDS cube;
    cube.width = cube.height = 2;
    cube.caps2 = rfiles::kDDSCubeMap;
    const uint32_t faceColours[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};
    for (uint32_t colour : faceColours) {
        for (int t = 0; t < 4; ++t) rfiles::Put32(cube.data, colour);
    }
    dir.Write("sky.dds", cube.Bytes());
    ZTexture* sky = ZTextureMgr::GetInstance()->LoadTexture("sky.dds", ZHashedString("Sky"), nullptr);
    ASSERT_NE(sky->GetTexture(), nullptr);
    ASSERT_TRUE(sky->cube);

    ZEffect* effect = LoadEffect("sky", R"(effect 1
parameter texture cube
parameter float4 direction
sampler samplerCUBE cubeSampler
    texture cube
    MinFilter Point
    MagFilter Point
end
technique Sky
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
uniform samplerCube cubeSampler;
uniform vec4 direction;
out vec4 colour;
void main() { colour = texture(cubeSampler, direction.xyz); }
endcode
)");
    const ZVector4 directions[6] = {{1, 0.1f, 0.2f, 0}, {-1, 0.2f, 0.1f, 0}, {0.1f, 1, 0.2f, 0},
                                    {0.2f, -1, 0.1f, 0}, {0.1f, 0.2f, 1, 0}, {0.2f, 0.1f, -1, 0}};
    ScreenQuad quad;
    for (int face = 0; face < 6; ++face) {
        Draw(effect, "Sky", quad.renderable, [&] {
            Param(effect, "cube")->SetTexture(ZHashedString("Sky"));
            Param(effect, "direction")->SetVector(directions[face]);
        });
        EXPECT_TRUE(AllPixels(ReadBackBuffer(), kWidth, faceColours[face])) << "face " << face;
    }
}

TEST_F(GlRendererTest, DXTBlocksDecodeToTheirColours) {
    // Four DXT1 blocks: a four-colour block, a three-colour block with a
    // transparent texel, and two solid ones, as an 8 x 8 texture.
    const uint8_t ramp[16] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    const uint8_t punch[16] = {0, 1, 2, 3, 3, 3, 3, 3, 0, 0, 0, 0, 1, 1, 1, 1};
    const uint8_t solid[16] = {};
    rfiles::DDS dds;
    dds.width = dds.height = 8;
    dds.pixelFlags = rfiles::kDDSFourCC;
    dds.fourCC = rfiles::FourCC("DXT1");
    dds.bitCount = 0;
    const uint16_t red = 0xF800, blue = 0x001F, green = 0x07E0, white = 0xFFFF, grey = 0x8410;
    dds.data = rfiles::Dxt1Block(red, blue, ramp) + rfiles::Dxt1Block(green, white, punch) +
               rfiles::Dxt1Block(grey, 0, solid) + rfiles::Dxt1Block(0x001F, 0, solid);
    dir.Write("blocks.dds", dds.Bytes());
    ASSERT_NE(ZTextureMgr::GetInstance()->LoadTexture("blocks.dds", ZHashedString("Blocks"), nullptr)->GetTexture(),
              nullptr);

    // The expected texels, decoded here by the format's rules.
    const auto decode = [&](uint16_t c0, uint16_t c1, int index, int& r, int& g, int& b, int& a) {
        int r0, g0, b0, r1, g1, b1;
        Expand565(c0, r0, g0, b0);
        Expand565(c1, r1, g1, b1);
        a = 255;
        if (index == 0) {
            r = r0, g = g0, b = b0;
        } else if (index == 1) {
            r = r1, g = g1, b = b1;
        } else if (c0 > c1) {
            const int w0 = index == 2 ? 2 : 1, w1 = 3 - w0;
            r = (w0 * r0 + w1 * r1) / 3, g = (w0 * g0 + w1 * g1) / 3, b = (w0 * b0 + w1 * b1) / 3;
        } else if (index == 2) {
            r = (r0 + r1) / 2, g = (g0 + g1) / 2, b = (b0 + b1) / 2;
        } else {
            r = g = b = a = 0;
        }
    };

    ZRenderTarget target;
    target.width = target.height = 8;
    target.format = ZRenderTarget::kA8R8G8B8;
    ZRenderer* r = GetRenderer();
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
    r->SetRenderTarget(0, &target);
    r->Clear(true, false, 0x7F7F7F7Fu, 1.0f);
    ZEffect* effect = LoadEffect("textured", kTexturedEffect);
    ScreenQuad quad(8, 8);
    Draw(effect, "Textured", quad.renderable, [&] { Param(effect, "tex")->SetTexture(ZHashedString("Blocks")); });
    const std::vector<uint32_t> pixels = ReadTarget(target.surface, 8, 8);
    r->SetRenderTarget(0, nullptr);

    const uint16_t colours[4][2] = {{red, blue}, {green, white}, {grey, 0}, {0x001F, 0}};
    const uint8_t* indices[4] = {ramp, punch, solid, solid};
    for (int block = 0; block < 4; ++block) {
        for (int t = 0; t < 16; ++t) {
            const int x = (block % 2) * 4 + t % 4, y = (block / 2) * 4 + t / 4;
            int er, eg, eb, ea;
            decode(colours[block][0], colours[block][1], indices[block][t], er, eg, eb, ea);
            EXPECT_TRUE(Near(pixels[static_cast<size_t>(y) * 8 + x], er, eg, eb, ea, 3))
                << "block " << block << " texel " << t;
        }
    }
}

TEST_F(GlRendererTest, DXT5AlphaInterpolates) {
    // Alpha 255 and 0 with eight steps; one row of texels per alpha index 0, 1, 2, 7.
    std::string block;
    rfiles::Put8(block, 255);
    rfiles::Put8(block, 0);
    uint64_t bits = 0;
    const int rowIndex[4] = {0, 1, 2, 7};
    for (int t = 0; t < 16; ++t) bits |= static_cast<uint64_t>(rowIndex[t / 4]) << (3 * t);
    for (int i = 0; i < 6; ++i) rfiles::Put8(block, static_cast<uint32_t>(bits >> (8 * i)));
    const uint8_t solid[16] = {};
    block += rfiles::Dxt1Block(0xFFFF, 0, solid);
    rfiles::DDS dds;
    dds.width = dds.height = 4;
    dds.pixelFlags = rfiles::kDDSFourCC;
    dds.fourCC = rfiles::FourCC("DXT5");
    dds.bitCount = 0;
    dds.data = block;
    dir.Write("alpha.dds", dds.Bytes());
    ASSERT_NE(ZTextureMgr::GetInstance()->LoadTexture("alpha.dds", ZHashedString("Alpha"), nullptr)->GetTexture(),
              nullptr);

    ZRenderTarget target;
    target.width = target.height = 4;
    target.format = ZRenderTarget::kA8R8G8B8;
    ZRenderer* r = GetRenderer();
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
    r->SetRenderTarget(0, &target);
    ZEffect* effect = LoadEffect("textured", kTexturedEffect);
    ScreenQuad quad(4, 4);
    Draw(effect, "Textured", quad.renderable, [&] { Param(effect, "tex")->SetTexture(ZHashedString("Alpha")); });
    const std::vector<uint32_t> pixels = ReadTarget(target.surface, 4, 4);
    r->SetRenderTarget(0, nullptr);
    const int expected[4] = {255, 0, (6 * 255) / 7, 255 / 7};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(pixels[y * 4 + x], 255, 255, 255, expected[y], 2)) << y;
    }
}

TEST_F(GlRendererTest, ARenderTargetIsSampledByNameAlsoAfterAReset) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget target;
    target.width = kWidth;
    target.height = kHeight;
    target.format = ZRenderTarget::kA8R8G8B8;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString("Offscreen")));
    ZTexture* published = ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Offscreen"));
    ASSERT_NE(published, nullptr);
    ZEffect* effect = LoadEffect("textured", kTexturedEffect);
    ScreenQuad quad;

    const auto drawThrough = [&](uint32_t colour) {
        r->SetRenderTarget(0, &target);
        r->Clear(true, false, colour, 1.0f);
        r->SetRenderTarget(0, nullptr);
        r->Clear(true, false, 0xFF000000u, 1.0f);
        Draw(effect, "Textured", quad.renderable,
             [&] { Param(effect, "tex")->SetTexture(ZHashedString("Offscreen")); });
        return ReadBackBuffer();
    };
    EXPECT_TRUE(AllPixels(drawThrough(0xFF204060u), kWidth, 0xFF204060u));

    // A reset re-creates the target; the name reaches the new texture through the same object.
    r->EndScene();
    int32_t w = kWidth, h = kHeight;
    bool exclusive = false;
    r->reset(nullptr, w, h, ZRenderVideoSettings(), exclusive);
    ASSERT_FALSE(r->deviceLost);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Offscreen")), published);
    EXPECT_EQ(published->GetTexture(), target.texture);
    r->present();
    ASSERT_TRUE(r->BeginScene());
    EXPECT_TRUE(AllPixels(drawThrough(0xFF608040u), kWidth, 0xFF608040u));
}
