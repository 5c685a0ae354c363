#pragma once

// The engine's full-screen passes on OpenGL: the renderer of GlRendererTest
// with Engine.zpk mounted (after the temporary folder), a base game whose
// screen size the test chooses, pictures made in the test and published
// under a texture name, and a shader drawn into a target of its own and read
// back.

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "GlRendererFixture.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZShader.h"
#include "renderer/ZTexture.h"

namespace gltest {

inline const char* kEnginePackage = KORV_DATA_BUILD_DIR "/Engine.zpk";

// A packed opaque colour.
inline uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

class FullscreenPassTest : public GlRendererTest {
protected:
    void SetUp() override {
        GlRendererTest::SetUp();
        ZStreamMgr::GetInstance()->AddPackageSource(kEnginePackage);
    }

    void TearDown() override {
        // Shaders made by a test are gone by now; the game goes before the renderer.
        ZBaseGame::DestroyInstance();
        GlRendererTest::TearDown();
    }

    // The base game's screen (what "rcpFrame" is computed from).
    static void SetScreenSize(int32_t width, int32_t height) {
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->SetLogging(false);
        game->m_fullscreen = false;
        game->m_widthWindowed = width;
        game->m_heightWindowed = height;
        game->UpdateScreenMetrics();
    }

    // A width x height picture in the texture cache under the name, texel by texel.
    static ZTexture* MakePicture(const char* name, int32_t width, int32_t height,
                                 const std::function<uint32_t(int32_t, int32_t)>& texel) {
        ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(width, height, ZHashedString(name));
        int32_t pitch = 0;
        void* bits = nullptr;
        EXPECT_TRUE(texture->LockRect(pitch, bits));
        if (bits == nullptr) return texture;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t c = texel(x, y);
                std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
            }
        }
        texture->UnlockRect();
        return texture;
    }

    // Draws a width x height screen quad with the shader's default technique
    // into a target of that size, every parameter asked of the shader first;
    // adjust then runs with the effect current (to override an answer).
    std::vector<uint32_t> DrawPass(ZShader& shader, int32_t width, int32_t height,
                                   const std::function<void(ZEffect*)>& adjust = {}) {
        ZPassBinding* pass = shader.GetDefaultPassBinding();
        EXPECT_NE(pass, nullptr) << "the shader has no technique";
        if (pass == nullptr) return {};
        ZRenderer* r = GetRenderer();
        ZRenderTarget target;
        target.width = width;
        target.height = height;
        target.format = ZRenderTarget::kA8R8G8B8;
        EXPECT_TRUE(r->CreateRenderTarget(target, ZHashedString::None()));
        r->SetRenderTarget(0, &target);
        r->Clear(true, true, 0xFF7F007Fu, 1.0f);
        ScreenQuad quad(width, height);
        DrawWith(shader, quad.renderable, adjust);
        std::vector<uint32_t> pixels = ReadTarget(target.surface, width, height);
        r->SetRenderTarget(0, nullptr);
        return pixels;
    }

    // Draws the renderable with the shader's default technique, every
    // parameter of the effect asked of the shader first.
    void DrawWith(ZShader& shader, ZRenderable& renderable,
                  const std::function<void(ZEffect*)>& adjust = {}) {
        ZPassBinding* pass = shader.GetDefaultPassBinding();
        ASSERT_NE(pass, nullptr);
        ZRenderer* r = GetRenderer();
        gfx::Effect* fx = pass->effect->GetEffect();
        r->currentEffect = fx;
        for (ZEffectParameterList& list : pass->effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i)
                shader.SetParameters(list[i], ZHashedString::None(), &shader);
        }
        if (adjust) adjust(pass->effect);
        ASSERT_EQ(fx->SetTechnique(pass->handle), gfx::Result::Ok);
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
};

}  // namespace gltest
