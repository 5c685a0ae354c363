#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "platform/window/fake/FakeWindowSystem.h"

using namespace platform;
using namespace platform::window;

namespace {

constexpr uint32_t kWindowedStyle = 0x00CE0000;  // caption, system menu, sizing frame, minimize box
constexpr uint32_t kPopupStyle = 0x80080000;

// A window with a procedure that records every message and passes it on to the
// platform's default procedure, as the engine's does.
struct Harness {
    // A window whose client area is 640x480 at (108, 131).
    void Create(const uint32_t style = kWindowedStyle) {
        WindowCreateInfo info;
        info.title = "Test";
        info.style = style;
        Rect rect = {108, 131, 108 + 640, 131 + 480};
        WindowSystem::AdjustWindowRect(rect, style, false);
        info.x = rect.left;
        info.y = rect.top;
        info.width = rect.Width();
        info.height = rect.Height();
        info.proc = &Harness::Proc;
        info.user = this;
        ASSERT_TRUE(system.CreateMainWindow(info));
    }

    // The engine's loop: every waiting message is translated and dispatched.
    void Pump() {
        Message message;
        while (system.PeekMessage(message)) {
            system.TranslateMessage(message);
            system.DispatchMessage(message);
        }
    }

    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const Message& message : messages) ids.push_back(message.id);
        return ids;
    }

    static int64_t Proc(const Message& message, void* user) {
        auto* self = static_cast<Harness*>(user);
        self->messages.push_back(message);
        if (self->onMessage) self->onMessage(message);
        return self->system.DefWindowProc(message);
    }

    FakeWindowSystem system;
    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;
};

class FakeWindowTest : public testing::Test, public Harness {};

}  // namespace

TEST(WindowFrame, AdjustWindowRectPerStyle) {
    struct Case {
        uint32_t style;
        bool menu;
        Rect expected;
    };
    const Case cases[] = {
        {kPopupStyle, false, {0, 0, 100, 50}},
        {kWindowedStyle, false, {-8, -31, 108, 58}},
        {WS_OVERLAPPEDWINDOW, false, {-8, -31, 108, 58}},
        {WS_CAPTION | WS_SYSMENU, false, {-3, -26, 103, 53}},
        {kWindowedStyle, true, {-8, -51, 108, 58}},
    };
    for (const Case& c : cases) {
        Rect rect = {0, 0, 100, 50};
        WindowSystem::AdjustWindowRect(rect, c.style, c.menu);
        EXPECT_EQ(rect, c.expected) << "style 0x" << std::hex << c.style;
    }
}

TEST_F(FakeWindowTest, CreationSendsCreateAndPlacesTheClientInsideTheFrame) {
    Create();
    EXPECT_EQ(Ids(), std::vector<uint32_t>{WM_CREATE});
    EXPECT_EQ(system.GetClientRect(), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(system.ClientToScreen({0, 0}), (Point{108, 131}));
    // The window is the client area plus the frame: 1280x720 would be 1296x759.
    const Rect window = system.GetWindowRect();
    EXPECT_EQ(window.Width(), 656);
    EXPECT_EQ(window.Height(), 519);
    EXPECT_FALSE(system.IsWindowVisible());
}

TEST_F(FakeWindowTest, ShowingActivatesTheWindowOnce) {
    Create();
    messages.clear();
    EXPECT_FALSE(system.ShowWindow(SW_SHOWNORMAL));
    EXPECT_TRUE(system.ShowWindow(SW_SHOWNORMAL));
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(messages[1].kind, WA_ACTIVE);
    EXPECT_TRUE(system.HasKeyboardFocus());
}

TEST_F(FakeWindowTest, ActivationByClickAndDeactivation) {
    Create();
    system.UserActivate(true);
    system.UserDeactivate();
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_CREATE, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_ACTIVATE,
                                            WM_ACTIVATEAPP, WM_KILLFOCUS}));
    EXPECT_EQ(messages[1].kind, 1u);
    EXPECT_EQ(messages[2].kind, WA_CLICKACTIVE);
    EXPECT_EQ(messages[4].kind, WA_INACTIVE);
    EXPECT_EQ(messages[5].kind, 0u);
    EXPECT_FALSE(system.HasKeyboardFocus());
}

