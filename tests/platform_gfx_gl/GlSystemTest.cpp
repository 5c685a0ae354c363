// The GL system before a device exists: what it reports and what it accepts.

#include "GlFixture.h"

using namespace gfxtest;

// The capabilities the renderer tests are all there, so it warns about nothing.
TEST_F(GlFixture, SystemReportsCapabilitiesModesAndFormats) {
    gfx::Caps caps;
    ASSERT_EQ(system->GetDeviceCaps(&caps), gfx::Result::Ok);
    EXPECT_TRUE(caps.deviceCaps & gfx::Caps::kHwTransformAndLight);
    EXPECT_TRUE(caps.primitiveMiscCaps & gfx::Caps::kMrtIndependentBitDepths);
    EXPECT_TRUE(caps.primitiveMiscCaps & gfx::Caps::kMrtPostPixelShaderBlending);
    EXPECT_GE(caps.vertexShaderVersion, gfx::ShaderVersion(2, 0));
    EXPECT_GE(caps.pixelShaderVersion, gfx::ShaderVersion(3, 0));
    EXPECT_EQ(caps.presentationIntervals & (gfx::present::kIntervalOne | gfx::present::kIntervalImmediate),
              gfx::present::kIntervalOne | gfx::present::kIntervalImmediate);
    EXPECT_FALSE(caps.textureCaps & (gfx::Caps::kTexturePow2 | gfx::Caps::kTextureSquareOnly));
    EXPECT_TRUE(caps.caps2 & gfx::Caps::kCanAutoGenMipmap);
    EXPECT_GE(caps.maxTextureWidth, 2048u);
    gfx::Caps deviceCaps;
    ASSERT_EQ(device->GetDeviceCaps(&deviceCaps), gfx::Result::Ok);
    EXPECT_EQ(deviceCaps.maxTextureWidth, caps.maxTextureWidth);

    gfx::DisplayMode desktop, mode;
    ASSERT_EQ(system->GetDesktopDisplayMode(&desktop), gfx::Result::Ok);
    EXPECT_EQ(gfx::DisplayFormatBits(desktop.format), 32u);
    const uint32_t modes = system->GetModeCount(gfx::Format::X8R8G8B8);
    ASSERT_GE(modes, 1u);
    ASSERT_EQ(system->EnumModes(gfx::Format::X8R8G8B8, 0, &mode), gfx::Result::Ok);
    EXPECT_GT(mode.width, 0u);
    EXPECT_EQ(mode.format, gfx::Format::X8R8G8B8);
    EXPECT_EQ(system->EnumModes(gfx::Format::X8R8G8B8, modes, &mode), gfx::Result::InvalidCall);

    // The five checks made before creating a device, and some that must fail.
    const auto x8 = gfx::Format::X8R8G8B8;
    struct Case {
        const char* what;
        gfx::Result got, expected;
    };
    const Case cases[] = {
        {"back buffer", system->CheckDeviceType(x8, x8, true), gfx::Result::Ok},
        {"depth buffer",
         system->CheckDeviceFormat(x8, gfx::usage::kDepthStencil, gfx::ResourceType::Surface, gfx::Format::D24S8),
         gfx::Result::Ok},
        {"conversion", system->CheckDeviceFormatConversion(x8, x8), gfx::Result::Ok},
        {"no multisampling", system->CheckDeviceMultiSampleType(x8, true, gfx::MultiSample::None), gfx::Result::Ok},
        {"depth match", system->CheckDepthStencilMatch(x8, x8, gfx::Format::D24S8), gfx::Result::Ok},
        {"float target",
         system->CheckDeviceFormat(x8, gfx::usage::kRenderTarget, gfx::ResourceType::Texture, gfx::Format::R16F),
         gfx::Result::Ok},
        {"DXT texture", system->CheckDeviceFormat(x8, 0, gfx::ResourceType::Texture, gfx::Format::DXT5), gfx::Result::Ok},
        {"DXT target",
         system->CheckDeviceFormat(x8, gfx::usage::kRenderTarget, gfx::ResourceType::Texture, gfx::Format::DXT5),
         gfx::Result::NotAvailable},
        {"16-bit back buffer", system->CheckDeviceType(x8, gfx::Format::R5G6B5, true), gfx::Result::NotAvailable},
        {"other depth", system->CheckDepthStencilMatch(x8, x8, gfx::Format::X8R8G8B8), gfx::Result::NotAvailable},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST_F(GlFixture, DeviceNeedsAWindowMadeForOpenGL) {
    SDL_Window* plain = SDL_CreateWindow("plain", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_NE(plain, nullptr);
    gfx::PresentParams params;
    params.backBufferWidth = 64;
    params.backBufferHeight = 64;
    gfx::Device* other = nullptr;
    EXPECT_EQ(system->CreateDevice(plain, 0, params, &other), gfx::Result::InvalidCall);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(system->CreateDevice(nullptr, 0, params, &other), gfx::Result::InvalidCall);
    SDL_DestroyWindow(plain);
}

// A target made with automatic mipmaps has its smaller levels follow what was drawn.
TEST_F(GlFixture, AutomaticMipmapsFollowTheTarget) {
    gfx::Ref<gfx::Texture> target;
    ASSERT_EQ(device->CreateTexture(8, 8, 0, gfx::usage::kRenderTarget | gfx::usage::kAutoGenMipmap,
                                    gfx::Format::A8R8G8B8, gfx::Pool::Default, target.Out()),
              gfx::Result::Ok);
    EXPECT_EQ(target->GetLevelCount(), 1u);
    gfx::Ref<gfx::Surface> surface, back;
    target->GetSurfaceLevel(0, surface.Out());
    device->GetBackBuffer(back.Out());
    device->SetRenderTarget(0, surface.Get());
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF00FF00, 1.0f, 0), gfx::Result::Ok);
    device->SetRenderTarget(0, back.Get());

    gfx::Ref<gfx::Effect> effect = MakeEffect(R"(effect 1
parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter Point
    MagFilter Point
    MipFilter Point
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
uniform sampler2D texSampler;
out vec4 colour;
void main() { colour = textureLod(texSampler, vec2(0.5), 3.0); }
endcode
)");
    ASSERT_TRUE(effect);
    effect->SetTexture(effect->GetParameterByName(0, "tex"), target.Get());
    Draw(effect.Get(), MakeScreenQuad(kWidth, kHeight));
    EXPECT_EQ(At(ReadBackBuffer(), kWidth, 5, 5), (Bgra{0, 255, 0, 255}));
    effect->SetTexture(effect->GetParameterByName(0, "tex"), nullptr);
    device->SetTexture(0, nullptr);
}
