// Rendering through the GL device, checked by reading pixels back and
// comparing them with values computed here.

#include <cmath>
#include <chrono>
#include <thread>

#include <GL/glcorearb.h>

#include "GlFixture.h"
#include "platform/gfx/texel.h"

using namespace gfxtest;

namespace {

// A textured quad: positions go through unchanged.
std::string TexturedEffect(const char* filter) {
    return std::string(R"(effect 1
parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter )") + filter + R"(
    MagFilter )" + filter + R"(
    AddressU Clamp
    AddressV Clamp
end
technique Textured
    pass P0
        vertex QuadVS
        fragment TexturedFS
        CullMode None
        ZEnable false
        AlphaBlendEnable false
end
code vertex QuadVS
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 uv;
void main() {
    gl_Position = vec4(a_Position, 1.0);
    uv = a_TexCoord0;
}
endcode
code fragment TexturedFS
uniform sampler2D texSampler;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(texSampler, uv); }
endcode
)";
}

// A flat colour from a parameter, placed by a row-vector matrix.
const char* const kColourEffect = R"(effect 1
parameter float4x4 wvpMat
annotation string Scope = "Renderable"
parameter float4 tint = 1 1 1 1
technique Flat
    pass P0
        vertex PlaceVS
        fragment FlatFS
        ZEnable false
end
technique Blended
    pass P0
        vertex PlaceVS
        fragment FlatFS
        ZEnable false
        CullMode None
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend InvSrcAlpha
end
code vertex PlaceVS
uniform mat4 wvpMat;
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0) * wvpMat; }
endcode
code fragment FlatFS
uniform vec4 tint;
out vec4 colour;
void main() { colour = tint; }
endcode
)";

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Screen pixels (x right, y down) to clip space, as a row-vector matrix.
void PixelMatrix(float* m) {
    const float values[16] = {2.0f / kWidth, 0, 0, 0, 0, -2.0f / kHeight, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
    std::memcpy(m, values, sizeof values);
}

Bgra TexelAt(uint32_t x, uint32_t y) {
    return {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>((x * 7 + y * 3) & 255), 255};
}

}  // namespace

TEST_F(GlFixture, ClearFillsTheViewportOrTheRectangles) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF102030, 1.0f, 0), gfx::Result::Ok);
    const gfx::Viewport inner{64, 32, 128, 112, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(inner), gfx::Result::Ok);
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF405060, 1.0f, 0), gfx::Result::Ok);
    const gfx::Rect rect{70, 40, 80, 50};
    ASSERT_EQ(device->Clear(1, &rect, gfx::clear::kTarget, 0xFFA0B0C0, 1.0f, 0), gfx::Result::Ok);

    const std::vector<Bgra> pixels = ReadBackBuffer();
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            Bgra expected{0x30, 0x20, 0x10, 255};
            if (x >= 64 && x < 192 && y >= 32 && y < 144) expected = {0x60, 0x50, 0x40, 255};
            if (x >= 70 && x < 80 && y >= 40 && y < 50) expected = {0xC0, 0xB0, 0xA0, 255};
            ASSERT_EQ(At(pixels, kWidth, x, y), expected) << "at " << x << "," << y;
        }
    }
}

TEST_F(GlFixture, ClearOfDepthWithoutADepthSurfaceIsRefused) {
    EXPECT_EQ(device->Clear(0, nullptr, gfx::clear::kZBuffer, 0, 1.0f, 0), gfx::Result::InvalidCall);
}

// The screen quad's half-texel offsets put every texel on its own pixel, in the
// back buffer and in a render target, even with linear filtering.
TEST_F(GlFixture, ScreenQuadMapsTexelToPixelExactly) {
    std::vector<Bgra> texels(kWidth * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) texels[y * kWidth + x] = TexelAt(x, y);
    }
    gfx::Ref<gfx::Texture> texture = MakeTexture(kWidth, kHeight, gfx::Format::A8R8G8B8, texels.data(), kWidth * 4);
    gfx::Ref<gfx::Effect> effect = MakeEffect(TexturedEffect("Linear"));
    ASSERT_TRUE(effect);
    ASSERT_EQ(effect->SetTexture(effect->GetParameterByName(0, "tex"), texture.Get()), gfx::Result::Ok);
    const Mesh quad = MakeScreenQuad(kWidth, kHeight);

    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(kWidth, kHeight, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8,
                                    gfx::Pool::Default, target.Out()),
              gfx::Result::Ok);
    gfx::Ref<gfx::Surface> targetSurface, back;
    ASSERT_EQ(target->GetSurfaceLevel(0, targetSurface.Out()), gfx::Result::Ok);
    ASSERT_EQ(device->GetBackBuffer(back.Out()), gfx::Result::Ok);

    for (gfx::Surface* surface : {back.Get(), targetSurface.Get()}) {
        ASSERT_EQ(device->SetRenderTarget(0, surface), gfx::Result::Ok);
        Draw(effect.Get(), quad);
        const std::vector<Bgra> pixels = ReadBack(surface, kWidth, kHeight);
        for (uint32_t y = 0; y < kHeight; ++y) {
            for (uint32_t x = 0; x < kWidth; ++x) {
                ASSERT_EQ(At(pixels, kWidth, x, y), TexelAt(x, y)) << "at " << x << "," << y;
            }
        }
    }
    ASSERT_EQ(device->SetRenderTarget(0, back.Get()), gfx::Result::Ok);
    effect->SetTexture(effect->GetParameterByName(0, "tex"), nullptr);
    device->SetTexture(0, nullptr);
}