// Dragging the frame: the size changes between the enter and exit messages, so the
// procedure sees the old size on enter and the new one on exit.
TEST_F(FakeWindowTest, DraggingTheFrameSendsEnterSizeExit) {
    Create();
    std::vector<Rect> clientSeen;
    onMessage = [&](const Message& message) {
        if (message.id == WM_ENTERSIZEMOVE || message.id == WM_EXITSIZEMOVE)
            clientSeen.push_back(system.GetClientRect());
    };
    messages.clear();
    system.UserResize(800, 600);
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(messages[1].kind, SIZE_RESTORED);
    EXPECT_EQ(messages[1].width, 800);
    EXPECT_EQ(messages[1].height, 600);
    ASSERT_EQ(clientSeen.size(), 2u);
    EXPECT_EQ(clientSeen[0].Width(), 640);
    EXPECT_EQ(clientSeen[1].Width(), 800);

    // Moving by the title bar changes no size.
    messages.clear();
    system.UserMove(0, 0);
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_ENTERSIZEMOVE, WM_MOVE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(system.ClientToScreen({0, 0}), (Point{8, 31}));
}

TEST_F(FakeWindowTest, MoveWindowReportsOnlyWhatChanged) {
    Create();
    struct Case {
        Rect window;
        std::vector<uint32_t> expected;
    };
    const Rect start = system.GetWindowRect();
    const Case cases[] = {
        {start, {}},
        {{0, 0, start.Width(), start.Height()}, {WM_MOVE}},
        {{0, 0, 1296, 759}, {WM_SIZE}},
        {{10, 10, 10 + 656, 10 + 519}, {WM_MOVE, WM_SIZE}},
    };
    for (const Case& c : cases) {
        messages.clear();
        EXPECT_TRUE(
            system.MoveWindow(c.window.left, c.window.top, c.window.Width(), c.window.Height(), true));
        EXPECT_EQ(Ids(), c.expected);
        EXPECT_EQ(system.GetWindowRect(), c.window);
    }
}

// A size change made while the procedure handles WM_SIZE arrives inside that call, as
// the engine's reentrancy guard expects.
TEST_F(FakeWindowTest, SizeChangesFromTheProcedureAreSentReentrantly) {
    Create();
    int depth = 0;
    std::vector<int> depths;
    onMessage = [&](const Message& message) {
        if (message.id != WM_SIZE) return;
        depths.push_back(++depth);
        if (depth == 1) system.MoveWindow(0, 0, 1296, 759, true);
        --depth;
    };
    system.ShowWindow(SW_MAXIMIZE);
    EXPECT_EQ(depths, (std::vector<int>{1, 2}));
}

TEST_F(FakeWindowTest, MaximizeMinimizeRestore) {
    Create();
    struct Step {
        int command;
        uint32_t kind;
        int32_t width;
        int32_t height;
    };
    // The primary monitor is 1920x1080; a maximized window's caption stays on screen.
    const Step steps[] = {
        {SW_MAXIMIZE, SIZE_MAXIMIZED, 1920, 1057}, {SW_RESTORE, SIZE_RESTORED, 640, 480},
        {SW_MINIMIZE, SIZE_MINIMIZED, 0, 0},       {SW_RESTORE, SIZE_RESTORED, 640, 480},
        {SW_MAXIMIZE, SIZE_MAXIMIZED, 1920, 1057}, {SW_MINIMIZE, SIZE_MINIMIZED, 0, 0},
        {SW_RESTORE, SIZE_MAXIMIZED, 1920, 1057},
    };
    for (const Step& step : steps) {
        messages.clear();
        system.ShowWindow(step.command);
        const Message* size = nullptr;
        for (const Message& message : messages) {
            if (message.id == WM_SIZE) size = &message;
        }
        ASSERT_NE(size, nullptr) << "command " << step.command;
        EXPECT_EQ(size->kind, step.kind);
        EXPECT_EQ(size->width, step.width);
        EXPECT_EQ(size->height, step.height);
        EXPECT_EQ(system.IsMinimized(), step.kind == SIZE_MINIMIZED);
    }
}

