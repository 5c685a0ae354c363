// What the engine's backdrop and text effects draw on OpenGL, read back: the
// depth backdrop fills only what is still at the far depth, the dialog box
// lands where its shader places it with its key colour cut out, and text
// quads land on the screen pixels their positions name.

#include <string>
#include <vector>

#include "FullscreenPassFixture.h"
#include "renderer/AnaglyphBackdropShader.h"
#include "renderer/ZDepthBackdropShader.h"
#include "renderer/ZQuadRenderable.h"

using namespace gltest;

namespace {

// Writes depth 0.5 over the left half of the target, in blue.
const char* kNearHalf = R"(effect 1
technique Near
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable true
        ZFunc Always
        ZWriteEnable true
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position.x * 0.5 - 0.5, a_Position.y, 0.5, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(0.0, 0.0, 1.0, 1.0); }
endcode
)";

class BackdropEffectsGlTest : public FullscreenPassTest {};

}  // namespace

TEST_F(BackdropEffectsGlTest, TheDepthBackdropFillsOnlyWhatIsStillFar) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget target;
    target.width = 64;
    target.height = 32;
    target.format = ZRenderTarget::kA8R8G8B8;
    target.depthStencil = true;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
    r->SetRenderTarget(0, &target);
    r->Clear(true, true, 0xFF000000u, 1.0f);

    ZEffect* near = LoadEffect("near", kNearHalf);
    ZQuadRenderable quad;
    Draw(near, "Near", quad, [] {});
    ZDepthBackdropShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    DrawWith(shader, quad);
    const std::vector<uint32_t> pixels = ReadTarget(target.surface, 64, 32);
    r->SetRenderTarget(0, nullptr);

    // The engine's backdrop colour is (0.5, 0.5, 0.5, 0.5), written as it is.
    for (int32_t y = 0; y < 32; y += 5) {
        EXPECT_EQ(pixels[static_cast<size_t>(y * 64 + 5)], 0xFF0000FFu) << "near pixel, row " << y;
        const uint32_t far = pixels[static_cast<size_t>(y * 64 + 50)];
        EXPECT_NEAR(Red(far), 128, 1) << "row " << y;
        EXPECT_NEAR(Green(far), 128, 1);
        EXPECT_NEAR(Blue(far), 128, 1);
        EXPECT_NEAR(Alpha(far), 128, 1);
    }
}

