#include "framework/ZWindow.h"

#include <string>

#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"

using namespace platform::window;

ZWindow::~ZWindow() {
    // Forgotten first: the procedure hears WM_DESTROY while this object goes.
    WindowSystem* system = IsCreated() ? m_system : nullptr;
    m_system = nullptr;
    if (system != nullptr) {
        system->DestroyMainWindow();
    }
}

void ZWindow::FillClassDefaults(ZWindowDesc& desc) {
    if (desc.windowProc == nullptr) {
        desc.windowProc = WindowProcDefault;
    }
    if (desc.style == 0) {
        desc.style = WS_OVERLAPPEDWINDOW;
    }
}

void ZWindow::RegisterClass(const ZWindowDesc& desc) {
    WindowSystem* system = GetWindowSystem();
    ZLog::Printf("GetClassInfoEx");
    ZLog::Printf("hInstance = %d", static_cast<int32_t>(desc.instance));
    ZLog::Printf("className = %s", desc.className.GetText());
    if (system == nullptr || system->IsWindowClassRegistered(desc.className.GetText())) {
        return;
    }
    ZLog::Printf("Registering class");
    system->RegisterWindowClass(desc.className.GetText());
}

void ZWindow::ComputeRect(const ZWindowDesc& desc) {
    m_menu = desc.menu;
    m_clientRect = {desc.left, desc.top, desc.left + desc.width, desc.top + desc.height};
    m_windowRect = m_clientRect;
    WindowSystem::AdjustWindowRect(m_windowRect, desc.style, UsesMenu() && desc.menu, desc.exStyle);
    ZLog::Printf("Window dimensions:");
    ZLog::Printf("    Left: %d", m_windowRect.left);
    ZLog::Printf("    Right: %d", m_windowRect.right);
    ZLog::Printf("    Top: %d", m_windowRect.top);
    ZLog::Printf("    Bottom: %d", m_windowRect.bottom);
    ZLog::Printf("    Width: %d", m_windowRect.Width());
    ZLog::Printf("    Height: %d", m_windowRect.Height());
}

void ZWindow::Create(const ZWindowDesc& desc) {
    ZLog::Printf("CreateWindowEx");
    WindowSystem* system = GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    WindowCreateInfo info;
    info.title = desc.title.GetText();
    info.style = desc.style;
    info.exStyle = desc.exStyle;
    info.x = m_windowRect.left;
    info.y = m_windowRect.top;
    info.width = m_windowRect.Width();
    info.height = m_windowRect.Height();
    info.proc = desc.windowProc;
    info.user = desc.procUser;
    if (system->CreateMainWindow(info)) {
        m_system = system;
    }
}

void ZWindow::Show(const ZWindowDesc& desc) {
    // The window system draws with its own device context and font; the
    // steps keep their log lines so that start-up logs read the same.
    ZLog::Printf("GetDC");
    ZLog::Printf("SendMessage (set font)");
    ZLog::Printf("ShowWindow(%d, %d)", IsCreated() ? 1 : 0, desc.showCommand);
    if (IsCreated()) {
        m_system->ShowWindow(desc.showCommand);
    }
    ZLog::Printf("UpdateWindow");
}

bool ZWindow::HasMenu() const {
    return UsesMenu() && IsCreated() && m_menu;
}

bool ZWindow::IsCreated() const {
    return m_system != nullptr && m_system == platform::window::GetWindowSystem() && m_system->HasWindow();
}

WindowSystem* ZWindow::GetSystem() const {
    return IsCreated() ? m_system : nullptr;
}

ZWindow* CreateAppWindow(ZWindowDesc desc) {
    ZWindow* window = new ZWindow();
    window->FillClassDefaults(desc);
    window->RegisterClass(desc);
    window->ComputeRect(desc);
    window->Create(desc);
    window->Show(desc);
    return window;
}

int64_t WindowProcDefault(const Message& message, void*) {
    WindowSystem* system = GetWindowSystem();
    return system != nullptr ? system->DefWindowProc(message) : 0;
}

// ---------------------------------------------------------------------------------
// The base game's window style

namespace {

constexpr uint32_t kPopupStyle = WS_POPUP | WS_SYSMENU;
constexpr uint32_t kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

}  // namespace

void ZBaseGame::ApplyWindowStyle(const bool exclusive) {
    WindowSystem* system = GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    const uint32_t style = system->GetStyle();
    const bool hasPopup = (style & kPopupStyle) == kPopupStyle;

    if (IsExclusiveFullscreen() || exclusive) {
        // The renderer takes the display; the window only loses its frame.
        if (IsExclusiveFullscreen() && exclusive && !hasPopup) {
            system->SetStyle(kPopupStyle, 0);
        }
        return;
    }

    system->SetTopmost(false);
    if (IsBorderless()) {
        if (!hasPopup) {
            system->SetStyle(kPopupStyle, 0);
        }
        AdjustWindowSize();
        CenterWindow();
    } else if (!m_fullscreen) {
        const bool restyle = (style & kWindowedStyle) != kWindowedStyle || (style & WS_POPUP) != 0;
        if (restyle) {
            system->SetStyle(kWindowedStyle, 0);
        }
        AdjustWindowSize();
        // A window that only changes size keeps its place.
        if (restyle) {
            CenterWindow();
        }
    }
    system->ShowWindow(SW_SHOWNORMAL);
}

void ZBaseGame::ToggleFullscreen() {
    ZLog::Printf("ToggleFullscreen() called");
    m_fullscreen = !m_fullscreen;
    ApplyVideoOptions();
}
