#pragma once

// The renderer on OpenGL (SDL's offscreen driver under CTest): a hidden SDL
// window of 256 x 224, the game's screen, with the renderer started on it,
// a scene open, and a temporary folder mounted for effect and texture files.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "hmd/ZHMDMgr.h"
#include "platform/gfx/effect.h"
#include "platform/window/window.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "renderer/ZVertexBuffer.h"
#include "support/TempDir.h"

namespace gltest {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 224;

// Channels of a packed pixel.
inline int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }
inline int Green(uint32_t p) { return static_cast<int>(p >> 8 & 0xFF); }
inline int Red(uint32_t p) { return static_cast<int>(p >> 16 & 0xFF); }
inline int Alpha(uint32_t p) { return static_cast<int>(p >> 24); }

// Every pixel equal, or the first that differs with its position.
inline ::testing::AssertionResult AllPixels(const std::vector<uint32_t>& pixels, int32_t width, uint32_t expected) {
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != expected) {
            return ::testing::AssertionFailure() << std::hex << "pixel (" << std::dec << i % width << ", "
                                                 << i / width << ") is 0x" << std::hex << pixels[i] << ", not 0x"
                                                 << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

// A screen-filling quad for a target of the given size.
struct ScreenQuad {
    ZRenderable renderable;
    ZVertexBuffer vertices;
    ZIndexBuffer indices;

    explicit ScreenQuad(int32_t width = kWidth, int32_t height = kHeight) {
        EXPECT_TRUE(BuildScreenQuadGeometry(width, height, vertices, indices));
        renderable.vertexBuffer = &vertices;
        renderable.indexBuffer = &indices;
    }
};

class GlRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_windows = platform::window::CreateWindowSystem(platform::window::Backend::Sdl);
        platform::window::WindowCreateInfo info;
        info.title = "renderer test";
        info.width = kWidth;
        info.height = kHeight;
        info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
        ASSERT_TRUE(m_windows->CreateMainWindow(info));
        ZStreamMgr::GetInstance()->AddDirectorySource(dir.Path().string().c_str());
        int32_t w = kWidth, h = kHeight;
        ZArray<ZHashedString> missing;
        InitRenderer(m_windows.get(), w, h, ZRenderVideoSettings(), missing);
        ASSERT_TRUE(GetRenderer()->hasDevice) << "no OpenGL device";
        ASSERT_TRUE(GetRenderer()->BeginScene());
    }

    void TearDown() override {
        GetRenderer()->EndScene();
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ShutdownRenderer();
        DestroyRenderer();
        DestroyHMDManager();
        ZStreamMgr::DestroyInstance();
        m_windows.reset();
    }

    ZEffect* LoadEffect(const std::string& name, const std::string& text) {
        dir.Write(name + ".fxo", text);
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect((name + ".fxo").c_str(), ZHashedString(name.c_str()));
        EXPECT_NE(effect->GetEffect(), nullptr) << name << " did not compile";
        return effect;
    }

    // The automatic binding of a parameter, by name.
    static ZEffectParameter* Param(ZEffect* effect, const char* name) {
        for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name)) return list[i];
            }
        }
        ADD_FAILURE() << "no binding " << name;
        return nullptr;
    }

    // Draws the renderable with every pass of the technique; setParameters runs
    // with the effect current, before the technique begins.
    template <typename SetParameters>
    void Draw(ZEffect* effect, const char* technique, ZRenderable& renderable, SetParameters setParameters) {
        ZRenderer* r = GetRenderer();
        gfx::Effect* fx = effect->GetEffect();
        ZPassBinding* binding = effect->FindTechnique(ZHashedString(technique));
        ASSERT_NE(binding, nullptr) << technique;
        r->currentEffect = fx;
        setParameters();
        ASSERT_EQ(fx->SetTechnique(binding->handle), gfx::Result::Ok);
        uint32_t passes = 0;
        ASSERT_EQ(fx->Begin(&passes, gfx::kDoNotSaveState), gfx::Result::Ok);
        r->techniquePassCount = passes;
        for (uint32_t p = 0; p < passes; ++p) {
            ASSERT_EQ(fx->BeginPass(p), gfx::Result::Ok);
            renderable.Draw(r, nullptr);
            EXPECT_EQ(r->lastResult, gfx::Result::Ok) << gfx::ResultName(r->lastResult);
            fx->EndPass();
        }
        fx->End();
        r->techniquePassCount = 0;
    }

    std::vector<uint32_t> ReadBackBuffer() {
        std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
        GetRenderer()->ReadBackBuffer(pixels.data());
        return pixels;
    }

    std::vector<uint32_t> ReadTarget(gfx::Surface* surface, int32_t width, int32_t height) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
        EXPECT_TRUE(GetRenderer()->ReadRenderTargetPixels(surface, pixels.data(), ZHashedString::None()));
        return pixels;
    }

    korvtest::TempDir dir;

private:
    std::unique_ptr<platform::window::WindowSystem> m_windows;
};

// Point-sampled textures drawn as they are, or a flat colour blended over the target.
inline const char* kTexturedEffect = R"(effect 1
parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter Point
    MagFilter Point
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
parameter float4 tint = 1 1 1 1
technique Textured
    pass P0
        vertex VS
        fragment Sampled
        CullMode None
        ZEnable false
        AlphaBlendEnable false
end
technique Blended
    pass P0
        vertex VS
        fragment Flat
        CullMode None
        ZEnable false
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend InvSrcAlpha
end
code vertex VS
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 uv;
void main() {
    gl_Position = vec4(a_Position, 1.0);
    uv = a_TexCoord0;
}
endcode
code fragment Sampled
uniform sampler2D texSampler;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(texSampler, uv); }
endcode
code fragment Flat
uniform vec4 tint;
in vec2 uv;
out vec4 colour;
void main() { colour = tint; }
endcode
)";

}  // namespace gltest