// A render target drawn into and then sampled reads top row first, like a texture.
TEST_F(GlFixture, RenderTargetSamplesTheWayItWasDrawn) {
    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(kWidth, kHeight, 1, gfx::usage::kRenderTarget, gfx::Format::A8R8G8B8,
                                    gfx::Pool::Default, target.Out()),
              gfx::Result::Ok);
    gfx::Ref<gfx::Surface> targetSurface, back;
    ASSERT_EQ(target->GetSurfaceLevel(0, targetSurface.Out()), gfx::Result::Ok);
    ASSERT_EQ(device->GetBackBuffer(back.Out()), gfx::Result::Ok);
    // Top half red, bottom half blue, in the target.
    ASSERT_EQ(device->SetRenderTarget(0, targetSurface.Get()), gfx::Result::Ok);
    const gfx::Rect top{0, 0, static_cast<int32_t>(kWidth), static_cast<int32_t>(kHeight / 2)};
    const gfx::Rect bottom{0, static_cast<int32_t>(kHeight / 2), static_cast<int32_t>(kWidth), static_cast<int32_t>(kHeight)};
    device->Clear(1, &top, gfx::clear::kTarget, 0xFFFF0000, 1.0f, 0);
    device->Clear(1, &bottom, gfx::clear::kTarget, 0xFF0000FF, 1.0f, 0);

    ASSERT_EQ(device->SetRenderTarget(0, back.Get()), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(TexturedEffect("Point"));
    ASSERT_TRUE(effect);
    effect->SetTexture(effect->GetParameterByName(0, "tex"), target.Get());
    Draw(effect.Get(), MakeScreenQuad(kWidth, kHeight));
    effect->SetTexture(effect->GetParameterByName(0, "tex"), nullptr);
    device->SetTexture(0, nullptr);

    const std::vector<Bgra> pixels = ReadBackBuffer();
    EXPECT_EQ(At(pixels, kWidth, 10, 5), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(At(pixels, kWidth, 10, kHeight / 2 - 1), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(At(pixels, kWidth, 10, kHeight / 2), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(At(pixels, kWidth, 200, kHeight - 1), (Bgra{255, 0, 0, 255}));
}

TEST_F(GlFixture, AlphaBlendingMixesSourceOverDestination) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFFFF0000, 1.0f, 0), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    effect->SetTechnique(effect->GetTechniqueByName("Blended"));
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), kIdentity);
    const float tint[4] = {0.0f, 0.25f, 1.0f, 128.0f / 255.0f};
    effect->SetVector(effect->GetParameterByName(0, "tint"), tint);
    Draw(effect.Get(), MakeScreenQuad(kWidth, kHeight));

    const float a = tint[3];
    const auto blend = [a](float src, float dst) { return src * a + dst * (1.0f - a); };
    const Bgra expected{static_cast<uint8_t>(std::lround(255 * blend(1.0f, 0.0f))),
                        static_cast<uint8_t>(std::lround(255 * blend(0.25f, 0.0f))),
                        static_cast<uint8_t>(std::lround(255 * blend(0.0f, 1.0f))), 255};
    const Bgra got = At(ReadBackBuffer(), kWidth, 100, 100);
    EXPECT_NEAR(got.b, expected.b, 1);
    EXPECT_NEAR(got.g, expected.g, 1);
    EXPECT_NEAR(got.r, expected.r, 1);
}

// A row-vector pixel matrix places a quad whose edges lie on pixel borders
// (x.5 with pixel centres on integers) over exactly the pixels it names, top row first.
TEST_F(GlFixture, EffectParametersPlaceAndColourAQuad) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    float m[16];
    PixelMatrix(m);
    ASSERT_EQ(effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), m), gfx::Result::Ok);
    const float tint[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    ASSERT_EQ(effect->SetVector(effect->GetParameterByName(0, "tint"), tint), gfx::Result::Ok);
    const float quad[4][3] = {{9.5f, 19.5f, 0}, {29.5f, 19.5f, 0}, {29.5f, 39.5f, 0}, {9.5f, 39.5f, 0}};
    const Mesh mesh = MakeQuad(quad, nullptr, 2);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
    Draw(effect.Get(), mesh);

    const std::vector<Bgra> pixels = ReadBackBuffer();
    for (uint32_t y = 15; y < 45; ++y) {
        for (uint32_t x = 5; x < 35; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 40;
            // Green 0.5 lies halfway between two levels: llvmpipe's paths for
            // plain draws round it down, its general path up.
            Bgra got = At(pixels, kWidth, x, y);
            if (inside && got.g == 127) got.g = 128;
            const Bgra expected = inside ? Bgra{0, 128, 255, 255} : Bgra{0, 0, 0, 255};
            ASSERT_EQ(got, expected) << "at " << x << "," << y;
        }
    }
}

