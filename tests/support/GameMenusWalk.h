#pragma once

// The game started for a walk through its menus: the real start-up on the SDL
// window (headless driver), the GL device and the game's display, fake sound
// and keyboard, the game's packages, a clock of 0.05 s a frame. Steps act
// once the screen they wait for is there (support/MenuWalk.h).

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/fake/fake.h"
#include "platform/sound/sound.h"
#include "platform/window/keycodes.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/MenuWalk.h"
#include "support/TempDir.h"

namespace menuwalk {

class WalkedGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
        // A randomizer manifest, so that a seeded game builds its world.
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_FIXTURES_DIR "/randomizer");
    }
    void UpdateTiming() override {
        clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        if (afterFrame) afterFrame();
        if (drawnFrames == quitAfterFrames) RequestQuit();
    }
    void Exit() override {
        KorvanthGame::Exit();
        ++exits;
    }

    os::fake::FakeClock* clock = nullptr;
    std::function<void()> afterFrame;
    int drawnFrames = 0;
    int quitAfterFrames = -1;
    int exits = 0;
};

using korvtest::AtRestOn;
using korvtest::Step;

inline std::vector<uint32_t> BackBuffer() {
    int32_t width = 0;
    int32_t height = 0;
    return GetRenderer()->CaptureBackBuffer(width, height);
}

// Writes the back buffer as <name>.png into KORV_MENU_SHOTS, when it is set.
inline void Shot(const char* name) {
    const char* folder = std::getenv("KORV_MENU_SHOTS");
    if (folder == nullptr || *folder == '\0') return;
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> pixels = GetRenderer()->CaptureBackBuffer(width, height);
    WriteScreenshotPNG((std::string(folder) + "/" + name + ".png").c_str(), pixels.data(), width, height);
}

template <typename Menu>
bool OnTop() {
    return dynamic_cast<Menu*>(GetMenuMgr()->GetTopMenu()) != nullptr;
}

inline bool Playing() { return GetMenuMgr()->GetOpenMenuCount() == 0 && GetMenuMgr()->GetRequests().IsEmpty(); }

struct GameRunWalk {
    korvtest::TempDir documents;
    os::fake::FakeClock clock;
    platform::input::FakeInputSystem* input = nullptr;
    WalkedGame* game = nullptr;
    uint8_t heldKey = 0;

    // A window of 640 x 480 unless another size is given.
    explicit GameRunWalk(const char* extraConfig, const int width = 640, const int height = 480) {
        setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
        documents.Write(std::string("My Games/") + KorvanthGame::kTitle + "/Config/Config.ini",
                        std::string("DoLogging: true\r\n") + extraConfig +
                            "\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: " + std::to_string(width) +
                            "\r\nHeightWindowed: " + std::to_string(height) + "\r\n");
        platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
        auto devices = std::make_unique<platform::input::FakeInputSystem>();
        input = devices.get();
        platform::input::SetInputSystem(std::move(devices));
        platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
        game = new WalkedGame();
        game->clock = &clock;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());
    }
    void Press(const uint8_t key) {
        input->SetKey(key, true);
        heldKey = key;
    }
    // Runs the steps, one per frame once ready; a held key is let go the frame after.
    size_t Walk(const std::vector<Step>& steps, const int maxFrames) {
        size_t next = 0;
        game->afterFrame = [&] {
            if (heldKey != 0) {
                input->SetKey(heldKey, false);
                heldKey = 0;
                return;
            }
            if (next < steps.size() && steps[next].ready()) {
                steps[next].act();
                ++next;
            }
        };
        game->quitAfterFrames = maxFrames;
        ZBaseGame::Run(game, 0, 0, "", platform::window::SW_SHOWNORMAL);
        return next;
    }
    ~GameRunWalk() {
        ZBaseGame::DestroyInstance();
        platform::sound::SetSoundSystem(nullptr);
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    }
};

}  // namespace menuwalk
