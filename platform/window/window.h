#pragma once
// The main window, its message queue and the desktop services around it: cursor,
// clipboard, message boxes, monitors and display modes, keyboard layout.
//
// The engine's window procedure receives Message records whose ids and codes keep the
// numbers of the Windows platform (WM_SIZE, SIZE_MAXIMIZED, WA_CLICKACTIVE, ...), so
// the engine branches on them as the original does. State changes the program itself
// makes (MoveWindow, ShowWindow, SetFullscreen) send their WM_SIZE/WM_MOVE at once,
// inside the call, as the Windows platform does; input arrives through PeekMessage.
//
// Coordinates: screen pixels, origin top-left of the primary monitor. The window
// rectangle is the client area widened by a frame that depends on the style (see
// AdjustWindowRect); the frame is the same on every backend.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/keycodes.h"

namespace platform::window {

// Message ids.
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_XBUTTONDOWN = 0x020B;
constexpr uint32_t WM_XBUTTONUP = 0x020C;
constexpr uint32_t WM_MOUSEHWHEEL = 0x020E;
constexpr uint32_t WM_DEVICECHANGE = 0x0219;
constexpr uint32_t WM_ENTERSIZEMOVE = 0x0231;
constexpr uint32_t WM_EXITSIZEMOVE = 0x0232;

// WM_SIZE kinds.
constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t SIZE_MAXIMIZED = 2;
constexpr uint32_t SIZE_MAXSHOW = 3;
constexpr uint32_t SIZE_MAXHIDE = 4;

// WM_ACTIVATE kinds.
constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;
constexpr uint32_t WA_CLICKACTIVE = 2;

// WM_SYSCOMMAND kinds.
constexpr uint32_t SC_MINIMIZE = 0xF020;
constexpr uint32_t SC_MAXIMIZE = 0xF030;
constexpr uint32_t SC_CLOSE = 0xF060;
constexpr uint32_t SC_KEYMENU = 0xF100;
constexpr uint32_t SC_RESTORE = 0xF120;

// WM_DEVICECHANGE kinds.
constexpr uint32_t DBT_DEVNODES_CHANGED = 0x0007;
constexpr uint32_t DBT_DEVICEARRIVAL = 0x8000;
constexpr uint32_t DBT_DEVICEREMOVECOMPLETE = 0x8004;

// Mouse message button flags.
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;
constexpr uint32_t MK_XBUTTON1 = 0x0020;
constexpr uint32_t MK_XBUTTON2 = 0x0040;
constexpr int32_t WHEEL_DELTA = 120;

// Window styles.
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_DLGFRAME = 0x00400000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000);

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// Message box flags and answers.
constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_OKCANCEL = 0x00000001;
constexpr uint32_t MB_ICONERROR = 0x00000010;
constexpr uint32_t MB_ICONQUESTION = 0x00000020;
constexpr uint32_t MB_ICONWARNING = 0x00000030;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
constexpr uint32_t MB_DEFBUTTON2 = 0x00000100;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// GetSystemMetrics indices.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CMONITORS = 80;

// MapVirtualKey map types. Scan codes are DirectInput codes (extended keys | 0x80).
constexpr uint32_t MAPVK_VK_TO_VSC = 0;
constexpr uint32_t MAPVK_VSC_TO_VK = 1;  // left and right modifiers as VK_SHIFT, ...
constexpr uint32_t MAPVK_VK_TO_CHAR = 2;
constexpr uint32_t MAPVK_VSC_TO_VK_EX = 3;  // left and right modifiers apart

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t refreshRate = 0;  // hertz; 0 when the display does not say
    bool operator==(const DisplayMode&) const = default;
};

// One message for the window procedure. Only the fields of the message's kind are set.
struct Message {
    uint32_t id = 0;
    // WM_SIZE: SIZE_*; WM_ACTIVATE: WA_*; WM_ACTIVATEAPP: 1 activated, 0 deactivated;
    // WM_SYSCOMMAND: SC_*; WM_DEVICECHANGE: DBT_*; WM_XBUTTON*: 1 or 2; WM_QUIT: exit code.
    uint32_t kind = 0;
    int32_t width = 0;   // WM_SIZE: client width
    int32_t height = 0;  // WM_SIZE: client height
    int32_t x = 0;       // WM_MOVE: client origin on screen; mouse messages: client position
    int32_t y = 0;
    uint32_t virtualKey = 0;  // key messages: VK_* (VK_SHIFT, VK_CONTROL, VK_MENU for either side)
    uint32_t scanCode = 0;    // key messages: DirectInput scan code
    bool repeat = false;      // key down: the key was already down (auto-repeat)
    bool altDown = false;     // key messages: an Alt key is held
    char16_t character = 0;   // WM_CHAR: one UTF-16 unit
    int32_t wheelDelta = 0;   // WM_MOUSEWHEEL, WM_MOUSEHWHEEL: WHEEL_DELTA per notch
    uint32_t buttons = 0;     // mouse messages: MK_* held
};