TEST_F(GlFixture, CommitChangesTakesNewValuesWithinAPass) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    float m[16];
    PixelMatrix(m);
    const gfx::Handle tint = effect->GetParameterByName(0, "tint");
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), m);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
    const float left[4][3] = {{-0.5f, -0.5f, 0}, {99.5f, -0.5f, 0}, {99.5f, 99.5f, 0}, {-0.5f, 99.5f, 0}};
    const float right[4][3] = {{99.5f, -0.5f, 0}, {199.5f, -0.5f, 0}, {199.5f, 99.5f, 0}, {99.5f, 99.5f, 0}};
    const Mesh a = MakeQuad(left, nullptr, 2), b = MakeQuad(right, nullptr, 2);

    uint32_t passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), gfx::Result::Ok);
    ASSERT_EQ(effect->BeginPass(0), gfx::Result::Ok);
    const float green[4] = {0, 1, 0, 1}, blue[4] = {0, 0, 1, 1};
    for (const auto& [mesh, colour] : {std::pair{&a, green}, std::pair{&b, blue}}) {
        effect->SetVector(tint, colour);
        ASSERT_EQ(effect->CommitChanges(), gfx::Result::Ok);
        device->SetVertexDeclaration(mesh->declaration.Get());
        device->SetStreamSource(0, mesh->positions.Get(), 0, 12);
        device->SetIndices(mesh->indices.Get());
        ASSERT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 2), gfx::Result::Ok);
    }
    effect->EndPass();
    effect->End();

    const std::vector<Bgra> pixels = ReadBackBuffer();
    EXPECT_EQ(At(pixels, kWidth, 50, 50), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(At(pixels, kWidth, 150, 50), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(At(pixels, kWidth, 50, 150), (Bgra{0, 0, 0, 255}));
}

// Colours in vertex data are B, G, R, A bytes.
TEST_F(GlFixture, VertexColoursAreReadAsBgraBytes) {
    const char* effectText = R"(effect 1
technique T
    pass P
        vertex VS
        fragment FS
        CullMode None
end
code vertex VS
in vec3 a_Position;
in vec4 a_Color;
out vec4 colour;
void main() { gl_Position = vec4(a_Position, 1.0); colour = a_Color; }
endcode
code fragment FS
in vec4 colour;
out vec4 result;
void main() { result = colour; }
endcode
)";
    gfx::Ref<gfx::Effect> effect = MakeEffect(effectText);
    ASSERT_TRUE(effect);
    const float quad[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const uint32_t colours[4] = {0xFF336699, 0xFF336699, 0xFF336699, 0xFF336699};
    Draw(effect.Get(), MakeQuad(quad, nullptr, 2, colours));
    EXPECT_EQ(At(ReadBackBuffer(), kWidth, 128, 100), (Bgra{0x99, 0x66, 0x33, 255}));
}

// Culling follows the winding as seen on screen, where y runs down.
TEST_F(GlFixture, CullModeNamesTheScreenWinding) {
    struct Case {
        gfx::Cull cull;
        bool clockwise;
        bool drawn;
    };
    const Case cases[] = {{gfx::Cull::None, true, true},  {gfx::Cull::CW, true, false}, {gfx::Cull::CCW, true, true},
                          {gfx::Cull::CW, false, true},  {gfx::Cull::CCW, false, false}};
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    float m[16];
    PixelMatrix(m);
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), m);
    // Top left, top right, bottom left: clockwise on screen.
    const float clockwise[3][3] = {{50, 50, 0}, {150, 50, 0}, {50, 150, 0}};
    const float anticlockwise[3][3] = {{50, 50, 0}, {50, 150, 0}, {150, 50, 0}};
    gfx::Ref<gfx::VertexBuffer> cw = MakeBuffer(clockwise, sizeof clockwise), ccw = MakeBuffer(anticlockwise, sizeof anticlockwise);
    const gfx::VertexElement element{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0};
    gfx::Ref<gfx::VertexDeclaration> declaration;
    ASSERT_EQ(device->CreateVertexDeclaration(&element, 1, declaration.Out()), gfx::Result::Ok);
    for (const Case& c : cases) {
        device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0);
        device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(c.cull));
        device->SetVertexDeclaration(declaration.Get());
        device->SetStreamSource(0, c.clockwise ? cw.Get() : ccw.Get(), 0, 12);
        uint32_t passes = 0;
        effect->Begin(&passes, 0);
        effect->BeginPass(0);
        ASSERT_EQ(device->DrawPrimitive(gfx::PrimitiveType::TriangleList, 0, 1), gfx::Result::Ok);
        effect->EndPass();
        effect->End();
        const bool drawn = At(ReadBackBuffer(), kWidth, 70, 70).r == 255;
        EXPECT_EQ(drawn, c.drawn) << "cull " << static_cast<int>(c.cull) << " clockwise " << c.clockwise;
    }
}

// White at the depth "depth" (0..1), tested with Less and written.
const char* const kDepthQuadEffect = R"(effect 1
parameter float depth
technique T
    pass P
        vertex VS
        fragment FS
        ZEnable true
        ZWriteEnable true
        ZFunc Less
        CullMode None
end
code vertex VS
uniform float depth;
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position.xy, depth, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
)";

// Depth runs 0..1 as given, and the viewport's range maps it.
TEST_F(GlFixture, DepthTestUsesZeroToOneDepth) {
    struct Case {
        float z;
        float clearDepth;
        bool drawn;
    };
    const Case cases[] = {{0.5f, 0.6f, true}, {0.7f, 0.6f, false}, {0.0f, 0.01f, true}, {0.99f, 1.0f, true}};
    gfx::Ref<gfx::Surface> depth;
    ASSERT_EQ(device->CreateDepthStencilSurface(kWidth, kWidth, gfx::Format::D24S8, gfx::MultiSample::None, 0, true,
                                                depth.Out()),
              gfx::Result::Ok);
    ASSERT_EQ(device->SetDepthStencilSurface(depth.Get()), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kDepthQuadEffect);
    ASSERT_TRUE(effect);
    const Mesh quad = MakeScreenQuad(kWidth, kHeight);
    for (const Case& c : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget | gfx::clear::kZBuffer | gfx::clear::kStencil, 0xFF000000,
                                c.clearDepth, 0),
                  gfx::Result::Ok);
        effect->SetFloat(effect->GetParameterByName(0, "depth"), c.z);
        Draw(effect.Get(), quad);
        EXPECT_EQ(At(ReadBackBuffer(), kWidth, 100, 100).r == 255, c.drawn) << "z " << c.z << " against " << c.clearDepth;
    }
    device->SetDepthStencilSurface(nullptr);
}

