#pragma once

// The game's display chain on OpenGL without the game: a hidden window of the
// chosen size, the renderer, the base game with the game's passes and groups,
// the engine's assets with the game's pre-HUD shader, the display chain, and
// a 256 x 224 test card drawn into the clean frame by the world background
// passes (both eyes). Tests and benchmarks draw frames and read targets back.
// Needs: Engine.zpk (enginePackage), the game's display data in the source
// tree (data/game/effects, data/game/crt) and the card's effect in
// tests/fixtures/display. Header only, so the benchmarks can use it too.
// KORV_HARNESS_LOG=1 lets the base game log to standard output.

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "game/display/BackdropShader.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/GameRenderPasses.h"
#include "game/display/KorvanthPreHUDPassShader.h"
#include "game/display/SceneOverlays.h"
#include "game/display/DisplayAppliers.h"
#include "hmd/ZHMDMgr.h"
#include "platform/window/window.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenRenderTarget.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

namespace korvtest {

// Draws the test card, shifted and filtered like the world's materials in anaglyph 3D.
class HarnessCardShader : public ZShader {
public:
    HarnessCardShader() {
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("harness_card.fxo", ZHashedString("Harness Card"));
        if (effect != nullptr) {
            if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("Card"))) SetDefaultPassBinding(binding);
        }
    }
    ~HarnessCardShader() override {
        if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) shaders->ReleaseEffect(ZHashedString("Harness Card"));
    }
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override {
        static const ZHashedString kTex("cardTex");
        static const ZHashedString kDistance("AnaglyphDistance");
        static const ZHashedString kColor("AnaglyphColor");
        if (binding == nullptr) return false;
        const DisplayState* display = PeekDisplayState();
        if (binding->name == kTex) {
            binding->SetTexture(ZHashedString("Harness Card Texture"));
        } else if (binding->name == kDistance) {
            binding->SetFloat(display != nullptr ? -display->GetAnaglyphDistance() : 0.0f);
        } else if (binding->name == kColor) {
            binding->SetVector(display != nullptr ? display->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
        } else {
            return ZShader::SetParameters(binding, passName, source);
        }
        return true;
    }
};

// The base game with the game's render set-up and pre-HUD shader, as the
// game class wires them.
class HarnessGame : public ZBaseGame {
public:
    void CreateRenderPasses() override { CreateGameRenderPasses(*this); }
    void CreateRenderGroups() override { CreateGameRenderGroups(*this); }
    void AssignGroupsToPasses() override { AssignGameGroupsToPasses(*this); }
    ZFXAAFilter* CreateFXAAFilter() override { return new KorvanthPreHUDPassShader(m_fxaa); }
    ZShader* CreateDepthBackdropShader() override { return new BackdropShader(); }
};

class DisplayChainHarness {
public:
    using Card = std::function<uint32_t(int32_t x, int32_t y)>;

    // Everything up to the first frame; false (with why) when a step fails.
    // A non-empty firstFolder is mounted before everything else, so the files
    // it holds (older effects, say) stand in for the packaged ones.
    bool Start(int32_t width, int32_t height, const std::string& enginePackage, const std::string& sourceDir,
               std::string& why, const std::string& firstFolder = std::string()) {
        m_windows = platform::window::CreateWindowSystem(platform::window::Backend::Sdl);
        platform::window::WindowCreateInfo info;
        info.title = "display chain";
        // The window's outer size, so that its client area (the drawable the
        // back buffer is presented to) is width x height, as the game sizes it.
        platform::window::Rect outer{0, 0, width, height};
        platform::window::WindowSystem::AdjustWindowRect(outer, info.style, false, info.exStyle);
        info.width = static_cast<uint32_t>(outer.Width());
        info.height = static_cast<uint32_t>(outer.Height());
        info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
        if (!m_windows->CreateMainWindow(info)) {
            why = "no window";
            return false;
        }
        ZStreamMgr* streams = ZStreamMgr::GetInstance();
        if (!firstFolder.empty()) streams->AddDirectorySource(firstFolder.c_str());
        streams->AddPackageSource(enginePackage.c_str());
        streams->AddDirectorySource((sourceDir + "/data/game/effects").c_str());
        streams->AddDirectorySource((sourceDir + "/data/game/crt").c_str());
        streams->AddDirectorySource((sourceDir + "/tests/fixtures/display").c_str());
        int32_t w = width, h = height;
        ZArray<ZHashedString> missing;
        InitRenderer(m_windows.get(), w, h, ZRenderVideoSettings(), missing);
        ZRenderer* renderer = GetRenderer();
        if (!renderer->hasDevice) {
            why = "no OpenGL device";
            return false;
        }
        ZBaseGame::DestroyInstance();
        ZBaseGame* game = new HarnessGame();  // the base game's singleton from now on
        game->SetLogging(getenv("KORV_HARNESS_LOG") != nullptr);
        game->m_fullscreen = false;
        game->m_widthWindowed = width;
        game->m_heightWindowed = height;
        game->UpdateScreenMetrics();

        // The order of the base game's render set-up, with the game's overrides.
        game->SetUpRenderPasses();
        game->LoadEngineAssets();

        chain = SetUpGameDisplayChain();
        m_secondTarget = false;
        // The title's screen-group set-up: one of the two screens shows.
        ApplyCRTPassSetting();
        // In play: the title's TV static is gone (tests that want it show it).
        if (SceneOverlays* overlays = chain->GetOverlays()) {
            overlays->GetRenderable(SceneOverlays::kStatic).visible = false;
            chain->UpdateOverlayInputs();
        }

        m_cardTexture = ZTextureMgr::GetInstance()->CreateTexture(256, 224, ZHashedString("Harness Card Texture"));
        m_cardShader = std::make_unique<HarnessCardShader>();
        if (m_cardShader->GetDefaultPassBinding() == nullptr) {
            why = "the card's effect did not load";
            return false;
        }
        if (!BuildScreenQuadGeometry(256, 224, m_cardVertices, m_cardIndices)) {
            why = "no card geometry";
            return false;
        }
        m_card.vertexBuffer = &m_cardVertices;
        m_card.indexBuffer = &m_cardIndices;
        m_card.shader = m_cardShader.get();
        if (ZRenderGroup* group = renderer->FindRenderGroup(ZHashedString("World Background Group"))) group->Add(&m_card);
        SetCard([](int32_t, int32_t) { return 0xFF000000u; });
        return true;
    }

