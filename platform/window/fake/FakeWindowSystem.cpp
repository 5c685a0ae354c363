#include "platform/window/fake/FakeWindowSystem.h"

#include <algorithm>

#include "platform/window/KeyLayout.h"

namespace platform::window {

namespace {

constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;

Rect FrameInsets(const uint32_t style, const uint32_t exStyle) {
    Rect frame;
    WindowSystem::AdjustWindowRect(frame, style, false, exStyle);
    return frame;
}

}  // namespace

FakeWindowSystem::FakeWindowSystem() {
    // A desktop like a common one: 1920x1080, modes at 16 and 32 bits, two refresh rates
    // for the largest size.
    for (const uint32_t bpp : {16u, 32u}) {
        for (const auto& size : {std::pair{640u, 480u},
                                 {800u, 600u},
                                 {1024u, 768u},
                                 {1280u, 720u},
                                 {1280u, 1024u},
                                 {1920u, 1080u}}) {
            m_modes.push_back({size.first, size.second, bpp, 60});
            if (size.first == 1920) m_modes.push_back({size.first, size.second, bpp, 144});
        }
    }
    m_desktop = {1920, 1080, 32, 60};
    m_monitors = {{0, 0, 1920, 1080}};
}

// ---------------------------------------------------------------------------------
// The window

bool FakeWindowSystem::CreateMainWindow(const WindowCreateInfo& info) {
    if (m_exists) return false;
    m_exists = true;
    m_style = info.style;
    m_exStyle = info.exStyle;
    m_title = info.title;
    SetProc(info.proc, info.user);

    const Rect frame = FrameInsets(m_style, m_exStyle);
    const int32_t width = std::max(0, (info.width > 0 ? info.width : kDefaultWidth) - frame.Width());
    const int32_t height = std::max(0, (info.height > 0 ? info.height : kDefaultHeight) - frame.Height());
    const int32_t x = info.x == CW_USEDEFAULT ? 100 : info.x - frame.left;
    const int32_t y = info.y == CW_USEDEFAULT ? 100 : info.y - frame.top;
    m_client = {x, y, x + width, y + height};
    m_restoredClient = m_client;

    SendSimple(WM_CREATE, 0);
    if (m_style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return true;
}

void FakeWindowSystem::DestroyMainWindow() {
    if (!m_exists) return;
    SendSimple(WM_DESTROY, 0);
    m_exists = m_visible = m_minimized = m_maximized = m_focused = false;
    m_hasClip = false;
    SetProc(nullptr, nullptr);
}

bool FakeWindowSystem::ShowWindow(const int command) {
    const bool wasVisible = m_visible;
    if (!m_exists) return false;
    switch (command) {
        case SW_HIDE:
            m_visible = false;
            if (m_focused) UserDeactivate();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            m_visible = true;
            if (!m_minimized) {
                m_minimized = true;
                SendSize(SIZE_MINIMIZED);
            }
            if (m_focused) UserDeactivate();
            break;
        case SW_MAXIMIZE:
            m_visible = true;
            if (!m_focused) UserActivate(false);
            if (m_minimized || !m_maximized) {
                if (!m_maximized) m_restoredClient = m_client;
                m_minimized = false;
                m_maximized = true;
                Rect screen = m_monitors.empty() ? Rect{0, 0, 0, 0} : m_monitors.front();
                if ((m_style & WS_CAPTION) == WS_CAPTION) screen.top += 23;
                m_client = screen;
                SendSize(SIZE_MAXIMIZED);
            }
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            m_visible = true;
            if (!m_focused) UserActivate(false);
            if (m_minimized) {
                m_minimized = false;
                SendSize(m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
            } else if (m_maximized) {
                m_maximized = false;
                m_client = m_restoredClient;
                SendSize(SIZE_RESTORED);
            }
            break;
        default:  // SW_SHOW and the rest
            m_visible = true;
            if (!m_focused) UserActivate(false);
            break;
    }
    return wasVisible;
}

void FakeWindowSystem::SetStyle(const uint32_t style, const uint32_t exStyle) {
    m_style = style;
    m_exStyle = exStyle;
}

Rect FakeWindowSystem::ClientScreenRect() const {
    return m_minimized ? Rect{} : m_client;
}

Rect FakeWindowSystem::GetWindowRect() const {
    Rect rect = m_client;
    AdjustWindowRect(rect, m_style, false, m_exStyle);
    return rect;
}

Rect FakeWindowSystem::GetClientRect() const {
    const Rect client = ClientScreenRect();
    return {0, 0, client.Width(), client.Height()};
}

Point FakeWindowSystem::ClientToScreen(const Point client) const {
    return {client.x + m_client.left, client.y + m_client.top};
}

Point FakeWindowSystem::ScreenToClient(const Point screen) const {
    return {screen.x - m_client.left, screen.y - m_client.top};
}

void FakeWindowSystem::SetClientScreenRect(const Rect& client) {
    const Rect old = m_client;
    m_client = client;
    if (old.left != client.left || old.top != client.top) {
        Message move;
        move.id = WM_MOVE;
        move.x = client.left;
        move.y = client.top;
        SendMessage(move);
    }
    if (old.Width() != client.Width() || old.Height() != client.Height())
        SendSize(m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

bool FakeWindowSystem::MoveWindow(const int32_t x, const int32_t y, const int32_t width, const int32_t height,
                                  bool) {
    if (!m_exists) return false;
    const Rect frame = FrameInsets(m_style, m_exStyle);
    const int32_t clientWidth = std::max(0, width - frame.Width());
    const int32_t clientHeight = std::max(0, height - frame.Height());
    const Rect client = {x - frame.left, y - frame.top, x - frame.left + clientWidth,
                         y - frame.top + clientHeight};
    if (!m_maximized && m_fullscreen == FullscreenMode::Windowed) m_restoredClient = client;
    SetClientScreenRect(client);
    return true;
}

bool FakeWindowSystem::SetFullscreen(const FullscreenMode mode, const DisplayMode* displayMode) {
    if (!m_exists) return false;
    if (mode == m_fullscreen && mode != FullscreenMode::Exclusive) return true;
    if (mode == FullscreenMode::Exclusive && m_refuseExclusive) return false;
    if (m_fullscreen == FullscreenMode::Windowed) m_restoredClient = m_client;
    m_fullscreen = mode;
    const Rect monitor = m_monitors.empty() ? Rect{} : m_monitors.front();
    switch (mode) {
        case FullscreenMode::Windowed:
            SetClientScreenRect(m_restoredClient);
            break;
        case FullscreenMode::Desktop:
            SetClientScreenRect(monitor);
            break;
        case FullscreenMode::Exclusive: {
            const int32_t width = displayMode ? static_cast<int32_t>(displayMode->width) : m_client.Width();
            const int32_t height =
                displayMode ? static_cast<int32_t>(displayMode->height) : m_client.Height();
            SetClientScreenRect({monitor.left, monitor.top, monitor.left + width, monitor.top + height});
            break;
        }
    }
    return true;
}

void FakeWindowSystem::SetForegroundWindow() {
    if (m_exists && !m_focused) UserActivate(false);
}

void FakeWindowSystem::SetFocus() {
    if (m_exists && !m_focused) UserActivate(false);
}

// ---------------------------------------------------------------------------------
// The user

void FakeWindowSystem::SendSimple(const uint32_t id, const uint32_t kind) {
    Message message;
    message.id = id;
    message.kind = kind;
    SendMessage(message);
}

void FakeWindowSystem::SendSize(const uint32_t kind) {
    Message size;
    size.id = WM_SIZE;
    size.kind = kind;
    const Rect client = GetClientRect();
    size.width = client.Width();
    size.height = client.Height();
    SendMessage(size);
}

void FakeWindowSystem::UserActivate(const bool byClick) {
    if (!m_exists) return;
    m_focused = true;
    SendSimple(WM_ACTIVATEAPP, 1);
    SendSimple(WM_ACTIVATE, byClick ? WA_CLICKACTIVE : WA_ACTIVE);
    SendSimple(WM_SETFOCUS, 0);
}

void FakeWindowSystem::UserDeactivate() {
    if (!m_exists) return;
    m_focused = false;
    SendSimple(WM_ACTIVATE, WA_INACTIVE);
    SendSimple(WM_ACTIVATEAPP, 0);
    SendSimple(WM_KILLFOCUS, 0);
}

void FakeWindowSystem::UserResize(const int32_t clientWidth, const int32_t clientHeight) {
    if (!m_exists) return;
    SendSimple(WM_ENTERSIZEMOVE, 0);
    m_maximized = false;
    const Rect client = {m_client.left, m_client.top, m_client.left + clientWidth,
                         m_client.top + clientHeight};
    m_restoredClient = client;
    SetClientScreenRect(client);
    SendSimple(WM_EXITSIZEMOVE, 0);
}

void FakeWindowSystem::UserMove(const int32_t windowX, const int32_t windowY) {
    if (!m_exists) return;
    SendSimple(WM_ENTERSIZEMOVE, 0);
    const Rect frame = FrameInsets(m_style, m_exStyle);
    const int32_t left = windowX - frame.left;
    const int32_t top = windowY - frame.top;
    SetClientScreenRect({left, top, left + m_client.Width(), top + m_client.Height()});
    if (!m_maximized) m_restoredClient = m_client;
    SendSimple(WM_EXITSIZEMOVE, 0);
}

void FakeWindowSystem::UserClose() {
    Message close;
    close.id = WM_CLOSE;
    PostMessage(close);
}

void FakeWindowSystem::UserKey(const uint8_t scanCode, const bool down) {
    const uint32_t sided = LayoutVirtualKey(scanCode);
    if (sided == 0) return;
    const uint32_t vk = GenericVirtualKey(sided);
    const bool altBefore = (m_keys[VK_MENU] & 0x80) != 0;
    const bool wasDown = (m_keys[sided] & 0x80) != 0;

    m_keys[sided] = static_cast<uint8_t>((m_keys[sided] & 0x01) | (down ? 0x80 : 0));
    if (vk == VK_CAPITAL && down && !wasDown) m_keys[VK_CAPITAL] ^= 0x01;
    if (vk != sided) {
        const auto pair = [&](uint32_t left, uint32_t right) {
            m_keys[vk] = static_cast<uint8_t>(((m_keys[left] | m_keys[right]) & 0x80));
        };
        if (vk == VK_SHIFT) pair(VK_LSHIFT, VK_RSHIFT);
        if (vk == VK_CONTROL) pair(VK_LCONTROL, VK_RCONTROL);
        if (vk == VK_MENU) pair(VK_LMENU, VK_RMENU);
    }
    const bool alt = (m_keys[VK_MENU] & 0x80) != 0;
    const bool ctrl = (m_keys[VK_CONTROL] & 0x80) != 0;

    Message key;
    key.virtualKey = vk;
    key.scanCode = scanCode;
    key.repeat = down && wasDown;
    key.altDown = alt;
    // Alt without Ctrl makes a system key, as does F10; releasing Alt is one too.
    const bool system = vk == VK_F10 || (down ? (alt && !ctrl) : ((altBefore || vk == VK_MENU) && !ctrl));
    key.id = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostMessage(key);
}

uint32_t FakeWindowSystem::MouseButtons() const {
    uint32_t flags = 0;
    if (m_keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
    if (m_keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
    if (m_keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
    if (m_keys[VK_XBUTTON1] & 0x80) flags |= MK_XBUTTON1;
    if (m_keys[VK_XBUTTON2] & 0x80) flags |= MK_XBUTTON2;
    if (m_keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (m_keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

void FakeWindowSystem::UserMouseMove(const int32_t clientX, const int32_t clientY) {
    SetCursorPos(clientX + m_client.left, clientY + m_client.top);
    Message move;
    move.id = WM_MOUSEMOVE;
    const Point client = ScreenToClient(m_cursor);
    move.x = client.x;
    move.y = client.y;
    move.buttons = MouseButtons();
    PostMessage(move);
}

void FakeWindowSystem::UserMouseButton(const int button, const bool down) {
    struct ButtonInfo {
        uint32_t vk;
        uint32_t downId;
        uint32_t upId;
        uint32_t kind;
    };
    static constexpr ButtonInfo kButtons[] = {
        {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, 0},  {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, 0},
        {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, 0},  {VK_XBUTTON1, WM_XBUTTONDOWN, WM_XBUTTONUP, 1},
        {VK_XBUTTON2, WM_XBUTTONDOWN, WM_XBUTTONUP, 2},
    };
    if (button < 0 || button >= 5) return;
    const ButtonInfo& info = kButtons[button];
    m_keys[info.vk] = down ? 0x80 : 0;
    Message message;
    message.id = down ? info.downId : info.upId;
    message.kind = info.kind;
    const Point client = ScreenToClient(m_cursor);
    message.x = client.x;
    message.y = client.y;
    message.buttons = MouseButtons();
    PostMessage(message);
}

void FakeWindowSystem::UserWheel(const int32_t notches) {
    Message wheel;
    wheel.id = WM_MOUSEWHEEL;
    wheel.wheelDelta = notches * WHEEL_DELTA;
    const Point client = ScreenToClient(m_cursor);
    wheel.x = client.x;
    wheel.y = client.y;
    wheel.buttons = MouseButtons();
    PostMessage(wheel);
}

void FakeWindowSystem::UserDeviceChange(const uint32_t kind) {
    Message change;
    change.id = WM_DEVICECHANGE;
    change.kind = kind;
    PostMessage(change);
}

// ---------------------------------------------------------------------------------
// Cursor, clipboard, boxes

bool FakeWindowSystem::ClipCursor(const Rect* screenRect) {
    m_hasClip = screenRect != nullptr;
    if (m_hasClip) {
        m_clip = *screenRect;
        SetCursorPos(m_cursor.x, m_cursor.y);
    }
    return true;
}

bool FakeWindowSystem::GetClipCursor(Rect& out) const {
    if (!m_hasClip) return false;
    out = m_clip;
    return true;
}

bool FakeWindowSystem::GetCursorPos(Point& out) const {
    out = m_cursor;
    return true;
}

bool FakeWindowSystem::SetCursorPos(int32_t x, int32_t y) {
    if (m_hasClip && m_clip.Width() > 0 && m_clip.Height() > 0) {
        x = std::clamp(x, m_clip.left, m_clip.right - 1);
        y = std::clamp(y, m_clip.top, m_clip.bottom - 1);
    }
    m_cursor = {x, y};
    return true;
}

std::string FakeWindowSystem::GetClipboardText() {
    return m_clipboardBroken ? std::string() : m_clipboard;
}

bool FakeWindowSystem::SetClipboardText(const std::string& text) {
    if (m_clipboardBroken) return false;
    m_clipboard = text;
    return true;
}

int FakeWindowSystem::MessageBox(const std::string& caption, const std::string& text, const uint32_t flags) {
    int answer = DefaultAnswer(flags);
    if (!m_boxAnswers.empty()) {
        answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
    }
    m_boxes.push_back({caption, text, flags, answer});
    WriteMessageBoxLine(caption, text, answer);
    return answer;
}

// ---------------------------------------------------------------------------------
// Display and keyboard

bool FakeWindowSystem::EnumDisplaySettings(const uint32_t index, DisplayMode& out) const {
    if (index >= m_modes.size()) return false;
    out = m_modes[index];
    return true;
}

bool FakeWindowSystem::GetDesktopDisplayMode(DisplayMode& out) const {
    out = m_desktop;
    return true;
}

void FakeWindowSystem::SetDesktopMode(const DisplayMode& mode) {
    m_desktop = mode;
    if (!m_monitors.empty()) {
        Rect& primary = m_monitors.front();
        primary.right = primary.left + static_cast<int32_t>(mode.width);
        primary.bottom = primary.top + static_cast<int32_t>(mode.height);
    }
}

int16_t FakeWindowSystem::GetKeyState(const uint32_t virtualKey) const {
    if (virtualKey > 0xFF) return 0;
    const uint8_t state = m_keys[virtualKey];
    return static_cast<int16_t>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

}  // namespace platform::window