// A depth surface shared by a large and a small target. A clear of the small
// corner (through the small target, or a rectangle of the large one) changes
// only that corner of the depth, however the device clears: what the large
// target's earlier clear or draws left elsewhere stays. Each case clears the
// large target's depth to 1, maybe draws there at firstDraw, clears the
// corner, then draws on the large target at probe with ZFunc Less and looks
// inside and outside the corner. (llvmpipe clears only the area the targets
// share even unscissored; other drivers may clear a whole surface.)
TEST_F(GlFixture, ADepthClearOfACornerKeepsTheRest) {
    struct Case {
        const char* name;
        float firstDraw;  // < 0: none
        bool throughSmallTarget;
        float cornerClear;
        float probe;
        bool drawnInside, drawnOutside;
    };
    const Case cases[] = {
        {"the small target's clear to another depth", -1.0f, true, 0.5f, 0.75f, false, true},
        {"a draw before the small target's clear", 0.25f, true, 1.0f, 0.5f, true, false},
        {"the small target's clear to the same depth", -1.0f, true, 1.0f, 0.5f, true, true},
        {"a draw before a rectangle's clear", 0.25f, false, 1.0f, 0.5f, true, false},
    };
    constexpr uint32_t kLarge = 256, kSmall = 64;
    gfx::Ref<gfx::Surface> depth, large, small, back;
    gfx::Ref<gfx::Texture> largeTexture, smallTexture;
    ASSERT_EQ(device->CreateTexture(kLarge, kLarge, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8,
                                    gfx::Pool::Default, largeTexture.Out()),
              gfx::Result::Ok);
    ASSERT_EQ(device->CreateTexture(kSmall, kSmall, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8,
                                    gfx::Pool::Default, smallTexture.Out()),
              gfx::Result::Ok);
    largeTexture->GetSurfaceLevel(0, large.Out());
    smallTexture->GetSurfaceLevel(0, small.Out());
    device->GetBackBuffer(back.Out());
    gfx::Ref<gfx::Effect> effect = MakeEffect(kDepthQuadEffect);
    ASSERT_TRUE(effect);
    const Mesh quad = MakeScreenQuad(kLarge, kLarge);
    const auto drawAt = [&](float z) {
        effect->SetFloat(effect->GetParameterByName(0, "depth"), z);
        Draw(effect.Get(), quad);
    };
    const uint32_t depthBits = gfx::clear::kZBuffer | gfx::clear::kStencil;
    for (const Case& c : cases) {
        // A new surface each time: what an earlier case left does not count.
        depth.Reset();
        ASSERT_EQ(device->CreateDepthStencilSurface(kLarge, kLarge, gfx::Format::D24S8, gfx::MultiSample::None, 0, true,
                                                    depth.Out()),
                  gfx::Result::Ok);
        ASSERT_EQ(device->SetDepthStencilSurface(depth.Get()), gfx::Result::Ok);
        device->SetRenderTarget(0, large.Get());
        ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget | depthBits, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
        if (c.firstDraw >= 0.0f) drawAt(c.firstDraw);
        if (c.throughSmallTarget) {
            device->SetRenderTarget(0, small.Get());
            ASSERT_EQ(device->Clear(0, nullptr, depthBits, 0xFF000000, c.cornerClear, 0), gfx::Result::Ok);
            device->SetRenderTarget(0, large.Get());
        } else {
            const gfx::Rect corner{0, 0, kSmall, kSmall};
            ASSERT_EQ(device->Clear(1, &corner, depthBits, 0xFF000000, c.cornerClear, 0), gfx::Result::Ok);
        }
        ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
        drawAt(c.probe);
        const std::vector<Bgra> pixels = ReadBack(large.Get(), kLarge, kLarge);
        EXPECT_EQ(At(pixels, kLarge, 10, 10).r == 255, c.drawnInside) << c.name;
        EXPECT_EQ(At(pixels, kLarge, kSmall, kSmall).r == 255, c.drawnOutside) << c.name;
        EXPECT_EQ(At(pixels, kLarge, 200, 240).r == 255, c.drawnOutside) << c.name;
    }
    device->SetRenderTarget(0, back.Get());
    device->SetDepthStencilSurface(nullptr);
}