    void Stop() {
        if (ZRenderer* renderer = PeekRenderer()) renderer->RemoveFromAllRenderGroups(&m_card);
        m_cardShader.reset();
        m_cardVertices.Release();
        m_cardIndices.Release();
        if (m_cardTexture != nullptr) {
            ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("Harness Card Texture"));
            m_cardTexture = nullptr;
        }
        ShutdownGameDisplayChain();
        chain = nullptr;
        if (ZBaseGame* game = ZBaseGame::PeekInstance()) game->ReleaseEngineAssets();
        ZBaseGame::DestroyInstance();
        DestroyDisplayState();
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ShutdownRenderer();
        DestroyRenderer();
        DestroyHMDManager();
        ZStreamMgr::DestroyInstance();
        m_windows.reset();
    }

    // Fills the card texel by texel (packed ARGB).
    bool SetCard(const Card& card) {
        int32_t pitch = 0;
        void* bits = nullptr;
        if (m_cardTexture == nullptr || !m_cardTexture->LockRect(pitch, bits) || bits == nullptr) return false;
        for (int32_t y = 0; y < 224; ++y) {
            for (int32_t x = 0; x < 256; ++x) {
                const uint32_t c = card(x, y);
                std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
            }
        }
        m_cardTexture->UnlockRect();
        return true;
    }

    // One frame of the default pass list (or a pass set), presented; then the
    // next frame is readied as the game's per-frame update readies it (the
    // composite frames change places; the set-up readied the first frame).
    bool Frame(ZHashedString passSet = ZHashedString::None()) {
        ZRenderer* renderer = GetRenderer();
        if (!renderer->BeginScene()) return false;
        // The game's frame: straight to the back buffer when the final pass
        // would only copy, the clears of the frame's targets, the passes.
        ZBaseGame::GetInstance()->DrawFrame(passSet);
        renderer->EndScene();
        renderer->present();
        m_secondTarget = !m_secondTarget;
        PrepareGameDisplayFrame(m_secondTarget);
        return renderer->lastResult == gfx::Result::Ok;
    }

    // A render target's pixels (packed ARGB, top row first).
    static std::vector<uint32_t> Read(const ZRenderTarget& target) {
        std::vector<uint32_t> pixels(static_cast<size_t>(target.width) * static_cast<size_t>(target.height), 0);
        if (target.surface == nullptr ||
            !GetRenderer()->ReadRenderTargetPixels(target.surface, pixels.data(), ZHashedString::None())) {
            pixels.clear();
        }
        return pixels;
    }

    // The back buffer after the final pass.
    std::vector<uint32_t> ReadScreen() const {
        const ZRenderer* renderer = GetRenderer();
        std::vector<uint32_t> pixels(
            static_cast<size_t>(renderer->GetBackBufferWidth()) * static_cast<size_t>(renderer->GetBackBufferHeight()),
            0xFF000000u);
        renderer->ReadBackBuffer(pixels.data());
        return pixels;
    }

    DisplayChain* chain = nullptr;

private:
    std::unique_ptr<platform::window::WindowSystem> m_windows;
    std::unique_ptr<HarnessCardShader> m_cardShader;
    ZTexture* m_cardTexture = nullptr;
    ZVertexBuffer m_cardVertices;
    ZIndexBuffer m_cardIndices;
    ZRenderable m_card;
    bool m_secondTarget = false;  // the composite frame the next frame writes
};

}  // namespace korvtest