// The engine's window procedure. `user` is the pointer given at creation.
using WindowProc = int64_t (*)(const Message& message, void* user);

struct WindowCreateInfo {
    std::string title;
    uint32_t style = WS_OVERLAPPEDWINDOW;
    uint32_t exStyle = 0;
    // The window rectangle (frame included); x or y CW_USEDEFAULT lets the system place it.
    int32_t x = CW_USEDEFAULT;
    int32_t y = CW_USEDEFAULT;
    int32_t width = 0;
    int32_t height = 0;
    WindowProc proc = nullptr;
    void* user = nullptr;
};

enum class FullscreenMode { Windowed, Desktop, Exclusive };

// Receives every line the window layer writes for the log (message boxes shown in
// headless runs, backend failures). The engine points it at its log.
using LogHook = void (*)(const char* line);
void SetLogHook(LogHook hook);
void WriteLog(const std::string& line);

class WindowSystem {
public:
    virtual ~WindowSystem();

    // --- Window classes --------------------------------------------------------------
    // Registers a class name; false when a class of that name exists (it is reused).
    bool RegisterWindowClass(const std::string& name);
    bool IsWindowClassRegistered(const std::string& name) const;

    // --- The main window -----------------------------------------------------------
    // Creates the window (hidden unless the style has WS_VISIBLE); sends WM_CREATE.
    virtual bool CreateMainWindow(const WindowCreateInfo& info) = 0;
    // Sends WM_DESTROY and destroys the window.
    virtual void DestroyMainWindow() = 0;
    virtual bool HasWindow() const = 0;
    // Opaque handle of the native window (the SDL_Window* on SDL) for the graphics device.
    virtual void* NativeHandle() const = 0;

    // SW_* command; answers whether the window was visible before.
    virtual bool ShowWindow(int command) = 0;
    virtual bool IsWindowVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual bool IsMaximized() const = 0;

    virtual uint32_t GetStyle() const = 0;
    virtual uint32_t GetExStyle() const = 0;
    // Changes the frame; the client area keeps its screen position and size.
    virtual void SetStyle(uint32_t style, uint32_t exStyle) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetTopmost(bool topmost) = 0;