// An X8R8G8B8 target has no alpha: whatever a clear or a draw gives it, the
// target samples alpha 1 (blending with its alpha as the destination's too).
TEST_F(GlFixture, AnOpaqueTargetSamplesAlphaOne) {
    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(kWidth, kHeight, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8,
                                    gfx::Pool::Default, target.Out()),
              gfx::Result::Ok);
    gfx::Ref<gfx::Surface> surface, back;
    ASSERT_EQ(target->GetSurfaceLevel(0, surface.Out()), gfx::Result::Ok);
    ASSERT_EQ(device->GetBackBuffer(back.Out()), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> flat = MakeEffect(kColourEffect);
    gfx::Ref<gfx::Effect> alpha = MakeEffect(R"(effect 1
parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter Point
    MagFilter Point
    AddressU Clamp
    AddressV Clamp
end
technique T
    pass P0
        vertex QuadVS
        fragment AlphaFS
        CullMode None
        ZEnable false
end
code vertex QuadVS
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 uv;
void main() {
    gl_Position = vec4(a_Position, 1.0);
    uv = a_TexCoord0;
}
endcode
code fragment AlphaFS
uniform sampler2D texSampler;
in vec2 uv;
out vec4 colour;
void main() { colour = vec4(texture(texSampler, uv).a); }
endcode
)");
    ASSERT_TRUE(flat);
    ASSERT_TRUE(alpha);
    flat->SetMatrix(flat->GetParameterByName(0, "wvpMat"), kIdentity);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
    const Mesh quad = MakeScreenQuad(kWidth, kHeight);
    const auto alphaOfTarget = [&]() {
        device->SetRenderTarget(0, back.Get());
        alpha->SetTexture(alpha->GetParameterByName(0, "tex"), target.Get());
        Draw(alpha.Get(), quad);
        alpha->SetTexture(alpha->GetParameterByName(0, "tex"), nullptr);
        device->SetTexture(0, nullptr);
        return At(ReadBackBuffer(), kWidth, 100, 100).r;
    };

    ASSERT_EQ(device->SetRenderTarget(0, surface.Get()), gfx::Result::Ok);
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0x00336699, 1.0f, 0), gfx::Result::Ok);
    EXPECT_EQ(alphaOfTarget(), 255) << "cleared with alpha 0";

    device->SetRenderTarget(0, surface.Get());
    const float seeThrough[4] = {0.2f, 0.4f, 0.6f, 0.25f};
    flat->SetVector(flat->GetParameterByName(0, "tint"), seeThrough);
    flat->SetTechnique(flat->GetTechniqueByName("Flat"));
    Draw(flat.Get(), quad);
    EXPECT_EQ(alphaOfTarget(), 255) << "drawn with alpha 0.25";
    const std::vector<Bgra> drawn = ReadBack(surface.Get(), kWidth, kHeight);
    EXPECT_EQ(At(drawn, kWidth, 100, 100).r, 51) << "the colour is written";
    device->SetRenderTarget(0, back.Get());
}

TEST_F(GlFixture, ViewportKeepsItsTopLeftOrigin) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
    ASSERT_EQ(device->SetViewport({16, 8, 64, 32, 0.0f, 1.0f}), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), kIdentity);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
    Draw(effect.Get(), MakeScreenQuad(64, 32));
    const std::vector<Bgra> pixels = ReadBackBuffer();
    for (uint32_t y = 0; y < 60; ++y) {
        for (uint32_t x = 0; x < 100; ++x) {
            const bool inside = x >= 16 && x < 80 && y >= 8 && y < 40;
            ASSERT_EQ(At(pixels, kWidth, x, y).r, inside ? 255 : 0) << "at " << x << "," << y;
        }
    }
}

// Each discarding lock of a dynamic buffer gives fresh contents for the next draw.
TEST_F(GlFixture, DynamicBufferLockedWithDiscardFeedsEachDraw) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    float m[16];
    PixelMatrix(m);
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), m);
    device->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
    gfx::Ref<gfx::VertexBuffer> dynamic;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 12, gfx::usage::kDynamic | gfx::usage::kWriteOnly, gfx::Pool::Default,
                                         dynamic.Out()),
              gfx::Result::Ok);
    Mesh mesh = MakeScreenQuad(kWidth, kHeight);
    mesh.positions = dynamic;
    const float colours[2][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}};
    for (int i = 0; i < 2; ++i) {
        const float x0 = i * 100.0f - 0.5f, x1 = x0 + 100.0f;
        const float quad[4][3] = {{x0, -0.5f, 0}, {x1, -0.5f, 0}, {x1, 99.5f, 0}, {x0, 99.5f, 0}};
        void* p = nullptr;
        ASSERT_EQ(dynamic->Lock(0, 0, &p, gfx::lock::kDiscard), gfx::Result::Ok);
        std::memcpy(p, quad, sizeof quad);
        ASSERT_EQ(dynamic->Unlock(), gfx::Result::Ok);
        effect->SetVector(effect->GetParameterByName(0, "tint"), colours[i]);
        Draw(effect.Get(), mesh);
    }
    const std::vector<Bgra> pixels = ReadBackBuffer();
    EXPECT_EQ(At(pixels, kWidth, 50, 50), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(At(pixels, kWidth, 150, 50), (Bgra{0, 255, 0, 255}));
}

TEST_F(GlFixture, DrawsReadingPastTheirBuffersAreRefused) {
    gfx::Ref<gfx::Effect> effect = MakeEffect(kColourEffect);
    ASSERT_TRUE(effect);
    Mesh mesh = MakeScreenQuad(kWidth, kHeight);
    const uint16_t wild[6] = {0, 1, 2, 0, 2, 4};  // vertex 4 does not exist
    void* p = nullptr;
    ASSERT_EQ(mesh.indices->Lock(0, 0, &p, 0), gfx::Result::Ok);
    std::memcpy(p, wild, sizeof wild);
    mesh.indices->Unlock();
    device->SetVertexDeclaration(mesh.declaration.Get());
    device->SetStreamSource(0, mesh.positions.Get(), 0, 12);
    device->SetStreamSource(1, mesh.texcoords.Get(), 0, 8);
    device->SetIndices(mesh.indices.Get());
    uint32_t passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 2), gfx::Result::InvalidCall);
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 3), gfx::Result::InvalidCall);
    EXPECT_EQ(device->DrawPrimitive(gfx::PrimitiveType::TriangleList, 2, 1), gfx::Result::InvalidCall);
    EXPECT_EQ(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 1), gfx::Result::Ok);
    effect->EndPass();
    effect->End();
}

