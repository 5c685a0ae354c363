#include "platform/window/sdl/SdlWindowSystem.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/window/KeyLayout.h"
#include "platform/window/sdl/SdlShared.h"

namespace platform::window {

namespace {

// A headless driver's display is made up (none at first, a small one once a window
// exists); the program sees one steady, common desktop instead.
constexpr DisplayMode kHeadlessDesktop = {1920, 1080, 32, 60};

std::string SdlError(const char* what) {
    return std::string(what) + " failed: " + SDL_GetError();
}

Rect FrameInsets(const uint32_t style, const uint32_t exStyle) {
    Rect frame;
    WindowSystem::AdjustWindowRect(frame, style, false, exStyle);
    return frame;
}

// Appends the UTF-16 units of UTF-8 text; malformed bytes are skipped.
void Utf8ToUtf16(const char* text, std::vector<char16_t>& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (s[i] != 0) {
        const unsigned char lead = s[i];
        uint32_t cp = 0;
        size_t length = 0;
        if (lead < 0x80) {
            cp = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            length = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            length = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            length = 4;
        } else {
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) break;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (k != length || cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            ++i;
            continue;
        }
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
}

std::string WithoutCarriageReturns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

class SdlWindowSystem final : public WindowSystem {
public:
    SdlWindowSystem();
    ~SdlWindowSystem() override;

    bool CreateMainWindow(const WindowCreateInfo& info) override;
    void DestroyMainWindow() override;
    bool HasWindow() const override { return m_window != nullptr; }
    void* NativeHandle() const override { return m_window; }
    bool ShowWindow(int command) override;
    bool IsWindowVisible() const override { return m_window != nullptr && m_visible; }
    bool IsMinimized() const override { return m_window != nullptr && m_minimized; }
    bool IsMaximized() const override { return m_window != nullptr && m_maximized && !m_minimized; }
    uint32_t GetStyle() const override { return m_style; }
    uint32_t GetExStyle() const override { return m_exStyle; }
    void SetStyle(uint32_t style, uint32_t exStyle) override;
    void SetTitle(const std::string& title) override;
    void SetTopmost(bool topmost) override;
    Rect GetWindowRect() const override;
    Rect GetClientRect() const override;
    Point ClientToScreen(Point client) const override;
    Point ScreenToClient(Point screen) const override;
    bool MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) override;
    bool SetFullscreen(FullscreenMode mode, const DisplayMode* displayMode) override;
    FullscreenMode GetFullscreen() const override { return m_fullscreen; }
    void SetForegroundWindow() override;
    void SetFocus() override;
    bool HasKeyboardFocus() const override;
    void TranslateMessage(const Message&) override {}  // characters come from text input
    bool ClipCursor(const Rect* screenRect) override;
    bool GetClipCursor(Rect& out) const override;
    bool GetCursorPos(Point& out) const override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    std::string GetClipboardText() override;
    bool SetClipboardText(const std::string& text) override;
    int MessageBox(const std::string& caption, const std::string& text, uint32_t flags) override;
    bool EnumDisplaySettings(uint32_t index, DisplayMode& out) const override;
    bool GetDesktopDisplayMode(DisplayMode& out) const override;
    std::vector<Rect> GetMonitors() const override;
    int16_t GetKeyState(uint32_t virtualKey) const override;
    uint32_t GetKeyboardLayout() const override { return 0x04090409; }

protected:
    void PumpEvents() override;
    uint32_t LayoutVirtualKey(uint8_t scanCode) const override;
    uint8_t LayoutScanCode(uint32_t virtualKey) const override;
    void ApplyCursorVisible(bool visible) override;

private:
    void Translate(const SDL_Event& event, bool& sizeCheck, bool& userSizing);
    void TranslateKey(const SDL_KeyboardEvent& key);
    void TranslateButton(const SDL_MouseButtonEvent& button);
    // Reports what changed in the window's state since the procedure last heard, sending
    // (our own changes) or posting (changes the system made).
    void SyncWindowState(bool send, bool userSizing);
    void Deliver(const Message& message, bool send);
    void DeliverSimple(uint32_t id, uint32_t kind, bool send);
    void Activate(bool byClick, bool send);
    void Deactivate(bool send);
    Rect ClientScreenRect() const;
    void PlaceClient(const Rect& client);
    Rect PrimaryMonitor() const;
    uint32_t MouseFlags(uint32_t sdlButtons) const;
    void RefreshKeymap() const;

    bool m_videoReady = false;
    bool m_headless = false;
    bool m_displayLostTold = false;
    SDL_Window* m_window = nullptr;
    uint32_t m_windowId = 0;
    uint32_t m_style = 0;
    uint32_t m_exStyle = 0;
    bool m_visible = false;
    bool m_minimized = false;
    bool m_maximized = false;
    bool m_focused = false;
    FullscreenMode m_fullscreen = FullscreenMode::Windowed;
    Rect m_restoredClient;
    // What the procedure was last told.
    uint32_t m_lastSizeKind = SIZE_RESTORED;
    int32_t m_lastWidth = 0;
    int32_t m_lastHeight = 0;
    Point m_lastPos;
    bool m_hasClip = false;
    Rect m_clip;
    mutable bool m_keymapDirty = true;
    mutable uint32_t m_vkAtScan[256] = {};
    mutable std::vector<DisplayMode> m_modes;
};

SdlWindowSystem::SdlWindowSystem() {
    // Closing the window asks the program to quit (WM_CLOSE); SDL must not add its own quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        WriteLog(SdlError("SDL_InitSubSystem(SDL_INIT_VIDEO)"));
        return;
    }
    m_videoReady = true;
    m_headless = sdl::HeadlessVideo();
}

SdlWindowSystem::~SdlWindowSystem() {
    // Too late to tell the procedure: its owner may be half gone.
    SetProc(nullptr, nullptr);
    DestroyMainWindow();
    // Closing the video subsystem destroys what windows are left through the
    // display's connection; a lost one would keep it waiting for ever.
    if (sdl::DisplayLost()) return;
    if (m_videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last SDL user frees SDL's own state.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

// ---------------------------------------------------------------------------------
// The window

bool SdlWindowSystem::CreateMainWindow(const WindowCreateInfo& info) {
    if (!m_videoReady || m_window != nullptr) return false;
    m_style = info.style;
    m_exStyle = info.exStyle;

    // The graphics device draws through OpenGL 3.3 core into this window; the pixel
    // format must be chosen before the window exists.
    platform::sdl::RequestGlWindowFormat();

    const Rect frame = FrameInsets(m_style, m_exStyle);
    const int32_t width = std::max(1, (info.width > 0 ? info.width : 640) - frame.Width());
    const int32_t height = std::max(1, (info.height > 0 ? info.height : 480) - frame.Height());
    const int x = info.x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : info.x - frame.left;
    const int y = info.y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : info.y - frame.top;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (m_style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((m_style & WS_POPUP) && !(m_style & (WS_CAPTION | WS_THICKFRAME))) flags |= SDL_WINDOW_BORDERLESS;

    m_window = SDL_CreateWindow(info.title.c_str(), x, y, width, height, flags);
    if (m_window == nullptr) {
        WriteLog(SdlError("SDL_CreateWindow"));
        return false;
    }
    m_windowId = SDL_GetWindowID(m_window);
    // Typed text (WM_CHAR) comes from text input; SDL starts it with the video
    // system on most desktops, but nothing may be typed without it.
    if (!SDL_IsTextInputActive()) SDL_StartTextInput();
    SetProc(info.proc, info.user);
    m_visible = m_minimized = m_maximized = m_focused = false;
    m_fullscreen = FullscreenMode::Windowed;
    m_restoredClient = ClientScreenRect();
    m_lastSizeKind = SIZE_RESTORED;
    m_lastWidth = m_restoredClient.Width();
    m_lastHeight = m_restoredClient.Height();
    m_lastPos = {m_restoredClient.left, m_restoredClient.top};

    sdl::WatchDisplayConnection(m_window);

    DeliverSimple(WM_CREATE, 0, true);
    if (m_style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return true;
}

void SdlWindowSystem::DestroyMainWindow() {
    if (m_window == nullptr) return;
    DeliverSimple(WM_DESTROY, 0, true);
    // A window on a lost display is left to the end of the process: hiding it
    // would wait for the display's answer for ever.
    if (!sdl::DisplayLost()) {
        SDL_SetWindowMouseRect(m_window, nullptr);
        SDL_DestroyWindow(m_window);
    }
    m_window = nullptr;
    m_windowId = 0;
    m_hasClip = false;
    SetProc(nullptr, nullptr);
}

bool SdlWindowSystem::ShowWindow(const int command) {
    // Showing or hiding a window on a lost display waits for its answer for ever.
    if (m_window == nullptr || sdl::DisplayLost()) return false;
    const bool wasVisible = m_visible;
    switch (command) {
        case SW_HIDE:
            SDL_HideWindow(m_window);
            m_visible = false;
            if (m_headless && m_focused) Deactivate(true);
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_ShowWindow(m_window);
            m_visible = true;
            if (m_headless) {
                m_minimized = true;
            } else {
                SDL_MinimizeWindow(m_window);
            }
            SyncWindowState(true, false);
            if (m_headless && m_focused) Deactivate(true);
            return wasVisible;
        case SW_MAXIMIZE:
            SDL_ShowWindow(m_window);
            m_visible = true;
            if (m_headless) {
                if (!m_focused) Activate(false, true);
                if (!m_maximized || m_minimized) {
                    if (!m_maximized) m_restoredClient = ClientScreenRect();
                    m_minimized = false;
                    m_maximized = true;
                    Rect screen = PrimaryMonitor();
                    if ((m_style & WS_CAPTION) == WS_CAPTION) screen.top += 23;
                    PlaceClient(screen);
                }
            } else {
                SDL_MaximizeWindow(m_window);
            }
            SyncWindowState(true, false);
            return wasVisible;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            SDL_ShowWindow(m_window);
            m_visible = true;
            if (m_headless) {
                if (!m_focused) Activate(false, true);
                if (m_minimized) {
                    m_minimized = false;
                } else if (m_maximized) {
                    m_maximized = false;
                    PlaceClient(m_restoredClient);
                }
            } else if (SDL_GetWindowFlags(m_window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) {
                SDL_RestoreWindow(m_window);
            }
            SyncWindowState(true, false);
            return wasVisible;
        default:
            SDL_ShowWindow(m_window);
            m_visible = true;
            if (m_headless && !m_focused) Activate(false, true);
            return wasVisible;
    }
}

void SdlWindowSystem::SetStyle(const uint32_t style, const uint32_t exStyle) {
    m_style = style;
    m_exStyle = exStyle;
    if (m_window == nullptr) return;
    const bool framed = !(style & WS_POPUP) || (style & (WS_CAPTION | WS_THICKFRAME));
    SDL_SetWindowBordered(m_window, framed ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(m_window, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
}

void SdlWindowSystem::SetTitle(const std::string& title) {
    if (m_window != nullptr) SDL_SetWindowTitle(m_window, title.c_str());
}

void SdlWindowSystem::SetTopmost(const bool topmost) {
    if (m_window != nullptr) SDL_SetWindowAlwaysOnTop(m_window, topmost ? SDL_TRUE : SDL_FALSE);
}

Rect SdlWindowSystem::ClientScreenRect() const {
    if (m_window == nullptr) return {};
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    SDL_GetWindowPosition(m_window, &x, &y);
    SDL_GetWindowSize(m_window, &w, &h);
    return {x, y, x + w, y + h};
}

void SdlWindowSystem::PlaceClient(const Rect& client) {
    SDL_SetWindowPosition(m_window, client.left, client.top);
    SDL_SetWindowSize(m_window, std::max(1, client.Width()), std::max(1, client.Height()));
}

Rect SdlWindowSystem::GetWindowRect() const {
    Rect rect = ClientScreenRect();
    AdjustWindowRect(rect, m_style, false, m_exStyle);
    return rect;
}

Rect SdlWindowSystem::GetClientRect() const {
    if (m_window == nullptr || m_minimized) return {};
    const Rect client = ClientScreenRect();
    return {0, 0, client.Width(), client.Height()};
}

Point SdlWindowSystem::ClientToScreen(const Point client) const {
    const Rect rect = ClientScreenRect();
    return {client.x + rect.left, client.y + rect.top};
}

Point SdlWindowSystem::ScreenToClient(const Point screen) const {
    const Rect rect = ClientScreenRect();
    return {screen.x - rect.left, screen.y - rect.top};
}

bool SdlWindowSystem::MoveWindow(const int32_t x, const int32_t y, const int32_t width, const int32_t height,
                                 bool) {
    if (m_window == nullptr) return false;
    const Rect frame = FrameInsets(m_style, m_exStyle);
    const int32_t left = x - frame.left;
    const int32_t top = y - frame.top;
    const Rect client = {left, top, left + std::max(0, width - frame.Width()),
                         top + std::max(0, height - frame.Height())};
    PlaceClient(client);
    if (!m_maximized && m_fullscreen == FullscreenMode::Windowed) m_restoredClient = ClientScreenRect();
    SyncWindowState(true, false);
    return true;
}

bool SdlWindowSystem::SetFullscreen(const FullscreenMode mode, const DisplayMode* displayMode) {
    if (m_window == nullptr) return false;
    if (mode == m_fullscreen && mode != FullscreenMode::Exclusive) return true;
    if (m_fullscreen == FullscreenMode::Windowed) m_restoredClient = ClientScreenRect();
    const Rect current = ClientScreenRect();
    const int width = displayMode ? static_cast<int>(displayMode->width) : current.Width();
    const int height = displayMode ? static_cast<int>(displayMode->height) : current.Height();

    if (m_headless) {
        // Nothing to switch: the window takes the size the mode would give it.
        const Rect monitor = PrimaryMonitor();
        switch (mode) {
            case FullscreenMode::Windowed:
                PlaceClient(m_restoredClient);
                break;
            case FullscreenMode::Desktop:
                PlaceClient(monitor);
                break;
            case FullscreenMode::Exclusive:
                PlaceClient({monitor.left, monitor.top, monitor.left + width, monitor.top + height});
                break;
        }
    } else {
        switch (mode) {
            case FullscreenMode::Windowed:
                if (SDL_SetWindowFullscreen(m_window, 0) != 0) {
                    WriteLog(SdlError("SDL_SetWindowFullscreen(windowed)"));
                    return false;
                }
                PlaceClient(m_restoredClient);
                break;
            case FullscreenMode::Desktop:
                if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
                    WriteLog(SdlError("SDL_SetWindowFullscreen(desktop)"));
                    return false;
                }
                break;
            case FullscreenMode::Exclusive: {
                SDL_DisplayMode wanted = {};
                wanted.w = width;
                wanted.h = height;
                wanted.refresh_rate = displayMode ? static_cast<int>(displayMode->refreshRate) : 0;
                SDL_DisplayMode closest = {};
                const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
                // A mode of another size is no mode: the back buffer would not fit it.
                if (SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr || closest.w != width ||
                    closest.h != height || SDL_SetWindowDisplayMode(m_window, &closest) != 0 ||
                    SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) != 0) {
                    WriteLog("Exclusive full screen at " + std::to_string(width) + "x" +
                             std::to_string(height) + " refused: " + SDL_GetError());
                    return false;
                }
                break;
            }
        }
    }
    m_fullscreen = mode;
    SyncWindowState(true, false);
    return true;
}

void SdlWindowSystem::SetForegroundWindow() {
    if (m_window == nullptr) return;
    if (m_headless) {
        if (!m_focused) Activate(false, true);
        return;
    }
    SDL_RaiseWindow(m_window);
}

void SdlWindowSystem::SetFocus() {
    if (m_window == nullptr) return;
    if (m_headless) {
        if (!m_focused) Activate(false, true);
        return;
    }
    SDL_SetWindowInputFocus(m_window);
}

bool SdlWindowSystem::HasKeyboardFocus() const {
    if (m_window == nullptr) return false;
    return m_headless ? m_focused : SDL_GetKeyboardFocus() == m_window;
}

// ---------------------------------------------------------------------------------
// Messages

void SdlWindowSystem::Deliver(const Message& message, const bool send) {
    if (send) {
        SendMessage(message);
    } else {
        PostMessage(message);
    }
}

void SdlWindowSystem::DeliverSimple(const uint32_t id, const uint32_t kind, const bool send) {
    Message message;
    message.id = id;
    message.kind = kind;
    Deliver(message, send);
}

void SdlWindowSystem::Activate(const bool byClick, const bool send) {
    m_focused = true;
    DeliverSimple(WM_ACTIVATEAPP, 1, send);
    DeliverSimple(WM_ACTIVATE, byClick ? WA_CLICKACTIVE : WA_ACTIVE, send);
    DeliverSimple(WM_SETFOCUS, 0, send);
}

void SdlWindowSystem::Deactivate(const bool send) {
    m_focused = false;
    DeliverSimple(WM_ACTIVATE, WA_INACTIVE, send);
    DeliverSimple(WM_ACTIVATEAPP, 0, send);
    DeliverSimple(WM_KILLFOCUS, 0, send);
}

void SdlWindowSystem::SyncWindowState(const bool send, const bool userSizing) {
    if (m_window == nullptr) return;
    if (!m_headless) {
        const Uint32 flags = SDL_GetWindowFlags(m_window);
        m_minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
        m_maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    }
    const uint32_t kind = m_minimized ? SIZE_MINIMIZED : (m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
    const Rect client = GetClientRect();
    const Rect screen = ClientScreenRect();

    if (userSizing) DeliverSimple(WM_ENTERSIZEMOVE, 0, send);
    if (!m_minimized && (screen.left != m_lastPos.x || screen.top != m_lastPos.y)) {
        m_lastPos = {screen.left, screen.top};
        Message move;
        move.id = WM_MOVE;
        move.x = screen.left;
        move.y = screen.top;
        Deliver(move, send);
    }
    if (kind != m_lastSizeKind || client.Width() != m_lastWidth || client.Height() != m_lastHeight) {
        m_lastSizeKind = kind;
        m_lastWidth = client.Width();
        m_lastHeight = client.Height();
        Message size;
        size.id = WM_SIZE;
        size.kind = kind;
        size.width = m_lastWidth;
        size.height = m_lastHeight;
        Deliver(size, send);
    }
    if (userSizing) DeliverSimple(WM_EXITSIZEMOVE, 0, send);
}

void SdlWindowSystem::PumpEvents() {
    if (!m_videoReady) return;
    SDL_PumpEvents();
    if (sdl::DisplayLost() && !m_displayLostTold) {
        // The display went away (its server stopped): nobody can see or
        // answer the game any more, so it ends as if the window were closed.
        m_displayLostTold = true;
        const char* const line = "The connection to the display was lost; the game closes";
        WriteLog(line);
        std::fprintf(stderr, "%s\n", line);
        DeliverSimple(WM_CLOSE, 0, false);
    }
    bool sizeCheck = false;
    bool userSizing = false;
    SDL_Event events[64];
    for (;;) {
        const int count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (count <= 0) break;
        for (int i = 0; i < count; ++i) Translate(events[i], sizeCheck, userSizing);
    }
    // Size and position changes of one batch are reported once, after it.
    if (sizeCheck) SyncWindowState(false, userSizing);
}

void SdlWindowSystem::Translate(const SDL_Event& event, bool& sizeCheck, bool& userSizing) {
    Message message;
    switch (event.type) {
        case SDL_QUIT:  // a signal or the session ending: ask like the close button does
            DeliverSimple(WM_CLOSE, 0, false);
            break;
        case SDL_WINDOWEVENT: {
            const SDL_WindowEvent& window = event.window;
            if (m_window == nullptr || window.windowID != m_windowId) break;
            switch (window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_RESTORED:
                    sizeCheck = true;
                    break;
                case SDL_WINDOWEVENT_RESIZED:
                    // A size we did not ask for: the user dragged the frame.
                    sizeCheck = true;
                    if (window.data1 != m_lastWidth || window.data2 != m_lastHeight) userSizing = true;
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    sizeCheck = true;
                    if (window.data1 != m_lastPos.x || window.data2 != m_lastPos.y) userSizing = true;
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    // SDL does not say how the window was activated; a held button means a click.
                    if (!m_focused) Activate(SDL_GetGlobalMouseState(nullptr, nullptr) != 0, false);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    if (m_focused) Deactivate(false);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    DeliverSimple(WM_CLOSE, 0, false);
                    break;
                default:
                    break;
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event.key);
            break;
        case SDL_TEXTINPUT: {
            std::vector<char16_t> units;
            Utf8ToUtf16(event.text.text, units);
            for (const char16_t unit : units) {
                message = Message();
                message.id = WM_CHAR;
                message.character = unit;
                PostMessage(message);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            message.id = WM_MOUSEMOVE;
            message.x = event.motion.x;
            message.y = event.motion.y;
            message.buttons = MouseFlags(event.motion.state);
            PostMessage(message);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            TranslateButton(event.button);
            break;
        case SDL_MOUSEWHEEL: {
            const float sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
            int x = 0;
            int y = 0;
            const Uint32 buttons = SDL_GetMouseState(&x, &y);
            const auto wheel = [&](const uint32_t id, const float amount) {
                const auto delta = static_cast<int32_t>(std::lround(amount * sign * WHEEL_DELTA));
                if (delta == 0) return;
                Message turn;
                turn.id = id;
                turn.wheelDelta = delta;
                turn.x = x;
                turn.y = y;
                turn.buttons = MouseFlags(buttons);
                PostMessage(turn);
            };
            wheel(WM_MOUSEWHEEL, event.wheel.preciseY);
            wheel(WM_MOUSEHWHEEL, event.wheel.preciseX);
            break;
        }
        case SDL_JOYDEVICEADDED:
            DeliverSimple(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, false);
            break;
        case SDL_JOYDEVICEREMOVED:
            DeliverSimple(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, false);
            break;
        case SDL_KEYMAPCHANGED:
            m_keymapDirty = true;
            break;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            SDL_free(event.drop.file);
            break;
        default:
            break;
    }
}

void SdlWindowSystem::TranslateKey(const SDL_KeyboardEvent& key) {
    const uint8_t scan = sdl::DikFromScancode(key.keysym.scancode);
    const uint32_t vk = scan != 0 ? GenericVirtualKey(LayoutVirtualKey(scan)) : 0;
    if (vk == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0 || (down && vk == VK_MENU);
    // Alt without Ctrl makes a system key, as does F10; releasing Alt is one too.
    const bool system = vk == VK_F10 || (down ? (alt && !ctrl) : ((alt || vk == VK_MENU) && !ctrl));

    Message message;
    message.id = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    message.virtualKey = vk;
    message.scanCode = scan;
    message.repeat = key.repeat != 0;
    message.altDown = alt;
    PostMessage(message);

    // Text input carries printable characters only; the control characters the system's
    // translation makes from keys follow the key message.
    if (!down || alt) return;
    char16_t control = 0;
    switch (vk) {
        case VK_BACK:
            control = 8;
            break;
        case VK_TAB:
            control = '\t';
            break;
        case VK_RETURN:
            control = '\r';
            break;
        case VK_ESCAPE:
            control = 27;
            break;
        default:
            if (ctrl && vk >= 'A' && vk <= 'Z') control = static_cast<char16_t>(vk - 'A' + 1);
            break;
    }
    if (control != 0) {
        Message ch;
        ch.id = WM_CHAR;
        ch.character = control;
        ch.scanCode = scan;
        ch.repeat = message.repeat;
        PostMessage(ch);
    }
}

void SdlWindowSystem::TranslateButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    Message message;
    switch (button.button) {
        case SDL_BUTTON_LEFT:
            message.id = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case SDL_BUTTON_RIGHT:
            message.id = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case SDL_BUTTON_MIDDLE:
            message.id = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        case SDL_BUTTON_X1:
        case SDL_BUTTON_X2:
            message.id = down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
            message.kind = button.button == SDL_BUTTON_X1 ? 1 : 2;
            break;
        default:
            return;
    }
    message.x = button.x;
    message.y = button.y;
    message.buttons = MouseFlags(SDL_GetMouseState(nullptr, nullptr));
    PostMessage(message);
}

uint32_t SdlWindowSystem::MouseFlags(const uint32_t sdlButtons) const {
    uint32_t flags = 0;
    if (sdlButtons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (sdlButtons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (sdlButtons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (sdlButtons & SDL_BUTTON_X1MASK) flags |= MK_XBUTTON1;
    if (sdlButtons & SDL_BUTTON_X2MASK) flags |= MK_XBUTTON2;
    const SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
    if (mod & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
}

// ---------------------------------------------------------------------------------
// Cursor, clipboard, boxes

void SdlWindowSystem::ApplyCursorVisible(const bool visible) {
    if (m_videoReady) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlWindowSystem::ClipCursor(const Rect* screenRect) {
    if (screenRect == nullptr) {
        m_hasClip = false;
        if (m_window != nullptr) SDL_SetWindowMouseRect(m_window, nullptr);
        return true;
    }
    m_hasClip = true;
    m_clip = *screenRect;
    if (m_window == nullptr) return true;
    // SDL confines the cursor inside the window only: clip to the part over the client area.
    const Rect client = ClientScreenRect();
    const int left = std::max(m_clip.left, client.left);
    const int top = std::max(m_clip.top, client.top);
    const int right = std::min(m_clip.right, client.right);
    const int bottom = std::min(m_clip.bottom, client.bottom);
    if (right <= left || bottom <= top) return SDL_SetWindowMouseRect(m_window, nullptr) == 0;
    const SDL_Rect rect = {left - client.left, top - client.top, right - left, bottom - top};
    return SDL_SetWindowMouseRect(m_window, &rect) == 0;
}

bool SdlWindowSystem::GetClipCursor(Rect& out) const {
    if (!m_hasClip) return false;
    out = m_clip;
    return true;
}

bool SdlWindowSystem::GetCursorPos(Point& out) const {
    if (!m_videoReady) return false;
    int x = 0;
    int y = 0;
    if (m_headless) {
        // No desktop pointer: the position inside the window is all there is.
        SDL_GetMouseState(&x, &y);
        out = ClientToScreen({x, y});
    } else {
        SDL_GetGlobalMouseState(&x, &y);
        out = {x, y};
    }
    return true;
}

bool SdlWindowSystem::SetCursorPos(const int32_t x, const int32_t y) {
    if (!m_videoReady) return false;
    if (!m_headless && SDL_WarpMouseGlobal(x, y) == 0) return true;
    if (m_window == nullptr) return false;
    const Point client = ScreenToClient({x, y});
    SDL_WarpMouseInWindow(m_window, client.x, client.y);
    return true;
}

std::string SdlWindowSystem::GetClipboardText() {
    if (!m_videoReady || !SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return {};
    std::string result = text;
    SDL_free(text);
    return result;
}

bool SdlWindowSystem::SetClipboardText(const std::string& text) {
    return m_videoReady && SDL_SetClipboardText(text.c_str()) == 0;
}

int SdlWindowSystem::MessageBox(const std::string& caption, const std::string& text, const uint32_t flags) {
    if (DialogsDisabled() || m_headless) return LogMessageBox(caption, text, flags);

    const bool okCancel = (flags & 0xF) == MB_OKCANCEL;
    const int fallback = DefaultAnswer(flags);
    SDL_MessageBoxButtonData buttons[2] = {};
    buttons[0].buttonid = IDOK;
    buttons[0].text = "OK";
    buttons[0].flags = (fallback == IDOK ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                       (okCancel ? 0 : SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
    buttons[1].buttonid = IDCANCEL;
    buttons[1].text = "Cancel";
    buttons[1].flags = (fallback == IDCANCEL ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                       SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    Uint32 icon = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == MB_ICONERROR) icon = SDL_MESSAGEBOX_ERROR;
    if ((flags & 0xF0) == MB_ICONWARNING) icon = SDL_MESSAGEBOX_WARNING;

    const std::string shown = WithoutCarriageReturns(text);
    SDL_MessageBoxData data = {};
    data.flags = icon;
    data.title = caption.c_str();
    data.message = shown.c_str();
    data.numbuttons = okCancel ? 2 : 1;
    data.buttons = buttons;
    int hit = -1;
    if (SDL_ShowMessageBox(&data, &hit) != 0) {
        WriteLog(SdlError("SDL_ShowMessageBox"));
        return LogMessageBox(caption, text, flags);
    }
    // Closing the box without a button is Cancel where there is one.
    const int answer = hit == IDOK || hit == IDCANCEL ? hit : (okCancel ? IDCANCEL : IDOK);
    WriteLog("Message box \"" + caption + "\" answered " + (answer == IDOK ? "OK" : "Cancel") + ": " + text);
    return answer;
}

// ---------------------------------------------------------------------------------
// Display

bool SdlWindowSystem::EnumDisplaySettings(const uint32_t index, DisplayMode& out) const {
    if (index == 0 || m_modes.empty()) {
        m_modes.clear();
        const int count = m_videoReady && !m_headless ? SDL_GetNumDisplayModes(0) : 0;
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0) continue;
            uint32_t bits = SDL_BYTESPERPIXEL(mode.format) * 8;
            if (bits == 0) bits = SDL_BITSPERPIXEL(mode.format);
            m_modes.push_back({static_cast<uint32_t>(mode.w), static_cast<uint32_t>(mode.h), bits,
                               static_cast<uint32_t>(std::max(0, mode.refresh_rate))});
        }
        if (m_modes.empty()) {
            for (const auto& size : {std::pair{640u, 480u},
                                     {800u, 600u},
                                     {1024u, 768u},
                                     {1280u, 720u},
                                     {1280u, 1024u},
                                     {1920u, 1080u}}) {
                m_modes.push_back(
                    {size.first, size.second, kHeadlessDesktop.bitsPerPixel, kHeadlessDesktop.refreshRate});
            }
        }
        std::sort(m_modes.begin(), m_modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
            if (a.bitsPerPixel != b.bitsPerPixel) return a.bitsPerPixel < b.bitsPerPixel;
            if (a.width != b.width) return a.width < b.width;
            if (a.height != b.height) return a.height < b.height;
            return a.refreshRate < b.refreshRate;
        });
    }
    if (index >= m_modes.size()) return false;
    out = m_modes[index];
    return true;
}

bool SdlWindowSystem::GetDesktopDisplayMode(DisplayMode& out) const {
    SDL_DisplayMode mode;
    if (!m_videoReady || m_headless || SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 ||
        mode.h <= 0) {
        out = kHeadlessDesktop;
        return true;
    }
    uint32_t bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    if (bits == 0) bits = SDL_BITSPERPIXEL(mode.format);
    out = {static_cast<uint32_t>(mode.w), static_cast<uint32_t>(mode.h), bits,
           static_cast<uint32_t>(std::max(0, mode.refresh_rate))};
    return true;
}

std::vector<Rect> SdlWindowSystem::GetMonitors() const {
    std::vector<Rect> monitors;
    const int count = m_videoReady && !m_headless ? SDL_GetNumVideoDisplays() : 0;
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) continue;
        monitors.push_back({bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h});
    }
    if (monitors.empty()) {
        monitors.push_back({0, 0, static_cast<int32_t>(kHeadlessDesktop.width),
                            static_cast<int32_t>(kHeadlessDesktop.height)});
    }
    return monitors;
}

Rect SdlWindowSystem::PrimaryMonitor() const {
    return GetMonitors().front();
}

// ---------------------------------------------------------------------------------
// Keyboard

void SdlWindowSystem::RefreshKeymap() const {
    // Letters follow the system layout (a French board's A key is where Q is on a US
    // one); everything else keeps the built-in positions.
    for (int scan = 0; scan < 256; ++scan) {
        const uint32_t us = UsVirtualKeyFromScan(static_cast<uint8_t>(scan));
        uint32_t vk = us;
        if (m_videoReady && us != 0) {
            const SDL_Keycode key = SDL_GetKeyFromScancode(sdl::ScancodeFromDik(static_cast<uint8_t>(scan)));
            const bool usLetter = us >= 'A' && us <= 'Z';
            if (key >= 'a' && key <= 'z') {
                vk = static_cast<uint32_t>(key - 'a' + 'A');
            } else if (usLetter && key > 0x20 && key < 0x7F) {
                const uint32_t moved = UsVirtualKeyForCharacter(static_cast<char>(key));
                if (moved != 0) vk = moved;
            }
        }
        m_vkAtScan[scan] = vk;
    }
    m_keymapDirty = false;
}

uint32_t SdlWindowSystem::LayoutVirtualKey(const uint8_t scanCode) const {
    if (m_keymapDirty) RefreshKeymap();
    return m_vkAtScan[scanCode];
}

uint8_t SdlWindowSystem::LayoutScanCode(uint32_t virtualKey) const {
    if (m_keymapDirty) RefreshKeymap();
    if (virtualKey == VK_SHIFT) virtualKey = VK_LSHIFT;
    if (virtualKey == VK_CONTROL) virtualKey = VK_LCONTROL;
    if (virtualKey == VK_MENU) virtualKey = VK_LMENU;
    for (int scan = 1; scan < 256; ++scan) {
        if (m_vkAtScan[scan] == virtualKey) return static_cast<uint8_t>(scan);
    }
    return 0;
}

int16_t SdlWindowSystem::GetKeyState(const uint32_t virtualKey) const {
    if (!m_videoReady) return 0;
    const SDL_Keymod mod = SDL_GetModState();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    const Uint32 mouse = SDL_GetMouseState(nullptr, nullptr);
    bool down = false;
    bool toggled = false;
    switch (virtualKey) {
        case VK_SHIFT:
            down = mod & KMOD_SHIFT;
            break;
        case VK_CONTROL:
            down = mod & KMOD_CTRL;
            break;
        case VK_MENU:
            down = mod & KMOD_ALT;
            break;
        case VK_LSHIFT:
            down = mod & KMOD_LSHIFT;
            break;
        case VK_RSHIFT:
            down = mod & KMOD_RSHIFT;
            break;
        case VK_LCONTROL:
            down = mod & KMOD_LCTRL;
            break;
        case VK_RCONTROL:
            down = mod & KMOD_RCTRL;
            break;
        case VK_LMENU:
            down = mod & KMOD_LALT;
            break;
        case VK_RMENU:
            down = mod & KMOD_RALT;
            break;
        case VK_CAPITAL:
            down = keys[SDL_SCANCODE_CAPSLOCK];
            toggled = mod & KMOD_CAPS;
            break;
        case VK_NUMLOCK:
            down = keys[SDL_SCANCODE_NUMLOCKCLEAR];
            toggled = mod & KMOD_NUM;
            break;
        case VK_SCROLL:
            down = keys[SDL_SCANCODE_SCROLLLOCK];
            toggled = mod & KMOD_SCROLL;
            break;
        case VK_LBUTTON:
            down = mouse & SDL_BUTTON_LMASK;
            break;
        case VK_RBUTTON:
            down = mouse & SDL_BUTTON_RMASK;
            break;
        case VK_MBUTTON:
            down = mouse & SDL_BUTTON_MMASK;
            break;
        case VK_XBUTTON1:
            down = mouse & SDL_BUTTON_X1MASK;
            break;
        case VK_XBUTTON2:
            down = mouse & SDL_BUTTON_X2MASK;
            break;
        default: {
            const SDL_Scancode scancode = sdl::ScancodeFromDik(LayoutScanCode(virtualKey));
            down = scancode != SDL_SCANCODE_UNKNOWN && keys[scancode] != 0;
            break;
        }
    }
    return static_cast<int16_t>((down ? 0x8000 : 0) | (toggled ? 1 : 0));
}

}  // namespace

std::unique_ptr<WindowSystem> CreateSdlWindowSystem() {
    return std::make_unique<SdlWindowSystem>();
}

}  // namespace platform::window
