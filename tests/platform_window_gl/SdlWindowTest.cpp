// The SDL window system on SDL's offscreen driver (CTest sets SDL_VIDEODRIVER=offscreen):
// a real SDL window with OpenGL, fed with SDL events pushed by the test.

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/window/window.h"

using namespace platform;
using namespace platform::window;

namespace {

constexpr uint32_t kWindowedStyle = 0x00CE0000;

std::vector<std::string> gLogLines;

void RecordLine(const char* line) {
    gLogLines.push_back(line);
}

class SdlWindowTest : public testing::Test {
protected:
    void SetUp() override {
        m_system = CreateWindowSystem(Backend::Sdl);
        WindowCreateInfo info;
        info.title = "SDL window test";
        info.style = kWindowedStyle;
        Rect rect = {100, 100, 100 + 640, 100 + 480};
        WindowSystem::AdjustWindowRect(rect, kWindowedStyle, false);
        info.x = rect.left;
        info.y = rect.top;
        info.width = rect.Width();
        info.height = rect.Height();
        info.proc = &SdlWindowTest::Proc;
        info.user = this;
        ASSERT_TRUE(m_system->CreateMainWindow(info));
        m_system->ShowWindow(SW_SHOWNORMAL);
        Pump();
        m_messages.clear();
    }

    void TearDown() override { m_system.reset(); }

    static int64_t Proc(const Message& message, void* user) {
        auto* self = static_cast<SdlWindowTest*>(user);
        self->m_messages.push_back(message);
        return self->m_system->DefWindowProc(message);
    }

    void Pump() {
        Message message;
        while (m_system->PeekMessage(message)) {
            m_system->TranslateMessage(message);
            m_system->DispatchMessage(message);
        }
    }

    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const Message& message : m_messages) ids.push_back(message.id);
        return ids;
    }

    SDL_Window* Window() const { return static_cast<SDL_Window*>(m_system->NativeHandle()); }

    void PushWindowEvent(const Uint8 kind, const int data1 = 0, const int data2 = 0) {
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(Window());
        event.window.event = kind;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }

    void PushKey(const SDL_Scancode scancode, const bool down, const Uint16 mod = KMOD_NONE) {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = SDL_GetWindowID(Window());
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    std::unique_ptr<WindowSystem> m_system;
    std::vector<Message> m_messages;
};

}  // namespace

TEST_F(SdlWindowTest, TheWindowIsAnOpenGlWindowInsideItsFrame) {
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_OPENGL);
    EXPECT_EQ(m_system->GetClientRect(), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(m_system->ClientToScreen({0, 0}), (Point{100, 100}));
    EXPECT_EQ(m_system->GetWindowRect(), (Rect{92, 69, 748, 588}));
    EXPECT_TRUE(m_system->IsWindowVisible());
    // Nobody can take the focus from a window without a display.
    EXPECT_TRUE(m_system->HasKeyboardFocus());
}

// Our own size change is reported at once; SDL's later notice of it is not a second one.
TEST_F(SdlWindowTest, MoveWindowReportsEachChangeOnce) {
    EXPECT_TRUE(m_system->MoveWindow(0, 0, 816, 639, true));
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_MOVE, WM_SIZE}));
    EXPECT_EQ(m_messages[1].kind, SIZE_RESTORED);
    EXPECT_EQ(m_messages[1].width, 800);
    EXPECT_EQ(m_messages[1].height, 600);
    m_messages.clear();
    Pump();
    EXPECT_EQ(Ids(), std::vector<uint32_t>{});
    EXPECT_EQ(m_system->ClientToScreen({0, 0}), (Point{8, 31}));
}

// The user dragging the frame: SDL tells only that a resize ended.
TEST_F(SdlWindowTest, AFinishedResizeIsASizeMove) {
    SDL_SetWindowSize(Window(), 1024, 700);
    PushWindowEvent(SDL_WINDOWEVENT_RESIZED, 1024, 700);
    Pump();
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(m_messages[1].width, 1024);
    EXPECT_EQ(m_messages[1].height, 700);
}