// Faces follow the order +X, -X, +Y, -Y, +Z, -Z, each with its top row first.
TEST_F(GlFixture, CubeTextureFacesAndTexelsFollowTheDirection) {
    constexpr uint32_t kEdge = 4;
    gfx::Ref<gfx::CubeTexture> cube;
    ASSERT_EQ(device->CreateCubeTexture(kEdge, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, cube.Out()),
              gfx::Result::Ok);
    const auto texel = [](uint32_t face, uint32_t x, uint32_t y) {
        return Bgra{static_cast<uint8_t>(face * 40), static_cast<uint8_t>(x * 60), static_cast<uint8_t>(y * 60), 255};
    };
    for (uint32_t face = 0; face < 6; ++face) {
        gfx::LockedRect locked;
        ASSERT_EQ(cube->LockRect(static_cast<gfx::CubeFace>(face), 0, &locked, nullptr, 0), gfx::Result::Ok);
        for (uint32_t y = 0; y < kEdge; ++y) {
            for (uint32_t x = 0; x < kEdge; ++x) {
                const Bgra c = texel(face, x, y);
                std::memcpy(static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * 4, &c, 4);
            }
        }
        ASSERT_EQ(cube->UnlockRect(static_cast<gfx::CubeFace>(face), 0), gfx::Result::Ok);
    }
    gfx::Ref<gfx::Effect> effect = MakeEffect(R"(effect 1
parameter textureCUBE env
parameter float3 direction
sampler samplerCUBE envSampler
    texture env
    MinFilter Point
    MagFilter Point
end
technique T
    pass P
        vertex VS
        fragment FS
        CullMode None
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
uniform samplerCube envSampler;
uniform vec3 direction;
out vec4 colour;
void main() { colour = texture(envSampler, direction); }
endcode
)");
    ASSERT_TRUE(effect);
    effect->SetTexture(effect->GetParameterByName(0, "env"), cube.Get());
    // Directions aimed at texel centres; u and v from the major axis as the cube convention defines them.
    struct Case {
        float dir[3];
        uint32_t face, x, y;
    };
    const Case cases[] = {
        {{1.0f, 0.25f, -0.75f}, 0, 3, 1},   // +X: u = (-z/x+1)/2, v = (-y/x+1)/2
        {{-1.0f, -0.75f, 0.25f}, 1, 2, 3},  // -X: u = (z/|x|+1)/2, v = (-y/|x|+1)/2
        {{0.25f, 1.0f, 0.75f}, 2, 2, 3},    // +Y: u = (x/y+1)/2, v = (z/y+1)/2
        {{-0.75f, -1.0f, 0.25f}, 3, 0, 1},  // -Y: u = (x/|y|+1)/2, v = (-z/|y|+1)/2
        {{0.75f, 0.25f, 1.0f}, 4, 3, 1},    // +Z: u = (x/z+1)/2, v = (-y/z+1)/2
        {{0.25f, -0.25f, -1.0f}, 5, 1, 2},  // -Z: u = (-x/|z|+1)/2, v = (-y/|z|+1)/2
    };
    const Mesh quad = MakeScreenQuad(kWidth, kHeight);
    for (const Case& c : cases) {
        const float direction[4] = {c.dir[0], c.dir[1], c.dir[2], 0};
        effect->SetVector(effect->GetParameterByName(0, "direction"), direction);
        Draw(effect.Get(), quad);
        EXPECT_EQ(At(ReadBackBuffer(), kWidth, 10, 10), texel(c.face, c.x, c.y)) << "face " << c.face;
    }
    effect->SetTexture(effect->GetParameterByName(0, "env"), nullptr);
    device->SetTexture(0, nullptr);
}

