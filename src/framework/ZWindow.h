#pragma once

#include <cstdint>

#include "foundation/ZString.h"
#include "platform/window/window.h"

// What a window is to be; filled by the caller and copied into CreateAppWindow.
// Fields left zero get their defaults in FillClassDefaults.
struct ZWindowDesc {
    int32_t showCommand = platform::window::SW_SHOWNORMAL;  // for ShowWindow
    // The client area in screen pixels.
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    ZString className;
    ZString title;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    platform::window::WindowProc windowProc = nullptr;
    void* procUser = nullptr;  // handed to the procedure with every message
    bool menu = false;         // the window has a menu bar (none of ours does)
    uintptr_t instance = 0;    // the program instance the start-up was given (logged only)
};

// The game's one top-level window, on the installed window system's main
// window. CreateAppWindow runs the steps below in a fixed order; no step's
// failure stops the others, and a window that could not be created leaves
// IsCreated false for the caller to see. Main thread only.
class ZWindow {
public:
    ZWindow() = default;
    // Destroys the window when this object made it.
    virtual ~ZWindow();
    ZWindow(const ZWindow&) = delete;
    ZWindow& operator=(const ZWindow&) = delete;

    // Fills fields left zero: the procedure becomes WindowProcDefault, the
    // style the overlapped-window style.
    virtual void FillClassDefaults(ZWindowDesc& desc);
    // Registers the class name unless a class of that name exists, which is
    // then reused unchanged.
    virtual void RegisterClass(const ZWindowDesc& desc);
    // Client rectangle := the description's; window rectangle := that widened
    // by the frame of the style (and the menu bar when UsesMenu and desc.menu).
    virtual void ComputeRect(const ZWindowDesc& desc);
    // Creates the window, hidden, at the window rectangle.
    virtual void Create(const ZWindowDesc& desc);
    // Shows it with the description's show command.
    virtual void Show(const ZWindowDesc& desc);
    virtual bool UsesMenu() const { return true; }
    // UsesMenu, the window exists and it has a menu bar.
    virtual bool HasMenu() const;

    // The window exists (Create succeeded and it has not been destroyed since).
    bool IsCreated() const;
    // The window system the window lives on; null when there is no window.
    platform::window::WindowSystem* GetSystem() const;

    const platform::window::Rect& GetWindowRect() const { return m_windowRect; }
    // As requested, not adjusted.
    const platform::window::Rect& GetClientRect() const { return m_clientRect; }

private:
    platform::window::Rect m_windowRect;
    platform::window::Rect m_clientRect;
    // The system this object created its window on; compared with the one
    // installed at every use, so a replaced system is never touched.
    platform::window::WindowSystem* m_system = nullptr;
    bool m_menu = false;
};

// New ZWindow through FillClassDefaults, RegisterClass, ComputeRect, Create
// and Show, in that order. The caller owns it.
ZWindow* CreateAppWindow(ZWindowDesc desc);

// The engine's default window procedure: the platform's default handling.
// Procedures hand on every message they do not swallow to it.
int64_t WindowProcDefault(const platform::window::Message& message, void* user);