    virtual Rect GetWindowRect() const = 0;
    // {0, 0, client width, client height}.
    virtual Rect GetClientRect() const = 0;
    virtual Point ClientToScreen(Point client) const = 0;
    virtual Point ScreenToClient(Point screen) const = 0;
    // Places the window rectangle; sends WM_MOVE and WM_SIZE for what changed.
    virtual bool MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) = 0;
    // Exclusive takes the display mode (null: the window's size); false when refused.
    virtual bool SetFullscreen(FullscreenMode mode, const DisplayMode* displayMode) = 0;
    virtual FullscreenMode GetFullscreen() const = 0;

    virtual void SetForegroundWindow() = 0;
    virtual void SetFocus() = 0;
    // The main window has the keyboard focus.
    virtual bool HasKeyboardFocus() const = 0;

    // --- Messages --------------------------------------------------------------------
    // Takes the next waiting message; false when none waits.
    bool PeekMessage(Message& out);
    // Turns a key-down into WM_CHAR where the backend has no text input of its own.
    virtual void TranslateMessage(const Message& message);
    // Hands a message to the window procedure and answers its result.
    int64_t DispatchMessage(const Message& message);
    // The same, at once (messages the platform sends rather than posts).
    int64_t SendMessage(const Message& message) { return DispatchMessage(message); }
    void PostMessage(const Message& message);
    void PostQuitMessage(int exitCode);
    // What the platform does with a message the procedure passes on: Alt alone and F10
    // give SC_KEYMENU, Alt+F4 gives SC_CLOSE and then WM_CLOSE, SC_MINIMIZE/MAXIMIZE/
    // RESTORE change the window. WM_CLOSE does not destroy the window: its owner does.
    int64_t DefWindowProc(const Message& message);

    // --- Cursor ----------------------------------------------------------------------
    // Display counter: the cursor shows while the count is 0 or more; answers the count.
    int ShowCursor(bool show);
    // Confines the cursor to a screen rectangle; null frees it.
    virtual bool ClipCursor(const Rect* screenRect) = 0;
    // The current confinement; false when the cursor is free.
    virtual bool GetClipCursor(Rect& out) const = 0;
    virtual bool GetCursorPos(Point& out) const = 0;
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;

    // --- Clipboard (UTF-8 text) ------------------------------------------------------
    // Empty when the clipboard holds no text or cannot be read.
    virtual std::string GetClipboardText() = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;

    // --- Message box -----------------------------------------------------------------
    // Modal box with the MB_* flags; answers IDOK or IDCANCEL. Headless (see
    // DialogsDisabled) it is written to the log and stderr and answers its default.
    virtual int MessageBox(const std::string& caption, const std::string& text, uint32_t flags) = 0;

    // --- Monitors and display modes --------------------------------------------------
    // The primary display's modes by index, 0, 1, ... until false. Ascending by bit depth,
    // width, height and refresh rate.
    virtual bool EnumDisplaySettings(uint32_t index, DisplayMode& out) const = 0;
    virtual bool GetDesktopDisplayMode(DisplayMode& out) const = 0;
    // SM_CXSCREEN, SM_CYSCREEN (the primary monitor), SM_CMONITORS; 0 for others.
    int GetSystemMetrics(int index) const;
    // Monitor rectangles on the desktop, the primary first.
    virtual std::vector<Rect> GetMonitors() const = 0;

    // --- Keyboard layout and state ---------------------------------------------------
    uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) const;
    // Character of a key for a 256-entry key state (VK_SHIFT high bit = Shift down,
    // VK_CAPITAL low bit = Caps Lock on, VK_CONTROL / VK_MENU high bits). Writes one byte
    // to out and answers 1, or answers 0 when the key types nothing.
    int ToAscii(uint32_t virtualKey, uint32_t scanCode, const uint8_t keyState[256], uint8_t* out) const;
    // High bit (negative result) while the key is down; low bit = toggled (Caps Lock).
    virtual int16_t GetKeyState(uint32_t virtualKey) const = 0;
    // Identifies the active layout (0x04090409 for the built-in US layout).
    virtual uint32_t GetKeyboardLayout() const = 0;

    // Frame added around the client area for a style (left/top negative, right/bottom
    // positive, as the Windows platform adjusts a rectangle).
    static bool AdjustWindowRect(Rect& rect, uint32_t style, bool hasMenu, uint32_t exStyle = 0);

protected:
    // Moves pending backend events into the queue (PostMessage).
    virtual void PumpEvents() {}
    // Virtual key at a scan code with left and right modifiers apart; the built-in layout
    // unless the backend knows the system's.
    virtual uint32_t LayoutVirtualKey(uint8_t scanCode) const;
    virtual uint8_t LayoutScanCode(uint32_t virtualKey) const;
    // The stored procedure and its user pointer (set at creation).
    void SetProc(WindowProc proc, void* user);
    // Mouse cursor visibility after the display counter changed.
    virtual void ApplyCursorVisible(bool visible) = 0;

private:
    std::vector<std::string> m_classes;
    std::deque<Message> m_queue;
    WindowProc m_proc = nullptr;
    void* m_procUser = nullptr;
    int m_cursorCount = 0;
    bool m_menuArmed = false;  // Alt went down and no other key since
};

// True when message boxes must not block: KORV_NO_DIALOGS=1 or a headless video driver
// (SDL_VIDEODRIVER offscreen or dummy).
bool DialogsDisabled();
// The answer a box gives when nobody clicks: IDCANCEL for OK/Cancel with MB_DEFBUTTON2,
// else IDOK.
int DefaultAnswer(uint32_t flags);
// Writes a box and its answer to the log hook and stderr.
void WriteMessageBoxLine(const std::string& caption, const std::string& text, int answer);
// Writes a box to the log hook and stderr and answers its default.
int LogMessageBox(const std::string& caption, const std::string& text, uint32_t flags);

enum class Backend { Sdl, Fake };
std::unique_ptr<WindowSystem> CreateWindowSystem(Backend backend);

// The process-wide window system, chosen at start-up; null until one is installed.
WindowSystem* GetWindowSystem();
// Installs a window system (destroying the previous one); null uninstalls.
void SetWindowSystem(std::unique_ptr<WindowSystem> system);

// The installed system's box, or the logged box when none is installed.
int MessageBox(const std::string& caption, const std::string& text, uint32_t flags);

}  // namespace platform::window
