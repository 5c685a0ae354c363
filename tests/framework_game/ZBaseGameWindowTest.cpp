// The window procedure, pause, exit, activation, the cursor and the video
// options, on a game whose window was made and shown but that runs no loop.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "GameHarness.h"
#include "foundation/ZLog.h"
#include "framework/ZWindow.h"
#include "input/ZControlMgr.h"
#include "input/ZInputBinding.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "platform/input/fake/FakeInputSystem.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "renderer/ZFXAAFilter.h"
#include "renderer/ZRenderer.h"

namespace gametest {
namespace {

using namespace platform::window;

class WindowGame : public TestGame {
public:
    struct VideoCall {
        int32_t width;
        int32_t height;
        bool fullscreen;
    };

    void SetAllVideoOptions(int32_t width, int32_t height, bool vsync, bool fullscreen, bool fullscreenWindowed,
                            bool stretch, int32_t fxaa, int32_t tate) override {
        videoCalls.push_back({width, height, fullscreen});
        ZBaseGame::SetAllVideoOptions(width, height, vsync, fullscreen, fullscreenWindowed, stretch, fxaa, tate);
    }
    void SetPaused(bool paused) override {
        pauseCalls.push_back(paused);
        ZBaseGame::SetPaused(paused);
    }

    std::vector<VideoCall> videoCalls;
    std::vector<bool> pauseCalls;
};

// A 1280x720 window on a 1920x1080 monitor, shown and active.
class ZBaseGameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ZLog::DestroyInstance();  // the log follows this test's user folder
        auto window = std::make_unique<FakeWindowSystem>();
        m_window = window.get();
        SetWindowSystem(std::move(window));
        auto input = std::make_unique<platform::input::FakeInputSystem>();
        m_input = input.get();
        platform::input::SetInputSystem(std::move(input));
        GetControlMgr()->SetActiveDeviceClass(ZDeviceClass::KeyboardMouse);

        m_game = std::make_unique<WindowGame>();
        WindowGame& game = *m_game;
        game.m_primaryMonitorWidth = 1920;
        game.m_primaryMonitorHeight = 1080;
        game.m_widthWindowed = 1280;
        game.m_heightWindowed = 720;
        game.m_widthFullscreen = 1920;
        game.m_heightFullscreen = 1080;
        game.m_pixelSize = 1.0f;
        game.UpdateScreenMetrics();
        game.setupWindow();
        game.postinit();
        game.videoCalls.clear();
        game.pauseCalls.clear();
    }

    void TearDown() override {
        m_game.reset();
        DestroyRenderer();
        DestroyMenuMgr();
        DestroyCinematicMgr();
        DeleteInputHandler();  // its devices belong to this test's input system
        platform::input::SetInputSystem(nullptr);
        SetWindowSystem(nullptr);
        ZLog::DestroyInstance();
    }

    Rect ClientOnScreen() const {
        const Rect client = m_window->GetClientRect();
        const Point origin = m_window->ClientToScreen(Point{0, 0});
        return Rect{origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()};
    }

    UserFolder m_user;
    FakeWindowSystem* m_window = nullptr;
    platform::input::FakeInputSystem* m_input = nullptr;
    std::unique_ptr<WindowGame> m_game;
};

TEST_F(ZBaseGameWindow, StartsWindowedCentredAndShown) {
    EXPECT_TRUE(m_window->IsWindowVisible());
    EXPECT_TRUE(m_game->IsWindowShown());
    const Rect client = ClientOnScreen();
    EXPECT_EQ(client, (Rect{320, 180, 1600, 900}));
    EXPECT_EQ(m_window->GetStyle() & 0x00CE0000u, 0x00CE0000u);
    EXPECT_EQ(m_window->Title(), ZBaseGame::kEngineGameTitle);
}

// Alt alone must not enter the system menu.
TEST_F(ZBaseGameWindow, SystemMenuKeyIsAnsweredWithZero) {
    Message keyMenu;
    keyMenu.id = WM_SYSCOMMAND;
    keyMenu.kind = SC_KEYMENU;
    EXPECT_EQ(m_window->SendMessage(keyMenu), 0);
}

TEST_F(ZBaseGameWindow, CloseButtonAsksToQuitAndKeepsTheWindow) {
    m_window->UserClose();
    Message message;
    ASSERT_TRUE(m_window->PeekMessage(message));
    EXPECT_EQ(message.id, WM_CLOSE);
    m_window->DispatchMessage(message);
    EXPECT_TRUE(m_window->HasWindow());
    ASSERT_TRUE(m_window->PeekMessage(message));
    EXPECT_EQ(message.id, WM_QUIT);
    EXPECT_FALSE(ZBaseGame::IsExiting());
}

