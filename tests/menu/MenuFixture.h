#pragma once

// The menu framework on fake devices: a base game (640 x 480, so that one
// pixel is 1.6 menu units) with the engine's controls and bindings, a menu
// that records the events it receives, and helpers that run input frames
// and the manager's two per-frame steps on a clock the test owns.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/ZStreamMgr.h"
#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "input/InputFixture.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZFont.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace menutest {

// Counts the pause requests the menu manager makes.
class CountingGame : public ZBaseGame {
public:
    void PushPause(const bool push) override {
        pushes += push ? 1 : -1;
        ++calls;
    }
    // The menu font, when a test gives one.
    ZFont* GetMenuFont() const override { return menuFont; }

    int pushes = 0;
    int calls = 0;
    ZFont* menuFont = nullptr;
};

inline const char* EventName(const int32_t kind) {
    switch (kind) {
        case ZMenuEventKind::NavUp: return "NavUp";
        case ZMenuEventKind::NavDown: return "NavDown";
        case ZMenuEventKind::NavLeft: return "NavLeft";
        case ZMenuEventKind::NavRight: return "NavRight";
        case ZMenuEventKind::NavNext: return "NavNext";
        case ZMenuEventKind::Accept: return "Accept";
        case ZMenuEventKind::Cancel: return "Cancel";
        case ZMenuEventKind::Mouse: return "Mouse";
        case ZMenuEventKind::Opened: return "Opened";
        case ZMenuEventKind::Closing: return "Closing";
        case ZMenuEventKind::Resumed: return "Resumed";
        case ZMenuEventKind::OutDone: return "OutDone";
        case ZMenuEventKind::InDone: return "InDone";
        case ZMenuEventKind::Covered: return "Covered";
        case ZMenuEventKind::BeginEdit: return "BeginEdit";
        case ZMenuEventKind::EndEdit: return "EndEdit";
        case ZMenuEventKind::FrameStart: return "FrameStart";
        case ZMenuEventKind::FrameEnd: return "FrameEnd";
        default: return "?";
    }
}

// A menu that writes "<name>:<event>" for every event but Tick, and
// "<name>:deleted" when it goes.
class RecordingMenu : public ZMenu {
public:
    RecordingMenu(std::string name, std::vector<std::string>* log) : m_label(std::move(name)), m_log(log) {}
    ~RecordingMenu() override { m_log->push_back(m_label + ":deleted"); }

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override {
        if (event.kind != ZMenuEventKind::Tick) {
            m_log->push_back(m_label + ":" + EventName(event.kind));
        }
        ZMenu::HandleAction(event, mouse);
    }
    bool FadesBackdropOnOpen() const override { return fadesOnOpen; }
    bool FadesBackdropOnClose() const override { return fadesOnClose; }
    bool KeepsPositionDuringTransition(int32_t, int32_t) const override { return keepsPosition; }
    void AdjustTransitionProgress(float* progress) override {
        if (heldProgress >= 0.0f) *progress = heldProgress;
    }

    bool fadesOnOpen = false;
    bool fadesOnClose = false;
    bool keepsPosition = false;
    float heldProgress = -1.0f;  // >= 0: the progress the menu holds (a fade-in of its own)

private:
    std::string m_label;
    std::vector<std::string>* m_log;
};

// An item of a given size at a point (no font: the size is set by hand).
inline ZMenuItem* SizedItem(const float x, const float y, const float w = 100.0f, const float h = 40.0f,
                            const int32_t kind = ZMenuItem::kButton) {
    auto* item = new ZMenuItem();
    item->x = x;
    item->y = y;
    item->width = w;
    item->height = h;
    item->kind = kind;
    ZMenuItem::PlaceRect(x, y, w, h, 0, item->left, item->top);
    return item;
}

class MenuFixture : public inputtest::InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        game = MakeGame();
        game->SetLogging(false);
        game->m_fullscreen = false;
        game->m_widthWindowed = 640;
        game->m_heightWindowed = 480;
        game->UpdateScreenMetrics();
        game->CreateControls();
        game->SetUpDefaultControlBindings();
        StartDevices();
    }

    void TearDown() override {
        DestroyMenuMgr();
        ZBaseGame::DestroyInstance();
        InputFixture::TearDown();
    }

    // The base game of the test (the first made is the singleton).
    virtual CountingGame* MakeGame() { return new CountingGame(); }

    // The manager's transition step at the test's clock, after `seconds` more.
    void Transitions(const float seconds = 0.0f) {
        now += seconds;
        GetMenuMgr()->UpdateTransitions(now);
    }
    // One input frame: devices, controls, then the manager's input step.
    void InputFrame() {
        Frame();
        GetMenuMgr()->Update();
    }
    // Opens a recording menu and lets its opening transition finish.
    RecordingMenu* OpenAtRest(const char* name) {
        auto* menu = new RecordingMenu(name, &log);
        GetMenuMgr()->OpenMenu(menu);
        Transitions();
        Transitions(0.3f);
        return menu;
    }

    korvtest::TempDir documents;
    korvtest::EngineTestEnv env{documents.Path()};
    CountingGame* game = nullptr;
    std::vector<std::string> log;
    float now = 10.0f;
};

// The menu fixture with the engine's package, its strings and the menu font,
// as a run has them.
class EngineTextMenuFixture : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
        ZLocMgr* loc = ZLocMgr::GetInstance();
        loc->AddEngineStringFiles();
        AddLanguages(loc);
        loc->SetDefaultPath(false);
        font = std::make_unique<ZFont>();
        ASSERT_TRUE(font->Load("Font_Tahoma_8_256.uv"));
        game->menuFont = font.get();
    }
    void TearDown() override {
        DestroyMenuMgr();
        font.reset();
        ZLocMgr::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        MenuFixture::TearDown();
    }

    // Languages besides the engine's, added before the default path is chosen.
    virtual void AddLanguages(ZLocMgr* /*loc*/) {}

    std::unique_ptr<ZFont> font;
};

}  // namespace menutest
