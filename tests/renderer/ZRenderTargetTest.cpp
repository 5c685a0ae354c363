// Render targets: their device objects, publication in the texture cache,
// binding, screen-sized targets, and the clear.

#include <string>
#include <vector>

#include "RendererFixture.h"
#include "framework/ZBaseGame.h"
#include "hmd/ZHMDMgr.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZScreenRenderTarget.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

std::string Id(const void* object) {
    return "#" + std::to_string(gfx::fake::IdOf(static_cast<const gfx::Object*>(object)));
}

}  // namespace

TEST_F(RendererTest, TargetFormatsUsageAndDepth) {
    struct Case {
        int32_t format;
        bool autoMipmap, canAutoGen, depth;
        const char* created;  // null: nothing is made
    };
    const Case cases[] = {
        {1, false, true, false, "CreateTexture(8x4, levels 1, usage 0x1, X8R8G8B8, Default)"},
        {2, false, true, true, "CreateTexture(8x4, levels 1, usage 0x1, A8R8G8B8, Default)"},
        {3, false, true, false, "CreateTexture(8x4, levels 1, usage 0x1, A16B16G16R16F, Default)"},
        {4, false, true, false, "CreateTexture(8x4, levels 1, usage 0x1, A32B32G32R32F, Default)"},
        {5, false, true, false, "CreateTexture(8x4, levels 1, usage 0x1, R16F, Default)"},
        {2, true, true, false, "CreateTexture(8x4, levels 1, usage 0x401, A8R8G8B8, Default)"},
        {2, true, false, false, "CreateTexture(8x4, levels 1, usage 0x1, A8R8G8B8, Default)"},
        {7, false, true, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        state->script = gfx::fake::Script();
        if (!c.canAutoGen) state->script.caps.caps2 = 0;
        Start();
        ClearCalls();
        ZRenderTarget target;
        target.width = 8;
        target.height = 4;
        target.format = c.format;
        target.autoMipmap = c.autoMipmap;
        target.depthStencil = c.depth;
        EXPECT_EQ(GetRenderer()->initRenderTarget(target, false), c.created != nullptr);
        if (c.created != nullptr) {
            EXPECT_TRUE(Logged(c.created)) << Calls();
            EXPECT_NE(target.surface, nullptr);
        } else {
            EXPECT_FALSE(Logged("CreateTexture"));
        }
        EXPECT_EQ(target.depthStencilSurface != nullptr, c.depth);
        EXPECT_EQ(Count("CreateDepthStencilSurface(8x4, D24S8, discard 1)"), c.depth ? 1u : 0u);
        EXPECT_EQ(GetRenderer()->GetRegisteredTargets().Count(), 1u) << "registered even when nothing was made";
        target.Release();
        EXPECT_EQ(GetRenderer()->GetRegisteredTargets().Count(), 0u);
        EXPECT_EQ(target.texture, nullptr);
        ShutdownRenderer();
        DestroyRenderer();
    }
}

TEST_F(RendererTest, OnlyNamedTargetsArePublishedAndReleaseDropsTheName) {
    Start();
    ZRenderer* r = GetRenderer();
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    {
        ZRenderTarget unnamed;
        unnamed.width = unnamed.height = 4;
        ASSERT_TRUE(r->CreateRenderTarget(unnamed, ZHashedString::None()));
        EXPECT_EQ(textures->GetCount(), 0u);
    }
    ZRenderTarget target;
    target.width = target.height = 4;
    ASSERT_TRUE(r->CreateRenderTarget(target, ZHashedString("Scene Copy")));
    EXPECT_EQ(target.textureName, ZHashedString("Scene Copy"));
    const ZTexture* published = textures->FindTexture(ZHashedString("Scene Copy"));
    ASSERT_NE(published, nullptr);
    EXPECT_EQ(published->GetTexture(), target.texture);
    EXPECT_EQ(published->GetOwner(), &target);
    EXPECT_EQ(textures->GetRefCount(ZHashedString("Scene Copy")), 1);

    target.Release();
    EXPECT_EQ(textures->FindTexture(ZHashedString("Scene Copy")), nullptr);
    target.Release();  // again: nothing more to drop
    EXPECT_EQ(textures->GetCount(), 0u);
}

TEST_F(RendererTest, BindingATargetBindsItsDepthStencilOrTheDefaultOne) {
    Start();
    ZRenderer* r = GetRenderer();
    ZRenderTarget withDepth;
    withDepth.width = 32;
    withDepth.height = 16;
    withDepth.depthStencil = true;
    ZRenderTarget plain;
    plain.width = plain.height = 8;
    ASSERT_TRUE(r->CreateRenderTarget(withDepth, ZHashedString::None()));
    ASSERT_TRUE(r->CreateRenderTarget(plain, ZHashedString::None()));

    ClearCalls();
    r->SetRenderTarget(0, &withDepth);
    EXPECT_TRUE(Logged("SetRenderTarget(0, " + Id(withDepth.surface) + ")")) << Calls();
    EXPECT_TRUE(Logged("SetDepthStencilSurface(" + Id(withDepth.depthStencilSurface) + ")")) << Calls();
    EXPECT_EQ(r->GetCurrentTargetWidth(), 32);
    EXPECT_EQ(r->GetCurrentTargetHeight(), 16);

    ClearCalls();
    r->SetRenderTarget(1, &plain);
    EXPECT_TRUE(Logged("SetRenderTarget(1, " + Id(plain.surface) + ")"));
    EXPECT_TRUE(Logged("SetDepthStencilSurface(" + Id(r->GetDefaultDepthStencil()) + ")")) << Calls();
    EXPECT_EQ(r->GetCurrentTargetWidth(), 32) << "only slot 0 sets the current size";

    ClearCalls();
    r->SetRenderTarget(1, nullptr);
    r->SetRenderTarget(0, nullptr);
    EXPECT_TRUE(Logged("SetRenderTarget(1, null)"));
    EXPECT_TRUE(Logged("SetRenderTarget(0, " + Id(r->GetBackBufferSurface()) + ")"));
    EXPECT_FALSE(Logged("SetDepthStencilSurface")) << "the default one is bound already";
    EXPECT_EQ(r->GetCurrentTargetWidth(), 256);
}

// A target is made at the size a notification would give it: the render
// size, after PixelSize, Tate and FixedAspectRatio.
TEST_F(RendererTest, ScreenTargetsStartAtTheRenderSize) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    ASSERT_NE(game, nullptr);
    struct Case {
        float pixelSize;
        int32_t tate;
        float fixedAspect;
        int32_t width, height;  // of a half-scale target on a 1280 x 720 window
    };
    const Case cases[] = {
        {1.0f, 0, 0.0f, 640, 360},
        {2.0f, 0, 0.0f, 320, 180},
        {1.0f, 1, 0.0f, 360, 640},
        {1.0f, 0, 4.0f / 3.0f, 480, 360},
    };
    game->m_fullscreen = false;
    game->m_widthWindowed = 1280;
    game->m_heightWindowed = 720;
    Start(1280, 720);
    for (const Case& c : cases) {
        game->m_pixelSize = c.pixelSize;
        game->m_tate = c.tate;
        game->m_fixedAspectRatio = c.fixedAspect;
        game->UpdateScreenMetrics();
        ZScreenRenderTarget half(0.5f, 0.5f, ZHashedString("Half Screen"));
        EXPECT_EQ(half.target.width, c.width) << c.pixelSize << " " << c.tate << " " << c.fixedAspect;
        EXPECT_EQ(half.target.height, c.height) << c.pixelSize << " " << c.tate << " " << c.fixedAspect;
        const int32_t made = half.target.width;
        game->UpdateScreenMetrics();
        EXPECT_EQ(half.target.width, made) << "a notification of the same metrics changes nothing";
    }
    game->m_pixelSize = 1.0f;
    game->m_tate = 0;
    game->m_fixedAspectRatio = 0.0f;
}