// The pump turns the quit message into Exit, once, and answers stop.
TEST_F(ZBaseGameWindow, QuitRequestEndsThePumpThroughExit) {
    m_game->RequestQuit();
    m_game->RequestQuit();
    EXPECT_FALSE(m_game->PumpMessages());
    EXPECT_TRUE(ZBaseGame::IsExiting());
    EXPECT_FALSE(m_window->IsWindowVisible());
    EXPECT_FALSE(m_game->IsWindowShown());
    EXPECT_FALSE(m_game->PumpMessages());
    const std::vector<UserFolder::LogLine> log = m_user.ReadLog();
    EXPECT_EQ(CountLines(log, "Exiting"), 1);
}

// Dragging the frame resets the video options once, at the end of the drag;
// a move that keeps the size does not.
TEST_F(ZBaseGameWindow, FrameDragResetsOnceAtTheEnd) {
    m_window->UserResize(1000, 600);
    ASSERT_EQ(m_game->videoCalls.size(), 1u);
    EXPECT_EQ(m_game->videoCalls[0].width, 1000);
    EXPECT_EQ(m_game->videoCalls[0].height, 600);
    EXPECT_EQ(m_game->m_widthWindowed, 1000);
    EXPECT_EQ(m_game->GetRenderWidth(), 1000);

    m_window->UserMove(50, 60);
    EXPECT_EQ(m_game->videoCalls.size(), 1u);
}

// Maximizing resets once; the reset restores the window, whose new size
// message is not allowed to start a second reset inside the first.
TEST_F(ZBaseGameWindow, MaximizeResetsOnceAndSuppressesTheReentrantReset) {
    m_window->UserMaximize();
    EXPECT_EQ(m_game->videoCalls.size(), 1u);
    EXPECT_EQ(CountLines(m_user.ReadLog(), "Suppressing reentrant renderer reset."), 1);
    EXPECT_EQ(CountLines(m_user.ReadLog(), "This window was maximized. Client area is "), 1);
}

TEST_F(ZBaseGameWindow, RestoringAWindowThatWasNeverMaximizedOnlyLogs) {
    m_window->UserMinimize();
    m_window->UserRestore();
    EXPECT_TRUE(m_game->videoCalls.empty());
    EXPECT_EQ(CountLines(m_user.ReadLog(), "This window was minimized. Client area is "), 1);
}