// Block-compressed textures decode to the colours their endpoints and indices give.
TEST_F(GlFixture, DxtTexturesDecodeToTheirColours) {
    // One 4x4 block per format, drawn onto a 4x4 target texel by texel.
    const uint32_t indexBits = 0xE4E4E4E4;  // texel t uses index t % 4
    const auto colourBlock = [&](uint16_t c0, uint16_t c1, uint8_t* out) {
        out[0] = c0 & 255, out[1] = c0 >> 8, out[2] = c1 & 255, out[3] = c1 >> 8;
        std::memcpy(out + 4, &indexBits, 4);
    };
    struct Case {
        gfx::Format format;
        uint8_t block[16];
        Bgra expected[4];  // by colour index; alpha as the block gives it for texels 0..3
    };
    Case cases[3] = {};
    // DXT1 with c0 > c1: red, blue and the two thirds between them.
    cases[0].format = gfx::Format::DXT1;
    colourBlock(0xF800, 0x001F, cases[0].block);
    cases[0].expected[0] = {0, 0, 255, 255};
    cases[0].expected[1] = {255, 0, 0, 255};
    cases[0].expected[2] = {85, 0, 170, 255};   // (2 * c0 + c1 + 1) / 3
    cases[0].expected[3] = {170, 0, 85, 255};   // (c0 + 2 * c1 + 1) / 3
    // DXT1 with c0 <= c1: the half-way colour and transparent black.
    Case& punch = cases[1];
    punch.format = gfx::Format::DXT1;
    colourBlock(0x001F, 0x07E0, punch.block);
    punch.expected[0] = {255, 0, 0, 255};
    punch.expected[1] = {0, 255, 0, 255};
    punch.expected[2] = {128, 128, 0, 255};
    punch.expected[3] = {0, 0, 0, 0};
    // DXT5: alpha 255 to 0 in eight steps; texels 0..3 take alpha indices 0, 1, 2, 3.
    Case& dxt5 = cases[2];
    dxt5.format = gfx::Format::DXT5;
    dxt5.block[0] = 255;
    dxt5.block[1] = 0;
    const uint64_t alphaIndices = 0 | 1 << 3 | 2 << 6 | 3 << 9;
    for (int i = 0; i < 6; ++i) dxt5.block[2 + i] = static_cast<uint8_t>(alphaIndices >> (8 * i));
    colourBlock(0xFFFF, 0x0000, dxt5.block + 8);
    const uint8_t alphas[4] = {255, 0, 219, 182};  // ((7 - i) * a0 + i * a1 + 3) / 7 for index i - 1
    const uint8_t greys[4] = {255, 0, 170, 85};
    for (int i = 0; i < 4; ++i) dxt5.expected[i] = {greys[i], greys[i], greys[i], alphas[i]};

    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, gfx::usage::kRenderTarget, gfx::Format::A8R8G8B8, gfx::Pool::Default,
                                    target.Out()),
              gfx::Result::Ok);
    gfx::Ref<gfx::Surface> surface, back;
    target->GetSurfaceLevel(0, surface.Out());
    device->GetBackBuffer(back.Out());
    gfx::Ref<gfx::Effect> effect = MakeEffect(TexturedEffect("Point"));
    ASSERT_TRUE(effect);
    const Mesh quad = MakeScreenQuad(4, 4);
    for (const Case& c : cases) {
        gfx::Ref<gfx::Texture> texture = MakeTexture(4, 4, c.format, c.block, gfx::FormatBytes(c.format));
        effect->SetTexture(effect->GetParameterByName(0, "tex"), texture.Get());
        device->SetRenderTarget(0, surface.Get());
        Draw(effect.Get(), quad);
        const std::vector<Bgra> pixels = ReadBack(surface.Get(), 4, 4);
        for (uint32_t t = 0; t < 16; ++t) {
            Bgra expected = c.expected[t % 4];
            if (c.format == gfx::Format::DXT5 && t >= 4) expected.a = 255;  // alpha index 0 beyond texel 3
            EXPECT_EQ(pixels[t], expected) << gfx::FormatName(c.format) << " texel " << t;
        }
        effect->SetTexture(effect->GetParameterByName(0, "tex"), nullptr);
        device->SetTexture(0, nullptr);
    }
    device->SetRenderTarget(0, back.Get());
}

TEST_F(GlFixture, FloatTargetsReadBackTheirClearColour) {
    struct Case {
        gfx::Format format;
        float expected[4];  // r, g, b, a as stored
        uint32_t channels;
    };
    const Case cases[] = {
        {gfx::Format::A32B32G32R32F, {1.0f, 64.0f / 255.0f, 0.0f, 128.0f / 255.0f}, 4},
        {gfx::Format::A16B16G16R16F, {1.0f, 64.0f / 255.0f, 0.0f, 128.0f / 255.0f}, 4},
        {gfx::Format::R16F, {1.0f, 0, 0, 0}, 1},
    };
    gfx::Ref<gfx::Surface> back;
    device->GetBackBuffer(back.Out());
    for (const Case& c : cases) {
        gfx::Ref<gfx::Texture> target;
        ASSERT_EQ(device->CreateTexture(4, 4, 1, gfx::usage::kRenderTarget, c.format, gfx::Pool::Default, target.Out()),
                  gfx::Result::Ok);
        gfx::Ref<gfx::Surface> surface, copy;
        target->GetSurfaceLevel(0, surface.Out());
        ASSERT_EQ(device->SetRenderTarget(0, surface.Get()), gfx::Result::Ok);
        ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0x80FF4000, 1.0f, 0), gfx::Result::Ok);
        ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, c.format, gfx::Pool::SystemMem, copy.Out()), gfx::Result::Ok);
        ASSERT_EQ(device->GetRenderTargetData(surface.Get(), copy.Get()), gfx::Result::Ok);
        gfx::LockedRect locked;
        ASSERT_EQ(copy->LockRect(&locked, nullptr, gfx::lock::kReadOnly), gfx::Result::Ok);
        const uint8_t* row = static_cast<const uint8_t*>(locked.bits) + 3 * locked.pitch;  // last row, last texel
        for (uint32_t ch = 0; ch < c.channels; ++ch) {
            float value = 0;
            if (c.format == gfx::Format::A32B32G32R32F) {
                std::memcpy(&value, row + 3 * 16 + ch * 4, 4);
            } else {
                uint16_t half = 0;
                std::memcpy(&half, row + 3 * 2 * c.channels + ch * 2, 2);
                value = gfx::HalfToFloat(half);
            }
            EXPECT_NEAR(value, c.expected[ch], c.format == gfx::Format::A32B32G32R32F ? 1e-6 : 1e-3)
                << gfx::FormatName(c.format) << " channel " << ch;
        }
        copy->UnlockRect();
        device->SetRenderTarget(0, back.Get());
    }
}

TEST_F(GlFixture, StretchRectCopiesTheBackBufferIntoATarget) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF0000FF, 1.0f, 0), gfx::Result::Ok);
    const gfx::Rect corner{0, 0, 10, 10};
    device->Clear(1, &corner, gfx::clear::kTarget, 0xFF00FF00, 1.0f, 0);
    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(kWidth, kHeight, 1, gfx::usage::kRenderTarget, gfx::Format::X8R8G8B8,
                                    gfx::Pool::Default, target.Out()),
              gfx::Result::Ok);
    gfx::Ref<gfx::Surface> surface, back;
    target->GetSurfaceLevel(0, surface.Out());
    device->GetBackBuffer(back.Out());
    ASSERT_EQ(device->StretchRect(back.Get(), nullptr, surface.Get(), nullptr, gfx::TextureFilter::Linear), gfx::Result::Ok);
    const std::vector<Bgra> pixels = ReadBack(surface.Get(), kWidth, kHeight);
    EXPECT_EQ(At(pixels, kWidth, 5, 5), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(At(pixels, kWidth, 50, 50), (Bgra{255, 0, 0, 255}));
}