TEST_F(SdlWindowTest, MaximizeAndRestoreOnAHeadlessDisplay) {
    m_system->ShowWindow(SW_MAXIMIZE);
    ASSERT_EQ(Ids(), (std::vector<uint32_t>{WM_MOVE, WM_SIZE}));
    EXPECT_EQ(m_messages[1].kind, SIZE_MAXIMIZED);
    EXPECT_EQ(m_messages[1].width, 1920);
    EXPECT_EQ(m_messages[1].height, 1057);
    EXPECT_TRUE(m_system->IsMaximized());
    m_messages.clear();
    m_system->ShowWindow(SW_RESTORE);
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back().kind, SIZE_RESTORED);
    EXPECT_EQ(m_messages.back().width, 640);
    EXPECT_EQ(m_messages.back().height, 480);
    m_messages.clear();
    m_system->ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(m_system->IsMinimized());
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_SIZE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
    EXPECT_EQ(m_messages[0].kind, SIZE_MINIMIZED);
}

TEST_F(SdlWindowTest, FocusEventsBecomeActivation) {
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_ACTIVATEAPP,
                                            WM_ACTIVATE, WM_SETFOCUS, WM_CLOSE}));
    EXPECT_EQ(m_messages[0].kind, WA_INACTIVE);
    EXPECT_EQ(m_messages[4].kind, WA_ACTIVE);
}

TEST_F(SdlWindowTest, KeysBecomeKeyMessagesWithScanCodes) {
    PushKey(SDL_SCANCODE_A, true);
    PushKey(SDL_SCANCODE_KP_ENTER, true);
    PushKey(SDL_SCANCODE_RCTRL, true, KMOD_RCTRL);
    PushKey(SDL_SCANCODE_LALT, true, KMOD_LALT);
    PushKey(SDL_SCANCODE_LALT, false);
    Pump();
    struct Expected {
        uint32_t id;
        uint32_t value;  // virtual key, character or system command
        uint32_t scan;
    };
    const Expected expected[] = {
        {WM_KEYDOWN, 'A', DIK_A},
        {WM_KEYDOWN, VK_RETURN, DIK_NUMPADENTER},
        {WM_CHAR, '\r', DIK_NUMPADENTER},
        {WM_KEYDOWN, VK_CONTROL, DIK_RCONTROL},
        {WM_SYSKEYDOWN, VK_MENU, DIK_LMENU},
        {WM_SYSKEYUP, VK_MENU, DIK_LMENU},
        {WM_SYSCOMMAND, SC_KEYMENU, 0},
    };
    ASSERT_EQ(m_messages.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Message& got = m_messages[i];
        EXPECT_EQ(got.id, expected[i].id) << i;
        const uint32_t value =
            got.id == WM_CHAR ? got.character : (got.id == WM_SYSCOMMAND ? got.kind : got.virtualKey);
        EXPECT_EQ(value, expected[i].value) << i;
        EXPECT_EQ(got.scanCode, expected[i].scan) << i;
    }
}

TEST_F(SdlWindowTest, TextBecomesUtf16Characters) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = SDL_GetWindowID(Window());
    SDL_strlcpy(event.text.text, "a\xC3\xA9\xF0\x9F\x98\x80\xFFz", sizeof(event.text.text));
    SDL_PushEvent(&event);
    Pump();
    std::vector<char16_t> units;
    for (const Message& message : m_messages) {
        EXPECT_EQ(message.id, WM_CHAR);
        units.push_back(message.character);
    }
    // The stray 0xFF byte is dropped.
    EXPECT_EQ(units, (std::vector<char16_t>{u'a', 0x00E9, 0xD83D, 0xDE00, u'z'}));
}

TEST_F(SdlWindowTest, WheelAndButtons) {
    SDL_Event event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = SDL_GetWindowID(Window());
    event.wheel.y = -2;
    event.wheel.preciseY = -2.0f;
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = SDL_GetWindowID(Window());
    event.button.button = SDL_BUTTON_X2;
    event.button.state = SDL_PRESSED;
    event.button.x = 12;
    event.button.y = 34;
    SDL_PushEvent(&event);
    Pump();
    ASSERT_EQ(Ids(), (std::vector<uint32_t>{WM_MOUSEWHEEL, WM_XBUTTONDOWN}));
    EXPECT_EQ(m_messages[0].wheelDelta, -240);
    EXPECT_EQ(m_messages[1].kind, 2u);
    EXPECT_EQ(m_messages[1].x, 12);
    EXPECT_EQ(m_messages[1].y, 34);
}

