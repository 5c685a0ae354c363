// Frame cost of the engine's full-screen passes at 1280 x 720 on the OpenGL
// device (llvmpipe without a GPU): the pre-HUD pass at each anti-aliasing
// level, drawing a busy scene into the final target, then the final pass to
// the back buffer, presented (present waits for the frame to finish, so the
// figure is the whole frame's cost). "fps" is frames per second.
//
// Needs Engine.zpk: $KORV_DATA_DIR, else data/ beside the bench folder.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "foundation/ZStreamMgr.h"
#include "framework/ZBaseGame.h"
#include "platform/os/files.h"
#include "platform/window/window.h"
#include "renderer/ZEffect.h"
#include "renderer/ZFinalPassShader.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZPreHUDPassShader.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"
#include "renderer/ZVertexBuffer.h"

namespace {

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 720;

std::string EnginePackage() {
    if (const char* dir = std::getenv("KORV_DATA_DIR")) return std::string(dir) + "/Engine.zpk";
    return os::ExecutableFolder() + "/../data/Engine.zpk";
}

// A scene with edges everywhere: rings and slanted stripes of several colours.
uint32_t SceneTexel(int32_t x, int32_t y) {
    const float dx = static_cast<float>(x - kWidth / 2), dy = static_cast<float>(y - kHeight / 2);
    const bool ring = static_cast<int32_t>(std::sqrt(dx * dx + dy * dy) / 23.0f) % 2 == 0;
    const bool stripe = ((x + y / 3) / 37) % 2 == 0;
    const uint32_t r = ring ? 230 : 30, g = stripe ? 200 : 60, b = (x / 64 + y / 64) % 2 ? 180 : 40;
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The renderer on a hidden window with the two screen-sized targets, the
// scene and the screen quad; made once for the program.
class Passes {
public:
    Passes() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        m_windows = platform::window::CreateWindowSystem(platform::window::Backend::Sdl);
        platform::window::WindowCreateInfo info;
        info.title = "full-screen passes";
        info.width = kWidth;
        info.height = kHeight;
        info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
        if (!m_windows->CreateMainWindow(info)) return;
        ZStreamMgr::GetInstance()->AddPackageSource(EnginePackage().c_str());
        int32_t w = kWidth, h = kHeight;
        ZArray<ZHashedString> missing;
        InitRenderer(m_windows.get(), w, h, ZRenderVideoSettings(), missing);
        ZRenderer* r = GetRenderer();
        if (!r->hasDevice) return;

        ZBaseGame* game = ZBaseGame::GetInstance();
        game->m_widthWindowed = kWidth;
        game->m_heightWindowed = kHeight;
        game->UpdateScreenMetrics();

        ZTexture* scene = ZTextureMgr::GetInstance()->CreateTexture(
            kWidth, kHeight, ZHashedString("__ZORP_PreHUD_Pass_Texture"));
        int32_t pitch = 0;
        void* bits = nullptr;
        if (scene == nullptr || !scene->LockRect(pitch, bits)) return;
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const uint32_t c = SceneTexel(x, y);
                std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
            }
        }
        scene->UnlockRect();

        m_final.width = kWidth;
        m_final.height = kHeight;
        m_final.format = ZRenderTarget::kX8R8G8B8;
        if (!r->CreateRenderTarget(m_final, ZHashedString("__ZORP_Final_Pass_Texture"))) return;
        if (!BuildScreenQuadGeometry(kWidth, kHeight, m_vertices, m_indices)) return;
        m_quad.vertexBuffer = &m_vertices;
        m_quad.indexBuffer = &m_indices;
        m_finalShader = std::make_unique<ZFinalPassShader>();
        ready = m_finalShader->GetDefaultPassBinding() != nullptr;
    }

    // One frame: the pre-HUD pass (when given) into the final target, the final pass to the back buffer.
    bool Frame(ZShader* preHUD) {
        ZRenderer* r = GetRenderer();
        if (!r->BeginScene()) return false;
        if (preHUD != nullptr) {
            r->SetRenderTarget(0, &m_final);
            Draw(*preHUD);
            r->SetRenderTarget(0, nullptr);
        }
        Draw(*m_finalShader);
        r->EndScene();
        r->present();
        return r->lastResult == gfx::Result::Ok;
    }

    bool ready = false;

private:
    void Draw(ZShader& shader) {
        ZPassBinding* pass = shader.GetDefaultPassBinding();
        if (pass == nullptr) return;
        ZRenderer* r = GetRenderer();
        gfx::Effect* fx = pass->effect->GetEffect();
        r->currentEffect = fx;
        for (ZEffectParameterList& list : pass->effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i)
                shader.SetParameters(list[i], ZHashedString::None(), &shader);
        }
        fx->SetTechnique(pass->handle);
        uint32_t passes = 0;
        fx->Begin(&passes, gfx::kDoNotSaveState);
        r->techniquePassCount = passes;
        for (uint32_t p = 0; p < passes; ++p) {
            fx->BeginPass(p);
            m_quad.Draw(r, nullptr);
            fx->EndPass();
        }
        fx->End();
        r->techniquePassCount = 0;
    }

    std::unique_ptr<platform::window::WindowSystem> m_windows;
    ZRenderTarget m_final;
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
    ZRenderable m_quad;
    std::unique_ptr<ZFinalPassShader> m_finalShader;
};

// Never torn down: the process ends instead.
Passes& GetPasses() {
    static Passes* passes = new Passes();
    return *passes;
}

void BM_FinalPassOnly(benchmark::State& state) {
    Passes& passes = GetPasses();
    if (!passes.ready) {
        state.SkipWithError("no OpenGL device or no Engine.zpk");
        return;
    }
    passes.Frame(nullptr);
    for (auto _ : state) {
        if (!passes.Frame(nullptr)) state.SkipWithError("a frame failed");
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FinalPassOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: the anti-aliasing level, 0 (none) to 4 (ultra).
void BM_PreHUDAndFinalPass(benchmark::State& state) {
    Passes& passes = GetPasses();
    if (!passes.ready) {
        state.SkipWithError("no OpenGL device or no Engine.zpk");
        return;
    }
    ZPreHUDPassShader preHUD(static_cast<int32_t>(state.range(0)));
    if (preHUD.GetDefaultPassBinding() == nullptr) {
        state.SkipWithError("the pre-HUD effect did not load");
        return;
    }
    // The driver compiles a program at its first draw; that is not a frame's cost.
    passes.Frame(&preHUD);
    for (auto _ : state) {
        if (!passes.Frame(&preHUD)) state.SkipWithError("a frame failed");
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PreHUDAndFinalPass)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
