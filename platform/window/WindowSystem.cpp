#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/window/KeyLayout.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "platform/window/sdl/SdlWindowSystem.h"
#include "platform/window/window.h"

namespace platform::window {

namespace {

std::atomic<LogHook> gLogHook{nullptr};
std::mutex gSystemMutex;
std::unique_ptr<WindowSystem> gSystem;

bool EnvIs(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set != nullptr && std::strcmp(set, value) == 0;
}

}  // namespace

void SetLogHook(const LogHook hook) {
    gLogHook.store(hook);
}

void WriteLog(const std::string& line) {
    if (const LogHook hook = gLogHook.load()) hook(line.c_str());
}

WindowSystem::~WindowSystem() = default;

// ---------------------------------------------------------------------------------
// Window classes

bool WindowSystem::RegisterWindowClass(const std::string& name) {
    if (IsWindowClassRegistered(name)) return false;
    m_classes.push_back(name);
    return true;
}

bool WindowSystem::IsWindowClassRegistered(const std::string& name) const {
    return std::find(m_classes.begin(), m_classes.end(), name) != m_classes.end();
}

// ---------------------------------------------------------------------------------
// Messages

bool WindowSystem::PeekMessage(Message& out) {
    if (m_queue.empty()) PumpEvents();
    if (m_queue.empty()) return false;
    out = m_queue.front();
    m_queue.pop_front();
    return true;
}

void WindowSystem::TranslateMessage(const Message& message) {
    if (message.id != WM_KEYDOWN) return;
    uint8_t keyState[256] = {};
    for (const uint32_t vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL}) {
        const int16_t state = GetKeyState(vk);
        keyState[vk] = static_cast<uint8_t>((state < 0 ? 0x80 : 0) | (state & 0x01));
    }
    uint8_t ch = 0;
    if (ToAscii(message.virtualKey, message.scanCode, keyState, &ch) == 1) {
        Message charMessage;
        charMessage.id = WM_CHAR;
        charMessage.character = ch;
        charMessage.scanCode = message.scanCode;
        charMessage.repeat = message.repeat;
        // Posted ahead of the input still waiting, so the character follows its key.
        m_queue.push_front(charMessage);
    }
}

int64_t WindowSystem::DispatchMessage(const Message& message) {
    if (m_proc == nullptr) return DefWindowProc(message);
    return m_proc(message, m_procUser);
}

void WindowSystem::PostMessage(const Message& message) {
    m_queue.push_back(message);
}

void WindowSystem::PostQuitMessage(const int exitCode) {
    Message quit;
    quit.id = WM_QUIT;
    quit.kind = static_cast<uint32_t>(exitCode);
    PostMessage(quit);
}