TEST_F(SdlWindowTest, QuitAsksLikeTheCloseButton) {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    Pump();
    EXPECT_EQ(Ids(), std::vector<uint32_t>{WM_CLOSE});
    EXPECT_TRUE(m_system->HasWindow());
}

TEST_F(SdlWindowTest, ClipboardRoundTrip) {
    EXPECT_TRUE(m_system->SetClipboardText("abc\r\ndéf"));
    EXPECT_EQ(m_system->GetClipboardText(), "abc\r\ndéf");
}

TEST_F(SdlWindowTest, CursorClipAndPosition) {
    const Rect clip = {110, 120, 300, 400};
    EXPECT_TRUE(m_system->ClipCursor(&clip));
    const SDL_Rect* applied = SDL_GetWindowMouseRect(Window());
    ASSERT_NE(applied, nullptr);
    EXPECT_EQ(applied->x, 10);
    EXPECT_EQ(applied->y, 20);
    EXPECT_EQ(applied->w, 190);
    EXPECT_EQ(applied->h, 280);
    Rect got;
    ASSERT_TRUE(m_system->GetClipCursor(got));
    EXPECT_EQ(got, clip);
    EXPECT_TRUE(m_system->ClipCursor(nullptr));
    EXPECT_EQ(SDL_GetWindowMouseRect(Window()), nullptr);

    EXPECT_TRUE(m_system->SetCursorPos(150, 160));
    Point cursor;
    ASSERT_TRUE(m_system->GetCursorPos(cursor));
    EXPECT_EQ(cursor, (Point{150, 160}));
}

TEST_F(SdlWindowTest, KeyStateReadsModifiers) {
    SDL_SetModState(KMOD_CAPS);
    EXPECT_EQ(m_system->GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_GE(m_system->GetKeyState(VK_SHIFT), 0);
    SDL_SetModState(KMOD_LSHIFT);
    EXPECT_LT(m_system->GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(m_system->GetKeyState(VK_CAPITAL) & 1, 0);
    SDL_SetModState(KMOD_NONE);
}

// The offscreen display reports no size; the program sees a common desktop instead of 0x0.
TEST_F(SdlWindowTest, DisplayModesOnAHeadlessDisplay) {
    DisplayMode desktop;
    ASSERT_TRUE(m_system->GetDesktopDisplayMode(desktop));
    EXPECT_EQ(desktop, (DisplayMode{1920, 1080, 32, 60}));
    EXPECT_EQ(m_system->GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(m_system->GetSystemMetrics(SM_CYSCREEN), 1080);
    DisplayMode mode;
    uint32_t count = 0;
    bool desktopListed = false;
    for (; m_system->EnumDisplaySettings(count, mode); ++count) {
        EXPECT_GT(mode.width, 0u);
        EXPECT_EQ(mode.bitsPerPixel, 32u);
        desktopListed |= mode == desktop;
    }
    EXPECT_GT(count, 1u);
    EXPECT_TRUE(desktopListed);
}

TEST_F(SdlWindowTest, ExclusiveFullScreenTakesTheModeSize) {
    const DisplayMode mode = {1280, 720, 32, 60};
    EXPECT_TRUE(m_system->SetFullscreen(FullscreenMode::Exclusive, &mode));
    EXPECT_EQ(m_system->GetClientRect(), (Rect{0, 0, 1280, 720}));
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back().id, WM_SIZE);
    EXPECT_TRUE(m_system->SetFullscreen(FullscreenMode::Windowed, nullptr));
    EXPECT_EQ(m_system->GetClientRect(), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(m_system->ClientToScreen({0, 0}), (Point{100, 100}));
}

TEST_F(SdlWindowTest, MessageBoxesDoNotBlockWithoutADisplay) {
    gLogLines.clear();
    SetLogHook(&RecordLine);
    EXPECT_EQ(m_system->MessageBox("Dev Error", "Dev Error: Bad stream usage hint.", MB_ICONERROR), IDOK);
    EXPECT_EQ(m_system->MessageBox("Map", "Go on?", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    SetLogHook(nullptr);
    ASSERT_EQ(gLogLines.size(), 2u);
    EXPECT_EQ(gLogLines[0], "Message box \"Dev Error\" answered OK: Dev Error: Bad stream usage hint.");
}