TEST_F(RendererTest, ScreenTargetsFollowTheScreenButRebuildOnlyAtAReset) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    ASSERT_NE(game, nullptr);
    game->m_fullscreen = false;
    game->m_widthWindowed = 1281;
    game->m_heightWindowed = 720;
    game->UpdateScreenMetrics();
    Start(1281, 720);
    {
        ZScreenRenderTarget half(0.5f, 0.5f, ZHashedString("Half Screen"));
        EXPECT_EQ(half.target.width, 640);
        EXPECT_EQ(half.target.height, 360);
        EXPECT_EQ(half.target.format, ZRenderTarget::kX8R8G8B8);
        EXPECT_FALSE(half.target.autoMipmap);
        EXPECT_TRUE(Logged("CreateTexture(640x360, levels 1, usage 0x1, X8R8G8B8, Default)")) << Calls();
        EXPECT_NE(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("Half Screen")), nullptr);

        ZScreenRenderTarget full(ZHashedString("Full Screen"), true);
        EXPECT_EQ(full.target.width, 1281);
        EXPECT_TRUE(full.target.autoMipmap);

        ClearCalls();
        game->m_widthWindowed = 1000;
        game->m_heightWindowed = 500;
        game->UpdateScreenMetrics();
        EXPECT_EQ(half.target.width, 500);
        EXPECT_EQ(half.target.height, 250);
        EXPECT_FALSE(Logged("CreateTexture")) << "the texture keeps its size until the next reset";

        bool exclusive = false;
        width = 1000;
        height = 500;
        GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
        EXPECT_TRUE(Logged("CreateTexture(500x250, levels 1, usage 0x1, X8R8G8B8, Default)")) << Calls();
        EXPECT_TRUE(Logged("CreateTexture(1000x500, levels 1, usage 0x401, X8R8G8B8, Default)")) << Calls();
    }
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetCount(), 0u);
    // Destroyed targets left the listeners.
    game->m_widthWindowed = 800;
    game->UpdateScreenMetrics();
    ZBaseGame::DestroyInstance();
    gAppInfo.store(&appInfo);
}