int64_t WindowSystem::DefWindowProc(const Message& message) {
    Message command;
    command.id = WM_SYSCOMMAND;
    switch (message.id) {
        case WM_KEYDOWN:
            m_menuArmed = false;
            break;
        case WM_SYSKEYDOWN:
            m_menuArmed = message.virtualKey == VK_MENU || message.virtualKey == VK_F10;
            if (message.virtualKey == VK_F4 && message.altDown) {
                command.kind = SC_CLOSE;
                SendMessage(command);
            }
            break;
        case WM_SYSKEYUP:
        case WM_KEYUP:
            // Alt (or F10) pressed and released alone opens the system menu.
            if (m_menuArmed && (message.virtualKey == VK_MENU || message.virtualKey == VK_F10)) {
                m_menuArmed = false;
                command.kind = SC_KEYMENU;
                SendMessage(command);
            }
            break;
        case WM_SYSCOMMAND:
            switch (message.kind) {
                case SC_CLOSE: {
                    Message close;
                    close.id = WM_CLOSE;
                    SendMessage(close);
                    break;
                }
                case SC_MINIMIZE:
                    ShowWindow(SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(SW_MAXIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(SW_RESTORE);
                    break;
                default:
                    break;  // SC_KEYMENU: there is no system menu to open
            }
            break;
        default:
            break;
    }
    return 0;
}

void WindowSystem::SetProc(const WindowProc proc, void* user) {
    m_proc = proc;
    m_procUser = user;
}

// ---------------------------------------------------------------------------------
// Cursor

int WindowSystem::ShowCursor(const bool show) {
    m_cursorCount += show ? 1 : -1;
    ApplyCursorVisible(m_cursorCount >= 0);
    return m_cursorCount;
}

// ---------------------------------------------------------------------------------
// Display

int WindowSystem::GetSystemMetrics(const int index) const {
    DisplayMode desktop;
    switch (index) {
        case SM_CXSCREEN:
            return GetDesktopDisplayMode(desktop) ? static_cast<int>(desktop.width) : 0;
        case SM_CYSCREEN:
            return GetDesktopDisplayMode(desktop) ? static_cast<int>(desktop.height) : 0;
        case SM_CMONITORS:
            return static_cast<int>(GetMonitors().size());
        default:
            return 0;
    }
}

bool WindowSystem::AdjustWindowRect(Rect& rect, const uint32_t style, const bool hasMenu, uint32_t) {
    // Fixed frame metrics so that window and client rectangles convert the same way on
    // every backend and in every test.
    int32_t side = 0;
    if (style & WS_THICKFRAME) {
        side = 8;
    } else if (style & (WS_BORDER | WS_DLGFRAME)) {
        side = 3;
    }
    int32_t top = side;
    if ((style & WS_CAPTION) == WS_CAPTION) top += 23;
    if (hasMenu) top += 20;
    rect.left -= side;
    rect.top -= top;
    rect.right += side;
    rect.bottom += side;
    return true;
}

// ---------------------------------------------------------------------------------
// Keyboard layout

uint32_t WindowSystem::LayoutVirtualKey(const uint8_t scanCode) const {
    return UsVirtualKeyFromScan(scanCode);
}

uint8_t WindowSystem::LayoutScanCode(const uint32_t virtualKey) const {
    return UsScanFromVirtualKey(virtualKey);
}

uint32_t WindowSystem::MapVirtualKey(const uint32_t code, const uint32_t mapType) const {
    switch (mapType) {
        case MAPVK_VK_TO_VSC:
            return LayoutScanCode(code);
        case MAPVK_VSC_TO_VK:
            return code > 0xFF ? 0 : GenericVirtualKey(LayoutVirtualKey(static_cast<uint8_t>(code)));
        case MAPVK_VSC_TO_VK_EX:
            return code > 0xFF ? 0 : LayoutVirtualKey(static_cast<uint8_t>(code));
        case MAPVK_VK_TO_CHAR: {
            const uint8_t ch = UsCharacter(code, false, false, false);
            // Letters map to their upper case, as the platform reports them.
            return (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
        }
        default:
            return 0;
    }
}

int WindowSystem::ToAscii(const uint32_t virtualKey, uint32_t, const uint8_t keyState[256],
                          uint8_t* out) const {
    const bool shift = (keyState[VK_SHIFT] & 0x80) != 0;
    const bool caps = (keyState[VK_CAPITAL] & 0x01) != 0;
    const bool ctrl = (keyState[VK_CONTROL] & 0x80) != 0;
    const bool alt = (keyState[VK_MENU] & 0x80) != 0;
    if (ctrl && alt) return 0;  // the built-in layout has no AltGr characters
    const uint8_t ch = UsCharacter(virtualKey, shift, caps, ctrl);
    if (ch == 0) return 0;
    *out = ch;
    return 1;
}

// ---------------------------------------------------------------------------------
// Message boxes

bool DialogsDisabled() {
    return EnvIs("KORV_NO_DIALOGS", "1") || EnvIs("SDL_VIDEODRIVER", "offscreen") ||
           EnvIs("SDL_VIDEODRIVER", "dummy");
}

int DefaultAnswer(const uint32_t flags) {
    return ((flags & 0xF) == MB_OKCANCEL && (flags & MB_DEFBUTTON2)) ? IDCANCEL : IDOK;
}

void WriteMessageBoxLine(const std::string& caption, const std::string& text, const int answer) {
    const std::string line =
        "Message box \"" + caption + "\" answered " + (answer == IDOK ? "OK" : "Cancel") + ": " + text;
    WriteLog(line);
    std::fprintf(stderr, "%s\n", line.c_str());
}

int LogMessageBox(const std::string& caption, const std::string& text, const uint32_t flags) {
    const int answer = DefaultAnswer(flags);
    WriteMessageBoxLine(caption, text, answer);
    return answer;
}

// ---------------------------------------------------------------------------------
// Backends

std::unique_ptr<WindowSystem> CreateWindowSystem(const Backend backend) {
    switch (backend) {
        case Backend::Sdl:
            return CreateSdlWindowSystem();
        case Backend::Fake:
            return std::make_unique<FakeWindowSystem>();
    }
    return nullptr;
}

WindowSystem* GetWindowSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    return gSystem.get();
}

void SetWindowSystem(std::unique_ptr<WindowSystem> system) {
    std::unique_ptr<WindowSystem> old;
    {
        const std::lock_guard<std::mutex> lock(gSystemMutex);
        old = std::move(gSystem);
        gSystem = std::move(system);
    }
    // The old one is destroyed outside the lock: its teardown may log.
}

int MessageBox(const std::string& caption, const std::string& text, const uint32_t flags) {
    WindowSystem* const system = GetWindowSystem();
    if (system == nullptr) return LogMessageBox(caption, text, flags);
    return system->MessageBox(caption, text, flags);
}

}  // namespace platform::window
