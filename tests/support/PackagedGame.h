#pragma once

// Whole runs that draw with the engine's own package, and the read-back of
// what they drew. Header only: it builds on the run scenarios of
// framework_game and on the build folder each test program is told of.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework_game/RunScenarios.h"
#include "renderer/ZRenderer.h"

namespace gametest {

// The engine's package from the build's data folder (the test program's own
// folder, where the engine looks first, has none).
class PackagedGame : public TestGame {
public:
    void addStreamSources() override {
        TestGame::addStreamSources();
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    }
};

// Puts a packaged game, on the run's clock, in place of the run's own.
inline void UsePackagedGame(GameRun& run) {
    delete run.game;
    run.game = new PackagedGame();
    run.game->clock = &run.clock;
}

// The back buffer as read back: one word a pixel, row by row.
struct BackBufferShot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    void Take() {
        const ZRenderer* renderer = GetRenderer();
        width = renderer->GetBackBufferWidth();
        height = renderer->GetBackBufferHeight();
        pixels.assign(static_cast<size_t>(width) * height, 0xFF000000u);
        renderer->ReadBackBuffer(pixels.data());
    }
    uint32_t At(const int32_t x, const int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

}  // namespace gametest