TEST_F(BackdropEffectsGlTest, TheDialogBoxLandsWhereItsShaderPlacesItWithItsKeyColourCut) {
    // A 32 x 32 frame: magenta outside a rounded corner, a red border of 2
    // texels, a green middle.
    std::vector<uint32_t> frame(32 * 32);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const int32_t dx = x < 16 ? x : 31 - x, dy = y < 16 ? y : 31 - y;
            uint32_t c = Rgb(0, 200, 0);
            if (dx + dy < 2) {
                c = Rgb(255, 0, 255);
            } else if (dx < 2 || dy < 2) {
                c = Rgb(200, 0, 0);
            }
            frame[static_cast<size_t>(y * 32 + x)] = c;
        }
    }
    ASSERT_TRUE(
        ZRenderer::WriteBMP((dir.Path() / "korv_textbox.bmp").string().c_str(), frame.data(), 32, 32));
    ZBaseGame::GetInstance()->SetLogging(false);
    ZBaseGame::GetInstance()->m_opaqueDialogBoxes = true;

    AnaglyphBackdropShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    shader.halfWidth = 0.5f;
    shader.halfHeight = 0.25f;  // 128 x 56 pixels of the 256 x 224 screen
    shader.placement = AnaglyphBackdropShader::kTop;
    GetRenderer()->Clear(true, true, 0xFF000040u, 1.0f);
    ZQuadRenderable quad;
    DrawWith(shader, quad);
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    const auto at = [&](int32_t x, int32_t y) {
        return pixels[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFFu;
    };

    // x from -0.125 to 0.875 and y from 0.857 down to 0.357: pixels 112..239 across, 16..71 down.
    const uint32_t background = 0x000040u, border = 0xC80000u, middle = 0x00C800u;
    struct Case {
        int32_t x, y;
        uint32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {111, 40, background, "left of the box"},
        {240, 40, background, "right of the box"},
        {170, 15, background, "above the box"},
        {170, 72, background, "below the box"},
        {112, 16, background, "cut corner"},
        {239, 71, background, "cut corner"},
        {112, 40, border, "left border"},
        {239, 40, border, "right border"},
        {170, 16, border, "top border"},
        {170, 71, border, "bottom border"},
        {170, 40, middle, "middle"},
        {125, 30, middle, "middle near a corner"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(at(c.x, c.y), c.expected) << c.what << " at (" << c.x << ", " << c.y << ")";
    }

    // Without opaque dialog boxes the box is not drawn.
    ZBaseGame::GetInstance()->m_opaqueDialogBoxes = false;
    GetRenderer()->Clear(true, true, 0xFF000040u, 1.0f);
    DrawWith(shader, quad);
    EXPECT_TRUE(AllPixels(ReadBackBuffer(), kWidth, 0xFF000040u));
}

TEST_F(BackdropEffectsGlTest, TextQuadsLandOnTheirScreenPixels) {
    // A white picture; a 4 x 3 quad at pixel (10, 20), y negated as the text batch writes it.
    MakePicture("Glyphs", 4, 4, [](int32_t, int32_t) { return 0xFFFFFFFFu; });
    MakePicture("Mod", 1, 1, [](int32_t, int32_t) { return 0xFFFFFFFFu; });
    const float left = 10.0f - 0.5f, right = 14.0f - 0.5f, top = -20.0f + 0.5f, bottom = -23.0f + 0.5f;
    const float positions[4][3] = {{left, top, 0}, {right, top, 0}, {left, bottom, 0}, {right, bottom, 0}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const uint32_t colours[4] = {0xFFFF8000u, 0xFFFF8000u, 0xFFFF8000u, 0xFFFF8000u};
    const ZStreamElement elements[4] = {
        {positions, 12, 0, false}, {uv, 8, 5, false}, {uv, 8, 6, false}, {colours, 4, 4, false}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    ZVertexBuffer vertices;
    ZIndexBuffer indices;
    ASSERT_TRUE(vertices.Create(elements, 4, 4));
    ASSERT_TRUE(indices.Create(kIndices, 6));
    ZRenderable text;
    text.vertexBuffer = &vertices;
    text.indexBuffer = &indices;

    for (const char* file : {"__ZORP_Default_HUD.fxo", "__ZORP_Default_Glyph.fxo"}) {
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(file, ZHashedString(file));
        ASSERT_NE(effect->GetEffect(), nullptr) << file;
        GetRenderer()->Clear(true, true, 0xFF000000u, 1.0f);
        Draw(effect, "HUD", text, [&] {
            Param(effect, "elemTex")->SetTexture(ZHashedString("Glyphs"));
            Param(effect, "modTex")->SetTexture(ZHashedString("Mod"));
            Param(effect, "invHalfScreenWidth")->SetFloat(2.0f / kWidth);
            Param(effect, "invHalfScreenHeight")->SetFloat(2.0f / kHeight);
        });
        const std::vector<uint32_t> pixels = ReadBackBuffer();
        int lit = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const bool inside = x >= 10 && x < 14 && y >= 20 && y < 23;
                const uint32_t p = pixels[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFFu;
                EXPECT_EQ(p, inside ? 0xFF8000u : 0u) << file << " pixel (" << x << ", " << y << ")";
                lit += inside ? 1 : 0;
                if (p != (inside ? 0xFF8000u : 0u)) return;
            }
        }
        EXPECT_EQ(lit, 12);
        ZShaderMgr::GetInstance()->ReleaseEffect(ZHashedString(file));
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Glyphs"));
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Mod"));
}
