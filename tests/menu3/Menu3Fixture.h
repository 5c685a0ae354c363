#pragma once

// The settings pages on fake devices: the menu fixture with the engine's
// strings and font, the configuration variables registered, and keyboard
// helpers that drive both the input device and the window's key state (for
// Shift and Caps Lock), then run one frame of the menus.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "menu/MenuFixture.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "platform/window/keycodes.h"
#include "renderer/ZFont.h"
#include "support/ScanCodes.h"

namespace menu3test {

class Menu3Fixture : public menutest::MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        windows = dynamic_cast<platform::window::FakeWindowSystem*>(platform::window::GetWindowSystem());
        ASSERT_NE(windows, nullptr);
        game->registerConfigVars();
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
        ZLocMgr* loc = ZLocMgr::GetInstance();
        loc->AddEngineStringFiles();
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
        ClearConfigRegistry();
    }

    // Pages that re-read the input devices replace the handler.
    void Rehandle() { handler = GetInputHandler(); }

    // Opens a menu and lets its opening transition finish.
    template <typename Menu>
    Menu* Open(Menu* menu) {
        GetMenuMgr()->OpenMenu(menu);
        Rehandle();
        Settle();
        return menu;
    }
    void Settle() {
        Transitions();
        Transitions(0.3f);
        Rehandle();
    }
    void Send(const int32_t kind) {
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
        Rehandle();
    }
    // One frame of the game: devices, controls, menus' input step, transitions.
    void MenuFrame() {
        InputFrame();
        Transitions(1.0f / 60.0f);
        Rehandle();
    }

    void Down(const uint8_t key) {
        fake->SetKey(key, true);
        windows->UserKey(key, true);
    }
    void Up(const uint8_t key) {
        fake->SetKey(key, false);
        windows->UserKey(key, false);
    }
    void Tap(const uint8_t key) {
        Down(key);
        MenuFrame();
        Up(key);
        MenuFrame();
    }
    // Lower-case letters, digits and space.
    void Type(const std::string& text) {
        for (const char c : text) {
            Tap(ScanCodeOf(c));
        }
    }

    platform::window::FakeWindowSystem* windows = nullptr;
    std::unique_ptr<ZFont> font;
};

}  // namespace menu3test
