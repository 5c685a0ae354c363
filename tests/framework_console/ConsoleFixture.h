#pragma once

// A base game with its engine variables and console commands registered, on
// fake input and window systems, with the user's documents folder in a
// temporary folder. Video changes and Exit are recorded instead of reaching a
// window. Keys are driven through the fake keyboard and the input handler's
// poll, as the main loop would.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZMenuMgr.h"
#include "platform/input/fake/FakeInputSystem.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "platform/window/keycodes.h"
#include "support/TempDir.h"
#include "support/ScanCodes.h"

namespace consoletest {

class TestGame : public ZBaseGame {
public:
    struct VideoCall {
        int32_t width, height;
        bool vsync, fullscreen, fullscreenWindowed, stretch;
        int32_t fxaa, tate;
    };

    void SetAllVideoOptions(int32_t width, int32_t height, bool vsync, bool fullscreen,
                            bool fullscreenWindowed, bool stretch, int32_t fxaa, int32_t tate) override {
        video.push_back({width, height, vsync, fullscreen, fullscreenWindowed, stretch, fxaa, tate});
    }
    void Exit() override { ++exits; }
    void PushPause(bool push) override { pauses.push_back(push); }

    std::vector<VideoCall> video;
    std::vector<bool> pauses;
    int exits = 0;
};

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DOCUMENTS_DIR", m_documents.Path().c_str(), 1);
        ClearConfigRegistry();
        ZLocMgr::DestroyInstance();
        auto input = std::make_unique<platform::input::FakeInputSystem>();
        keyboard = input.get();
        platform::input::SetInputSystem(std::move(input));
        auto window = std::make_unique<platform::window::FakeWindowSystem>();
        windows = window.get();
        platform::window::SetWindowSystem(std::move(window));
        handler = GetInputHandler();
        handler->BuildCharTable();
        handler->InitInputDevices(false);

        game = std::make_unique<TestGame>();
        ASSERT_EQ(ZBaseGame::PeekInstance(), game.get());
        game->SetLogging(false);
        game->m_primaryMonitorWidth = 1920;
        game->m_primaryMonitorHeight = 1080;
        game->registerConfigVars();
        game->SetLogging(false);
        game->RegisterConsoleCommands();
        game->video.clear();
    }

    void TearDown() override {
        game.reset();
        DestroyMenuMgr();
        DeleteInputHandler();
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
        ClearConfigRegistry();
        ZLocMgr::DestroyInstance();
        unsetenv("XDG_DOCUMENTS_DIR");
    }

    ZConsole& Console() { return game->GetConsole(); }

    // Runs a line as the console does and answers what it printed after its
    // echo ("> line"), which is checked too.
    std::vector<std::string> Run(const std::string& line) {
        Console().Clear();
        game->ExecuteConsoleLine(line.c_str());
        std::vector<std::string> lines;
        bool echoed = false;
        for (int i = 0; i < ZConsole::kLineCount; ++i) {
            const std::string text = Console().GetOutputLine(i);
            if (echoed) {
                lines.push_back(text);
            } else if (!text.empty()) {
                EXPECT_EQ(text, "> " + line);
                echoed = true;
            }
        }
        return lines;
    }

    // A file under the user's game folder ("Config/Config.ini").
    std::string GamePath(const std::string& relative) const {
        return m_documents.File("My Games/" + std::string(ZBaseGame::kEngineGameTitle) + "/" + relative);
    }

    // --- The keyboard ---
    // One frame: the window's messages (typed characters reach the console
    // through the game's window procedure, as in the main loop's pump), the
    // poll (with the frame's time), then the console's keys.
    void Frame(const float dt = 1.0f / 60.0f) {
        PumpWindowMessages();
        handler->PollDevices(dt, 0);
        Console().HandleKeys();
    }
    void PumpWindowMessages() {
        platform::window::Message message;
        while (windows->PeekMessage(message)) {
            windows->TranslateMessage(message);
            if (message.id == platform::window::WM_CHAR) {
                ZBaseGame::WndProc(message, game.get());
            }
        }
    }
    void Down(const uint8_t key) {
        keyboard->SetKey(key, true);
        windows->UserKey(key, true);
    }
    void Up(const uint8_t key) {
        keyboard->SetKey(key, false);
        windows->UserKey(key, false);
    }
    // Down for one frame, up for the next.
    void Tap(const uint8_t key) {
        Down(key);
        Frame();
        Up(key);
        Frame();
    }
    // Taps the keys of lower-case letters, digits, space, '-' and '.'.
    void Type(const std::string& text) {
        for (const char c : text) {
            Tap(ScanCodeOf(c));
        }
    }

    std::unique_ptr<TestGame> game;
    platform::input::FakeInputSystem* keyboard = nullptr;
    platform::window::FakeWindowSystem* windows = nullptr;
    ZInputHandler* handler = nullptr;

private:
    korvtest::TempDir m_documents;
};

}  // namespace consoletest
