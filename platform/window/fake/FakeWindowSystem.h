#pragma once
// A window system without a display, for tests. It keeps the window's state in memory,
// records every message box, clip and clipboard use, and lets a test act as the user:
// the User* operations produce the messages the Windows platform would, in its order.
// Window-state changes (sizing, activation) are sent at once; input (keys, mouse,
// closing) is posted and arrives through PeekMessage.

#include <deque>
#include <string>
#include <vector>

#include "platform/window/window.h"

namespace platform::window {

class FakeWindowSystem : public WindowSystem {
public:
    struct BoxRecord {
        std::string caption;
        std::string text;
        uint32_t flags = 0;
        int answer = 0;
    };

    FakeWindowSystem();

    // WindowSystem
    bool CreateMainWindow(const WindowCreateInfo& info) override;
    void DestroyMainWindow() override;
    bool HasWindow() const override { return m_exists; }
    void* NativeHandle() const override { return nullptr; }
    bool ShowWindow(int command) override;
    bool IsWindowVisible() const override { return m_visible; }
    bool IsMinimized() const override { return m_minimized; }
    bool IsMaximized() const override { return m_maximized; }
    uint32_t GetStyle() const override { return m_style; }
    uint32_t GetExStyle() const override { return m_exStyle; }
    void SetStyle(uint32_t style, uint32_t exStyle) override;
    void SetTitle(const std::string& title) override { m_title = title; }
    void SetTopmost(bool topmost) override { m_topmost = topmost; }
    Rect GetWindowRect() const override;
    Rect GetClientRect() const override;
    Point ClientToScreen(Point client) const override;
    Point ScreenToClient(Point screen) const override;
    bool MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) override;
    bool SetFullscreen(FullscreenMode mode, const DisplayMode* displayMode) override;
    FullscreenMode GetFullscreen() const override { return m_fullscreen; }
    void SetForegroundWindow() override;
    void SetFocus() override;
    bool HasKeyboardFocus() const override { return m_exists && m_focused; }
    bool ClipCursor(const Rect* screenRect) override;
    bool GetClipCursor(Rect& out) const override;
    bool GetCursorPos(Point& out) const override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    std::string GetClipboardText() override;
    bool SetClipboardText(const std::string& text) override;
    int MessageBox(const std::string& caption, const std::string& text, uint32_t flags) override;
    bool EnumDisplaySettings(uint32_t index, DisplayMode& out) const override;
    bool GetDesktopDisplayMode(DisplayMode& out) const override;
    std::vector<Rect> GetMonitors() const override { return m_monitors; }
    int16_t GetKeyState(uint32_t virtualKey) const override;
    uint32_t GetKeyboardLayout() const override { return 0x04090409; }

    // --- The user ------------------------------------------------------------------
    // Activation: WM_ACTIVATEAPP(1), WM_ACTIVATE(WA_ACTIVE or WA_CLICKACTIVE), WM_SETFOCUS.
    void UserActivate(bool byClick);
    // WM_ACTIVATE(WA_INACTIVE), WM_ACTIVATEAPP(0), WM_KILLFOCUS.
    void UserDeactivate();
    // Dragging the frame: WM_ENTERSIZEMOVE, WM_SIZE(SIZE_RESTORED), WM_EXITSIZEMOVE.
    void UserResize(int32_t clientWidth, int32_t clientHeight);
    // Dragging the title bar: WM_ENTERSIZEMOVE, WM_MOVE, WM_EXITSIZEMOVE.
    void UserMove(int32_t windowX, int32_t windowY);
    void UserMaximize() { ShowWindow(SW_MAXIMIZE); }
    void UserMinimize() { ShowWindow(SW_MINIMIZE); }
    void UserRestore() { ShowWindow(SW_RESTORE); }
    // Posts WM_CLOSE (the close button).
    void UserClose();
    // Posts WM_KEYDOWN/WM_SYSKEYDOWN (or up) for a scan code, as the keyboard would,
    // and updates the key state; Caps Lock toggles on its press.
    void UserKey(uint8_t scanCode, bool down);
    void UserMouseMove(int32_t clientX, int32_t clientY);
    // Buttons 0 left, 1 right, 2 middle, 3 and 4 the side buttons.
    void UserMouseButton(int button, bool down);
    void UserWheel(int32_t notches);
    void UserDeviceChange(uint32_t kind);
    // A message straight into the queue.
    void Post(const Message& message) { PostMessage(message); }

    // --- Scripted system -----------------------------------------------------------
    void SetDisplayModes(std::vector<DisplayMode> modes) { m_modes = std::move(modes); }
    void SetDesktopMode(const DisplayMode& mode);
    void SetMonitors(std::vector<Rect> monitors) { m_monitors = std::move(monitors); }
    // Answers for the next boxes, in order; a box without a queued answer gives its default.
    void QueueBoxAnswer(int answer) { m_boxAnswers.push_back(answer); }
    // The clipboard cannot be opened: reads give "", writes fail.
    void SetClipboardBroken(bool broken) { m_clipboardBroken = broken; }
    // The next exclusive full-screen request is refused.
    void RefuseExclusive(bool refuse) { m_refuseExclusive = refuse; }

    // --- Records -------------------------------------------------------------------
    const std::vector<BoxRecord>& Boxes() const { return m_boxes; }
    bool CursorVisible() const { return m_cursorVisible; }
    const std::string& Title() const { return m_title; }
    const std::string& Clipboard() const { return m_clipboard; }
    bool Topmost() const { return m_topmost; }

protected:
    void ApplyCursorVisible(bool visible) override { m_cursorVisible = visible; }

private:
    Rect ClientScreenRect() const;
    void SetClientScreenRect(const Rect& client);
    void SendSize(uint32_t kind);
    void SendSimple(uint32_t id, uint32_t kind);
    uint32_t MouseButtons() const;

    bool m_exists = false;
    bool m_visible = false;
    bool m_minimized = false;
    bool m_maximized = false;
    bool m_focused = false;
    bool m_topmost = false;
    bool m_cursorVisible = true;
    bool m_clipboardBroken = false;
    bool m_refuseExclusive = false;
    uint32_t m_style = 0;
    uint32_t m_exStyle = 0;
    std::string m_title;
    Rect m_client;          // client area in screen coordinates while restored
    Rect m_restoredClient;  // kept while maximized or full screen
    FullscreenMode m_fullscreen = FullscreenMode::Windowed;
    bool m_hasClip = false;
    Rect m_clip;
    Point m_cursor;
    std::string m_clipboard;
    std::vector<BoxRecord> m_boxes;
    std::deque<int> m_boxAnswers;
    std::vector<DisplayMode> m_modes;
    DisplayMode m_desktop;
    std::vector<Rect> m_monitors;
    uint8_t m_keys[256] = {};  // by virtual key: 0x80 down, 0x01 toggled
};

}  // namespace platform::window