TEST_F(ZBaseGameWindow, ActivationClipsTheCursorUnlessTheFrameWasClicked) {
    struct Case {
        const char* name;
        bool byClick;
        Point cursor;  // screen position at activation
        bool clipped;
    };
    const Rect client = ClientOnScreen();
    const Case cases[] = {
        {"activated by keyboard", false, {0, 0}, true},
        {"click in the client area", true, {client.left + 10, client.top + 10}, true},
        {"click on the title bar", true, {client.left + 10, client.top - 5}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_window->UserDeactivate();
        Rect clip;
        EXPECT_FALSE(m_window->GetClipCursor(clip)) << "deactivation frees the cursor";
        EXPECT_FALSE(m_input->XInputEnabled());
        m_window->SetCursorPos(c.cursor.x, c.cursor.y);
        m_window->UserActivate(c.byClick);
        ASSERT_EQ(m_window->GetClipCursor(clip), c.clipped);
        if (c.clipped) {
            EXPECT_EQ(clip, client);
        }
    }
}

// Pause requests nest: the first push pauses, the pop of the last unpauses,
// a pop with none left does nothing.
TEST_F(ZBaseGameWindow, PushPauseNests) {
    m_game->PushPause(true);
    m_game->PushPause(true);
    m_game->PushPause(false);
    EXPECT_EQ(m_game->pauseCalls, std::vector<bool>{true});
    m_game->PushPause(false);
    m_game->PushPause(false);
    EXPECT_EQ(m_game->pauseCalls, (std::vector<bool>{true, false}));
}

// An open menu frees the cursor for the mouse, but not for a pad player.
TEST_F(ZBaseGameWindow, CursorIsFreedOnlyForKeyboardAndMouse) {
    struct Case {
        int32_t deviceClass;
        bool free;
    };
    const Case cases[] = {{ZDeviceClass::KeyboardMouse, true}, {ZDeviceClass::XInputPad, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deviceClass);
        GetControlMgr()->SetActiveDeviceClass(c.deviceClass);
        GetMenuMgr()->OpenMenu(m_game->CreatePauseMenu());
        ASSERT_TRUE(m_game->IsGamePaused());
        m_game->UpdateCursorState();
        EXPECT_EQ(m_game->IsCursorFree(), c.free);
        Rect clip;
        EXPECT_EQ(m_window->GetClipCursor(clip), !c.free);

        GetMenuMgr()->CloseAll();
        GetMenuMgr()->UpdateTransitions(0.0f);
        m_game->UpdateCursorState();
        EXPECT_FALSE(m_game->IsCursorFree());
    }
}

TEST_F(ZBaseGameWindow, VideoOptionsAreStoredWithinTheirLimits) {
    struct Case {
        const char* name;
        int32_t width, height;
        bool fullscreen;
        int32_t fxaa;
        // Expected.
        bool storedFullscreen;
        int32_t storedFxaa;
        int32_t windowedWidth, fullscreenWidth;
    };
    const Case cases[] = {
        {"FXAA above 4", 1024, 768, false, 7, false, 4, 1024, 1920},
        {"FXAA below 0", 1024, 768, false, -1, false, 0, 1024, 1920},
        {"the monitor's own size turns full screen on", 1920, 1080, false, 2, true, 2, 1280, 1920},
        {"a size of 0 is refused", 0, 768, false, 1, false, 1, 1280, 1920},
        {"a size beyond the display is refused", 2147483647, 2, false, 1, false, 1, 1280, 1920},
        {"a full-screen size beyond the display is refused", 3840, 2160, true, 1, true, 1, 1280, 1920},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_game->m_widthWindowed = 1280;
        m_game->m_heightWindowed = 720;
        m_game->SetAllVideoOptions(c.width, c.height, true, c.fullscreen, false, false, c.fxaa, 0);
        EXPECT_EQ(m_game->m_fullscreen, c.storedFullscreen);
        EXPECT_EQ(m_game->m_fxaa, c.storedFxaa);
        EXPECT_EQ(m_game->m_widthWindowed, c.windowedWidth);
        EXPECT_EQ(m_game->m_widthFullscreen, c.fullscreenWidth);
        ASSERT_NE(m_game->GetFXAAFilter(), nullptr);
        EXPECT_EQ(m_game->GetFXAAFilter()->GetLevel(), c.storedFxaa);
        EXPECT_GE(m_game->GetRenderWidth(), 1);
        EXPECT_GE(m_game->GetRenderHeight(), 1);
    }
}

// A refused exclusive full screen falls back to a window.
TEST_F(ZBaseGameWindow, RefusedExclusiveFullscreenRevertsToWindowed) {
    GetRenderer()->UseSystem(gfx::fake::CreateSystem(std::make_shared<gfx::fake::State>()));
    m_game->initSubSystems();  // starts the device and registers the reset notifications
    ASSERT_TRUE(GetRenderer()->hasDevice);
    m_window->RefuseExclusive(true);
    m_game->m_fullscreen = true;
    m_game->m_fullscreenWindowed = false;
    m_game->ResetRenderer();
    EXPECT_FALSE(m_game->m_fullscreen);
    EXPECT_EQ(m_window->GetFullscreen(), FullscreenMode::Windowed);
    const std::vector<UserFolder::LogLine> log = m_user.ReadLog();
    EXPECT_TRUE(LinesInOrder(log, {"#### ZBaseGame::OnPreResetRenderer", "#### ZBaseGame::OnPostResetRenderer",
                                   "Exclusive fullscreen was rejected. Reverting to logical windowed."}));
}

// A lost device is reset instead of drawn.
TEST_F(ZBaseGameWindow, LostDeviceIsResetInsteadOfDrawn) {
    const auto device = std::make_shared<gfx::fake::State>();
    GetRenderer()->UseSystem(gfx::fake::CreateSystem(device));
    m_game->initSubSystems();
    device->script.losePresent = device->presents + 1;
    m_game->Render();  // its present loses the device
    ASSERT_TRUE(GetRenderer()->deviceLost);
    EXPECT_EQ(CountLines(m_user.ReadLog(), "#### ZBaseGame::OnLostDevice"), 1);
    device->deviceState = gfx::fake::DeviceState::NotReset;
    m_game->Render();
    EXPECT_FALSE(GetRenderer()->deviceLost);
    EXPECT_EQ(CountLines(m_user.ReadLog(), "### Resetting due to inability to render due to lost device"), 1);
}

TEST_F(ZBaseGameWindow, BorderlessMeansTheDesktopOrAWindowOfItsSize) {
    struct Case {
        bool fullscreen, windowed;
        int32_t width, height;
        bool borderless;
    };
    const Case cases[] = {
        {true, true, 1280, 720, true},    // full screen in a window
        {true, false, 1920, 1080, false},  // exclusive
        {false, false, 1920, 1080, true},  // a window as large as the monitor
        {false, false, 1280, 720, false},
    };
    for (const Case& c : cases) {
        m_game->m_fullscreen = c.fullscreen;
        m_game->m_fullscreenWindowed = c.windowed;
        m_game->m_widthWindowed = m_game->m_widthFullscreen = c.width;
        m_game->m_heightWindowed = m_game->m_heightFullscreen = c.height;
        m_game->UpdateScreenMetrics();
        EXPECT_EQ(m_game->IsBorderless(), c.borderless) << c.fullscreen << c.windowed << " " << c.width;
    }
}

}  // namespace
}  // namespace gametest