TEST_F(RendererTest, ClearFlagsColourAndDepth) {
    Start();
    ZRenderer* r = GetRenderer();
    struct Case {
        bool target, depth;
        const char* call;
    };
    const Case cases[] = {
        {false, false, "Clear(flags 0x0, colour 0x80102030, z 0.25, stencil 0)"},
        {true, false, "Clear(flags 0x1, colour 0x80102030, z 0.25, stencil 0)"},
        {false, true, "Clear(flags 0x6, colour 0x80102030, z 0.25, stencil 0)"},
        {true, true, "Clear(flags 0x7, colour 0x80102030, z 0.25, stencil 0)"},
    };
    for (const Case& c : cases) {
        ClearCalls();
        r->Clear(c.target, c.depth, 0x80102030u, 0.25f);
        ASSERT_EQ(state->calls.size(), 1u);
        EXPECT_EQ(state->calls[0], c.call);
    }
    ClearCalls();
    r->Clear(3, ZColor32(0x10, 0x20, 0x30, 0xFF), 1.0f);
    EXPECT_EQ(state->calls[0], "Clear(flags 0x7, colour 0xff102030, z 1, stencil 0)");
}

TEST_F(RendererTest, WithAHeadsetOnlyTheEyesRectangleOfThePanelIsCleared) {
    struct ActiveHMD : ZHMDMgr {
        bool IsActive() const override { return true; }
    };
    Start(1280, 720);
    ZRenderer* r = GetRenderer();
    r->Clear(true, false, 0xFF000000u, 1.0f);

    DestroyHMDManager();
    gHMDMgr = new ActiveHMD();
    gHMDMgr->viewportOffset = 0.5f;
    gHMDMgr->viewportScale = 0.5f;
    ClearCalls();
    r->Clear(true, true, 0xFFFF0000u, 1.0f);
    EXPECT_EQ(state->calls[0], "Clear(flags 0x7, colour 0xffff0000, z 1, stencil 0, rects 1)");
    DestroyHMDManager();

    std::vector<uint32_t> pixels(1280 * 720);
    r->ReadBackBuffer(pixels.data());
    EXPECT_EQ(pixels[10 * 1280 + 639], 0xFF000000u);
    EXPECT_EQ(pixels[10 * 1280 + 640], 0xFFFF0000u);
    EXPECT_EQ(pixels[719 * 1280 + 1279], 0xFFFF0000u);
}