TEST_F(GlFixture, PresentAndTheFrameQueryComplete) {
    ASSERT_EQ(device->EndScene(), gfx::Result::Ok);
    gfx::Ref<gfx::Query> query;
    ASSERT_EQ(device->CreateQuery(query.Out()), gfx::Result::Ok);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(device->Present(), gfx::Result::Ok);
        ASSERT_EQ(query->Issue(gfx::kIssueEnd), gfx::Result::Ok);
        uint32_t done = 0;
        gfx::Result r = gfx::Result::False;
        // Wait by the clock, not by a spin count: a loaded machine's software
        // renderer can take longer than any fixed number of polls.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (r == gfx::Result::False && std::chrono::steady_clock::now() < deadline) {
            r = query->GetData(&done, sizeof done, gfx::kGetDataFlush);
            if (r == gfx::Result::False) {
                std::this_thread::yield();
            }
        }
        EXPECT_EQ(r, gfx::Result::Ok);
        EXPECT_NE(done, 0u);
    }
    EXPECT_EQ(device->TestCooperativeLevel(), gfx::Result::Ok);
    ASSERT_EQ(device->BeginScene(), gfx::Result::Ok);
}

namespace {

// What the window shows: the offscreen video driver's window keeps its picture
// after the swap, so it reads back like any framebuffer (rows bottom first).
std::vector<Bgra> ReadWindow() {
    const auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    const auto read = reinterpret_cast<PFNGLREADPIXELSPROC>(SDL_GL_GetProcAddress("glReadPixels"));
    std::vector<Bgra> rows(kWidth * kHeight);
    if (!bind || !read) return rows;
    bind(GL_READ_FRAMEBUFFER, 0);
    read(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    std::vector<Bgra> upright(rows.size());
    for (uint32_t y = 0; y < kHeight; ++y) {
        std::memcpy(&upright[y * kWidth], &rows[(kHeight - 1 - y) * kWidth], kWidth * sizeof(Bgra));
    }
    return upright;
}

}  // namespace

// The window shows the back buffer upright, texel for texel and colour for
// colour (red and blue apart), and the back buffer reads the same after it.
TEST_F(GlFixture, PresentShowsTheBackBufferUprightInTheWindow) {
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF0000FF, 1.0f, 0), gfx::Result::Ok);
    const gfx::Rect topLeft{0, 0, 10, 6}, bottomRight{kWidth - 7, kHeight - 3, kWidth, kHeight};
    device->Clear(1, &topLeft, gfx::clear::kTarget, 0xFFFF0000, 1.0f, 0);
    device->Clear(1, &bottomRight, gfx::clear::kTarget, 0xFF20C040, 1.0f, 0);
    ASSERT_EQ(device->EndScene(), gfx::Result::Ok);
    ASSERT_EQ(device->Present(), gfx::Result::Ok);
    const std::vector<Bgra> back = ReadBackBuffer();
    const std::vector<Bgra> shown = ReadWindow();
    ASSERT_EQ(device->BeginScene(), gfx::Result::Ok);
    const Bgra blue{255, 0, 0, 255}, red{0, 0, 255, 255}, green{0x40, 0xC0, 0x20, 255};
    for (const std::vector<Bgra>* pixels : {&back, &shown}) {
        const char* which = pixels == &back ? "back buffer" : "window";
        EXPECT_EQ(At(*pixels, kWidth, 0, 0), red) << which;
        EXPECT_EQ(At(*pixels, kWidth, 9, 5), red) << which;
        EXPECT_EQ(At(*pixels, kWidth, 10, 5), blue) << which;
        EXPECT_EQ(At(*pixels, kWidth, 9, 6), blue) << which;
        EXPECT_EQ(At(*pixels, kWidth, kWidth - 7, kHeight - 3), green) << which;
        EXPECT_EQ(At(*pixels, kWidth, kWidth - 1, kHeight - 1), green) << which;
        EXPECT_EQ(At(*pixels, kWidth, kWidth - 8, kHeight - 1), blue) << which;
        EXPECT_EQ(At(*pixels, kWidth, kWidth / 2, kHeight / 2), blue) << which;
    }
}

TEST_F(GlFixture, ResetResizesTheBackBuffer) {
    ASSERT_EQ(device->EndScene(), gfx::Result::Ok);
    gfx::PresentParams params;
    params.backBufferWidth = 320;
    params.backBufferHeight = 240;
    params.window = window;
    ASSERT_EQ(device->Reset(params), gfx::Result::Ok);
    gfx::Ref<gfx::Surface> back;
    ASSERT_EQ(device->GetBackBuffer(back.Out()), gfx::Result::Ok);
    gfx::SurfaceDesc desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.width, 320u);
    EXPECT_EQ(desc.height, 240u);
    gfx::Viewport viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.width, 320u);
    uint32_t cull = 0;
    device->GetRenderState(gfx::RenderState::CullMode, &cull);
    EXPECT_EQ(cull, static_cast<uint32_t>(gfx::Cull::CCW));
    ASSERT_EQ(device->BeginScene(), gfx::Result::Ok);
}
