// Frame cost of 2,000 textured sprites in one render group through sprite
// batches, on OpenGL (llvmpipe without a GPU): each frame queues the sprites,
// draws the pass list and presents. A batch draws at most 256 quads a frame,
// so the group holds eight batches of 250. Also the cost of queueing alone.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "platform/window/window.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZSpriteBatch.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"
#include "support/PixelQuadEffect.h"

namespace {

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 360;
constexpr int kSprites = 2000;
constexpr int kBatches = 8;  // 250 sprites each, under the 256-quad limit
constexpr int kSheetSide = 64;
constexpr uint32_t kClearColour = 0xFF203040u;

const std::string kEffect = korvtest::PixelQuadEffect("Sprites", "0.003125", "0.0055555556");

// Binds the sheet to the effect's texture parameter.
class SheetShader : public ZShader {
public:
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override {
        if (binding->name == ZHashedString("tex")) {
            binding->SetTexture(ZHashedString("BenchSheet"));
            return true;
        }
        return ZShader::SetParameters(binding, passName, source);
    }
};

// A window, the renderer, the sheet, the shader and a pass drawing one group
// of sprite batches; made once, never torn down (the process ends instead).
struct Scene {
    Scene() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        std::string pattern = (std::filesystem::temp_directory_path() / "korvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        folder = pattern;
        std::ofstream(std::filesystem::path(folder) / "sprites.fxo") << kEffect;
        ZStreamMgr::GetInstance()->AddDirectorySource(folder.c_str());

        windows = platform::window::CreateWindowSystem(platform::window::Backend::Sdl);
        platform::window::WindowCreateInfo info;
        info.title = "sprite batch bench";
        info.width = kScreenWidth;
        info.height = kScreenHeight;
        info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
        if (!windows->CreateMainWindow(info)) return;
        int32_t w = kScreenWidth, h = kScreenHeight;
        ZArray<ZHashedString> missing;
        InitRenderer(windows.get(), w, h, ZRenderVideoSettings(), missing);
        ZRenderer* r = GetRenderer();
        if (!r->hasDevice) return;

        ZTexture* sheet = ZTextureMgr::GetInstance()->CreateTexture(kSheetSide, kSheetSide, ZHashedString("BenchSheet"));
        int32_t pitch = 0;
        void* bits = nullptr;
        if (sheet == nullptr || !sheet->LockRect(pitch, bits)) return;
        for (int32_t y = 0; y < kSheetSide; ++y) {
            for (int32_t x = 0; x < kSheetSide; ++x) {
                const uint32_t c = 0xFF000000u | static_cast<uint32_t>(x * 4) << 16 | static_cast<uint32_t>(y * 4) << 8;
                std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
            }
        }
        sheet->UnlockRect();

        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("sprites.fxo", ZHashedString("sprites"));
        if (effect == nullptr || effect->GetEffect() == nullptr) return;
        shader.SetDefaultPassBinding(effect->FindTechnique(ZHashedString("Sprites")));

        ZRenderGroup* group = r->CreateRenderGroup(ZHashedString("Sprites Group"));
        ZRenderPassDesc* pass = r->CreateRenderPass(ZHashedString("Sprites Pass"));
        pass->clearColor = true;
        pass->SetClearColor(kClearColour);
        pass->AddGroup(group);
        for (auto& batch : batches) {
            batch = std::make_unique<ZSpriteBatch>();
            batch->shader = &shader;
            // Sixteen 16 x 16 frames of the sheet.
            for (int32_t k = 0; k < 16; ++k) {
                const float u = 0.25f * static_cast<float>(k % 4), v = 0.25f * static_cast<float>(k / 4);
                batch->AddSprite(k, ZSpriteFrame{u, v, 0.25f, 0.25f, 16, 16, 0, 0});
            }
            group->Add(batch.get());
        }
        ready = true;
    }

    // Queues every sprite at a fixed pseudo-random spot.
    void Queue() {
        uint32_t seed = 12345;
        const ZColor32 white(255, 255, 255, 255);
        for (int i = 0; i < kSprites; ++i) {
            seed = seed * 1103515245u + 12345u;
            float x = static_cast<float>(seed >> 8 & 0x3FF) * (kScreenWidth - 16) / 1024.0f;
            const float y = -static_cast<float>(seed >> 18 & 0x3FF) * (kScreenHeight - 16) / 1024.0f;
            batches[static_cast<size_t>(i % kBatches)]->AddGlyphQuad(static_cast<int32_t>(seed >> 4 & 15), &x, &y, 1,
                                                                     1, white, white);
        }
    }

    bool ready = false;
    std::string folder;
    std::unique_ptr<platform::window::WindowSystem> windows;
    SheetShader shader;
    std::unique_ptr<ZSpriteBatch> batches[kBatches];
};

Scene& GetScene() {
    static Scene* scene = new Scene();
    return *scene;
}

void BM_SpriteBatchFrame2000(benchmark::State& state) {
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    ZRenderer* r = GetRenderer();
    for (auto _ : state) {
        scene.Queue();
        if (r->BeginScene()) {
            r->RenderFrame(ZHashedString::None());
            r->EndScene();
        }
        r->present();
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["sprites"] = kSprites;
    // The share of the screen the sprites covered in the last frame: proof that they were drawn.
    scene.Queue();
    if (r->BeginScene()) {
        r->RenderFrame(ZHashedString::None());
        r->EndScene();
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u);
    r->ReadBackBuffer(pixels.data());
    r->present();
    size_t covered = 0;
    for (const uint32_t p : pixels) covered += p != kClearColour ? 1 : 0;
    state.counters["covered_share"] = static_cast<double>(covered) / static_cast<double>(pixels.size());
}

void BM_SpriteBatchQueue2000(benchmark::State& state) {
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        scene.Queue();
        for (auto& batch : scene.batches) {
            benchmark::DoNotOptimize(batch->GetQuads().Count());
            batch->ClearQuads();
        }
    }
    state.counters["sprites_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSprites, benchmark::Counter::kIsRate);
}

// Rates per second of wall time: the GPU (or llvmpipe's threads) does most of a frame's work.
BENCHMARK(BM_SpriteBatchFrame2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpriteBatchQueue2000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