TEST_F(FakeWindowTest, FullScreenModesAndRefusal) {
    Create(kPopupStyle);
    const DisplayMode mode = {1280, 720, 32, 60};
    EXPECT_TRUE(system.SetFullscreen(FullscreenMode::Exclusive, &mode));
    EXPECT_EQ(system.GetClientRect(), (Rect{0, 0, 1280, 720}));
    EXPECT_TRUE(system.SetFullscreen(FullscreenMode::Desktop, nullptr));
    EXPECT_EQ(system.GetClientRect(), (Rect{0, 0, 1920, 1080}));
    EXPECT_TRUE(system.SetFullscreen(FullscreenMode::Windowed, nullptr));
    EXPECT_EQ(system.GetClientRect(), (Rect{0, 0, 640, 480}));
    system.RefuseExclusive(true);
    EXPECT_FALSE(system.SetFullscreen(FullscreenMode::Exclusive, &mode));
    EXPECT_EQ(system.GetFullscreen(), FullscreenMode::Windowed);
}

// Keys as the engine sees them: key messages with virtual key and scan code, characters
// from TranslateMessage, and what the platform does with the system keys.
TEST(FakeWindowKeys, KeyMessageTranslation) {
    struct Press {
        uint8_t scan;
        bool down;
    };
    struct Expected {
        uint32_t id;
        uint32_t virtualKey;  // WM_CHAR: the character; WM_SYSCOMMAND: the command
        uint32_t scan;
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        std::vector<Expected> expected;
    };
    const Case cases[] = {
        {"letter",
         {{DIK_A, true}, {DIK_A, false}},
         {{WM_KEYDOWN, 'A', DIK_A}, {WM_CHAR, 'a', DIK_A}, {WM_KEYUP, 'A', DIK_A}}},
        {"shifted letter",
         {{DIK_LSHIFT, true}, {DIK_A, true}},
         {{WM_KEYDOWN, VK_SHIFT, DIK_LSHIFT}, {WM_KEYDOWN, 'A', DIK_A}, {WM_CHAR, 'A', DIK_A}}},
        {"keypad enter",
         {{DIK_NUMPADENTER, true}},
         {{WM_KEYDOWN, VK_RETURN, DIK_NUMPADENTER}, {WM_CHAR, '\r', DIK_NUMPADENTER}}},
        {"right control", {{DIK_RCONTROL, true}}, {{WM_KEYDOWN, VK_CONTROL, DIK_RCONTROL}}},
        {"alt alone opens the system menu",
         {{DIK_LMENU, true}, {DIK_LMENU, false}},
         {{WM_SYSKEYDOWN, VK_MENU, DIK_LMENU},
          {WM_SYSKEYUP, VK_MENU, DIK_LMENU},
          {WM_SYSCOMMAND, SC_KEYMENU, 0}}},
        {"alt with a key does not",
         {{DIK_LMENU, true}, {DIK_E, true}, {DIK_E, false}, {DIK_LMENU, false}},
         {{WM_SYSKEYDOWN, VK_MENU, DIK_LMENU},
          {WM_SYSKEYDOWN, 'E', DIK_E},
          {WM_SYSKEYUP, 'E', DIK_E},
          {WM_SYSKEYUP, VK_MENU, DIK_LMENU}}},
        {"alt+f4 closes",
         {{DIK_RMENU, true}, {DIK_F4, true}},
         {{WM_SYSKEYDOWN, VK_MENU, DIK_RMENU},
          {WM_SYSKEYDOWN, VK_F4, DIK_F4},
          {WM_SYSCOMMAND, SC_CLOSE, 0},
          {WM_CLOSE, 0, 0}}},
        {"ctrl+alt is no system key",
         {{DIK_LCONTROL, true}, {DIK_LMENU, true}, {DIK_A, true}},
         {{WM_KEYDOWN, VK_CONTROL, DIK_LCONTROL},
          {WM_KEYDOWN, VK_MENU, DIK_LMENU},
          {WM_KEYDOWN, 'A', DIK_A}}},
        {"f10 is a system key", {{DIK_F10, true}}, {{WM_SYSKEYDOWN, VK_F10, DIK_F10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness window;
        window.Create();
        window.messages.clear();
        for (const Press& press : c.presses) window.system.UserKey(press.scan, press.down);
        window.Pump();
        ASSERT_EQ(window.messages.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const Message& got = window.messages[i];
            const Expected& want = c.expected[i];
            EXPECT_EQ(got.id, want.id) << "message " << i;
            const uint32_t value = got.id == WM_CHAR         ? got.character
                                   : got.id == WM_SYSCOMMAND ? got.kind
                                                             : got.virtualKey;
            EXPECT_EQ(value, want.virtualKey) << "message " << i;
            EXPECT_EQ(got.scanCode, want.scan) << "message " << i;
        }
    }
}

TEST_F(FakeWindowTest, KeyStateFollowsKeysAndCapsLockToggles) {
    Create();
    system.UserKey(DIK_RSHIFT, true);
    EXPECT_LT(system.GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(system.GetKeyState(VK_RSHIFT), 0);
    EXPECT_EQ(system.GetKeyState(VK_LSHIFT), 0);
    system.UserKey(DIK_RSHIFT, false);
    EXPECT_EQ(system.GetKeyState(VK_SHIFT), 0);

    system.UserKey(DIK_CAPITAL, true);
    system.UserKey(DIK_CAPITAL, true);  // auto-repeat does not toggle again
    system.UserKey(DIK_CAPITAL, false);
    EXPECT_EQ(system.GetKeyState(VK_CAPITAL) & 1, 1);
    system.UserKey(DIK_CAPITAL, true);
    system.UserKey(DIK_CAPITAL, false);
    EXPECT_EQ(system.GetKeyState(VK_CAPITAL) & 1, 0);
}

TEST_F(FakeWindowTest, MouseMessagesCarryClientPositionAndWheelSteps) {
    Create();
    system.UserMouseMove(10, 20);
    system.UserMouseButton(1, true);
    system.UserWheel(-2);
    system.UserMouseButton(3, true);
    Pump();
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_CREATE, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_MOUSEWHEEL,
                                            WM_XBUTTONDOWN}));
    EXPECT_EQ(messages[1].x, 10);
    EXPECT_EQ(messages[1].y, 20);
    EXPECT_EQ(messages[2].buttons, MK_RBUTTON);
    EXPECT_EQ(messages[3].wheelDelta, -240);
    EXPECT_EQ(messages[4].kind, 1u);
    Point cursor;
    ASSERT_TRUE(system.GetCursorPos(cursor));
    EXPECT_EQ(cursor, (Point{118, 151}));
}

TEST_F(FakeWindowTest, QuitFollowsWhatWasPostedBefore) {
    Create();
    system.UserClose();
    system.PostQuitMessage(3);
    Message message;
    ASSERT_TRUE(system.PeekMessage(message));
    EXPECT_EQ(message.id, WM_CLOSE);
    ASSERT_TRUE(system.PeekMessage(message));
    EXPECT_EQ(message.id, WM_QUIT);
    EXPECT_EQ(message.kind, 3u);
    EXPECT_FALSE(system.PeekMessage(message));
}

// The display counter: the cursor shows while the count is 0 or more, so hiding twice
// needs showing twice.
TEST_F(FakeWindowTest, CursorCounterAndClip) {
    Create();
    EXPECT_EQ(system.ShowCursor(false), -1);
    EXPECT_EQ(system.ShowCursor(false), -2);
    EXPECT_FALSE(system.CursorVisible());
    EXPECT_EQ(system.ShowCursor(true), -1);
    EXPECT_FALSE(system.CursorVisible());
    EXPECT_EQ(system.ShowCursor(true), 0);
    EXPECT_TRUE(system.CursorVisible());

    system.SetCursorPos(5, 5);
    const Rect clip = {108, 131, 748, 611};
    EXPECT_TRUE(system.ClipCursor(&clip));
    Point cursor;
    system.GetCursorPos(cursor);
    EXPECT_EQ(cursor, (Point{108, 131}));
    system.SetCursorPos(2000, 2000);
    system.GetCursorPos(cursor);
    EXPECT_EQ(cursor, (Point{747, 610}));
    Rect got;
    ASSERT_TRUE(system.GetClipCursor(got));
    EXPECT_EQ(got, clip);
    EXPECT_TRUE(system.ClipCursor(nullptr));
    EXPECT_FALSE(system.GetClipCursor(got));
}

TEST(FakeWindowSystemTest, AClassNameIsRegisteredOnce) {
    FakeWindowSystem system;
    EXPECT_FALSE(system.IsWindowClassRegistered("Default ZORP Window Class"));
    EXPECT_TRUE(system.RegisterWindowClass("Default ZORP Window Class"));
    EXPECT_FALSE(system.RegisterWindowClass("Default ZORP Window Class"));
    EXPECT_TRUE(system.IsWindowClassRegistered("Default ZORP Window Class"));
}

TEST(FakeWindowSystemTest, Clipboard) {
    FakeWindowSystem system;
    EXPECT_EQ(system.GetClipboardText(), "");
    EXPECT_TRUE(system.SetClipboardText("abc\r\ndéf"));
    EXPECT_EQ(system.GetClipboardText(), "abc\r\ndéf");
    EXPECT_TRUE(system.SetClipboardText(""));
    EXPECT_EQ(system.GetClipboardText(), "");
    system.SetClipboardText("kept");
    system.SetClipboardBroken(true);
    EXPECT_EQ(system.GetClipboardText(), "");
    EXPECT_FALSE(system.SetClipboardText("lost"));
    system.SetClipboardBroken(false);
    EXPECT_EQ(system.GetClipboardText(), "kept");
}

TEST(FakeWindowSystemTest, DisplayModesEnumerateUntilFailure) {
    FakeWindowSystem system;
    system.SetDisplayModes({{800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 16, 60}});
    std::vector<DisplayMode> modes;
    DisplayMode mode;
    for (uint32_t i = 0; system.EnumDisplaySettings(i, mode); ++i) modes.push_back(mode);
    EXPECT_EQ(modes, (std::vector<DisplayMode>{{800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 16, 60}}));

    system.SetDesktopMode({2560, 1440, 32, 144});
    EXPECT_EQ(system.GetSystemMetrics(SM_CXSCREEN), 2560);
    EXPECT_EQ(system.GetSystemMetrics(SM_CYSCREEN), 1440);
    EXPECT_EQ(system.GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(system.GetMonitors().front(), (Rect{0, 0, 2560, 1440}));
}

TEST(FakeWindowSystemTest, DefaultDisplayModesAreOrderedAndIncludeTheDesktop) {
    FakeWindowSystem system;
    DisplayMode desktop;
    ASSERT_TRUE(system.GetDesktopDisplayMode(desktop));
    DisplayMode previous;
    DisplayMode mode;
    bool desktopListed = false;
    for (uint32_t i = 0; system.EnumDisplaySettings(i, mode); ++i) {
        const auto key = [](const DisplayMode& m) {
            return std::tuple(m.bitsPerPixel, m.width, m.height, m.refreshRate);
        };
        if (i > 0) {
            EXPECT_LT(key(previous), key(mode));
        }
        desktopListed |= mode == desktop;
        previous = mode;
    }
    EXPECT_TRUE(desktopListed);
}
