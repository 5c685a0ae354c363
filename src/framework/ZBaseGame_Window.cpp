// The window procedure, pause and exit, activation, the cursor, video
// options and screen metrics, and the configuration hooks.

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

#include "audio/ZAudioMgr.h"
#include "foundation/ZLog.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZScreenshot.h"
#include "renderer/ZResolutionListener.h"
#include "framework/ZWindow.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "renderer/ZCamera.h"
#include "renderer/ZFXAAFilter.h"
#include "renderer/ZRenderer.h"

namespace {

using namespace platform::window;

// Set while a size reset runs, so the sizes it causes do not start another.
bool g_sizeResetRunning = false;

}  // namespace

// --- The window procedure ---

int64_t ZBaseGame::WndProc(const Message& message, void* user) {
    ZBaseGame* game = static_cast<ZBaseGame*>(user);
    if (game == nullptr) {
        return WindowProcDefault(message, user);
    }
    return game->HandleMessage(message);
}

int64_t ZBaseGame::HandleMessage(const Message& message) {
    WindowSystem* system = GetWindowSystem();
    switch (message.id) {
        case WM_ACTIVATE:
            if (message.kind == WA_ACTIVE) {
                ZLog::Printf("WM_ACTIVATE / WA_ACTIVE");
                ActivateWindow(false);
            } else if (message.kind == WA_CLICKACTIVE) {
                ZLog::Printf("WM_ACTIVATE / WA_CLICKACTIVE");
                ActivateWindow(true);
            } else if (message.kind == WA_INACTIVE) {
                ZLog::Printf("WM_ACTIVATE / WA_INACTIVE");
                DeactivateInput();
            }
            break;
        case WM_CLOSE:
            RequestQuit();
            break;
        case WM_CHAR:
            // Typed text for the console; it uses it only while open.
            m_console.OnCharTyped(message.character);
            break;
        case WM_ACTIVATEAPP:
            if (message.kind != 0) {
                ZLog::Printf("WM_ACTIVATEAPP: Activated");
            } else if (!IsExiting()) {
                ZLog::Printf("WM_ACTIVATEAPP: Deactivated");
            }
            break;
        case WM_SIZE:
            switch (message.kind) {
                case SIZE_RESTORED:
                    ZLog::Printf("This window was resized. Client area is %dx%d.", message.width, message.height);
                    if (m_wasMaximized) {
                        m_wasMaximized = false;
                        SizeReset(message.width, message.height);
                    }
                    break;
                case SIZE_MINIMIZED:
                    ZLog::Printf("This window was minimized. Client area is %dx%d.", message.width, message.height);
                    break;
                case SIZE_MAXIMIZED:
                    m_wasMaximized = true;
                    ZLog::Printf("This window was maximized. Client area is %dx%d.", message.width, message.height);
                    SizeReset(message.width, message.height);
                    break;
                case SIZE_MAXSHOW:
                    ZLog::Printf("Some other window was restored to its former size. Client area is %dx%d.",
                                 message.width, message.height);
                    break;
                case SIZE_MAXHIDE:
                    ZLog::Printf("Some other window was maximized. Client area is %dx%d.", message.width,
                                 message.height);
                    break;
                default:
                    break;
            }
            break;
        case WM_SYSCOMMAND:
            // Alt alone must not open the system menu: that would stall the game.
            if (message.kind == SC_KEYMENU) {
                return 0;
            }
            break;
        case WM_ENTERSIZEMOVE: {
            if (system != nullptr) {
                system->ClipCursor(nullptr);
            }
            m_sizingOrMoving = true;
            const Rect client = system != nullptr ? system->GetClientRect() : Rect{};
            ZLog::Printf("This window position has begun being sized or moved. Client area is %dx%d.",
                         client.Width(), client.Height());
            break;
        }
        case WM_EXITSIZEMOVE: {
            m_sizingOrMoving = false;
            const Rect client = system != nullptr ? system->GetClientRect() : Rect{};
            ZLog::Printf("This window position has finished being sized or moved. Client area is %dx%d.",
                         client.Width(), client.Height());
            if (client.Width() != m_renderWidth || client.Height() != m_renderHeight) {
                SetAllVideoOptions(client.Width(), client.Height(), m_vsync, m_fullscreen, m_fullscreenWindowed,
                                   m_fullscreenWindowedStretch, m_fxaa, m_tate);
            }
            ClipCursorToWindow(false);
            break;
        }
        default:
            break;
    }
    return WindowProcDefault(message, this);
}

void ZBaseGame::SizeReset(const int32_t width, const int32_t height) {
    if (g_sizeResetRunning) {
        ZLog::Printf("Suppressing reentrant renderer reset.");
        return;
    }
    g_sizeResetRunning = true;
    SetAllVideoOptions(width, height, m_vsync, m_fullscreen, m_fullscreenWindowed, m_fullscreenWindowedStretch,
                       m_fxaa, m_tate);
    g_sizeResetRunning = false;
}

// --- Exit and pause ---

void ZBaseGame::Exit() {
    if (IsExiting()) {
        return;
    }
    ZLog::Printf("Exiting");
    ClearEntities(false);
    gAppInfoDestroyed.store(true);
    StopAudio();
    if (WindowSystem* system = GetWindowSystem()) {
        system->ShowWindow(SW_HIDE);
    }
    m_windowShown = false;
    if (m_editMode) {
        SetEditMode();
    }
    GetCinematicMgr()->StopAll();
}

void ZBaseGame::RequestQuit() {
    if (WindowSystem* system = platform::window::GetWindowSystem()) {
        system->PostQuitMessage(0);
    } else {
        Exit();
    }
}

bool ZBaseGame::IsGamePaused() {
    const ZMenuMgr* menus = GetMenuMgr();
    const uint32_t menuCount = menus != nullptr ? menus->GetOpenMenuCount() + menus->GetQueuedOpenCount() : 0;
    return menuCount > 0 || m_console.IsOpen() || m_editMode;
}

bool ZBaseGame::IsUIActive() const {
    const ZMenuMgr* menus = PeekMenuMgr();
    const uint32_t menuCount = menus != nullptr ? menus->GetOpenMenuCount() + menus->GetQueuedOpenCount() : 0;
    return menuCount > 0 || m_console.IsOpen() || m_editMode;
}

void ZBaseGame::SetPaused(const bool paused) {
    ZLog::Printf(paused ? "Pausing" : "Unpausing");
    GetInputHandler()->SetRumblePaused(paused);
    if (!IsExiting()) {
        UpdateCursorState(false);
    }
}

void ZBaseGame::PushPause(const bool push) {
    if (push) {
        if (m_pauseRequests == 0) {
            SetPaused(true);
        }
        ++m_pauseRequests;
    } else if (m_pauseRequests > 0) {
        --m_pauseRequests;
        if (m_pauseRequests == 0) {
            SetPaused(false);
        }
    }
}

void ZBaseGame::SetEditMode() {
    if (!IsDevMode() || !IsEditModeAllowed()) {
        return;
    }
    if (m_console.IsOpen()) {
        m_console.Toggle();
    }
    GetMenuMgr()->CloseAll();
    m_editMode = !m_editMode;
    OnEditModeChanged(m_editMode);
    if (m_editMode) {
        if (m_fullscreen) {
            ToggleFullscreen();
        }
        m_console.Print("Edit mode enabled");
    } else {
        m_console.Print("Edit mode disabled");
        AdjustWindowSize();
        CenterWindow();
    }
}

// --- Activation and the cursor ---

void ZBaseGame::ActivateWindow(const bool byClick) {
    const ZRenderer* renderer = GetRenderer();
    if (renderer->hasDevice) {
        ZLog::Printf("(D3DHasBeenInitialized)");
        if (IsExclusiveFullscreen() && !renderer->deviceLost) {
            ZLog::Printf("(ExclusiveFullscreen() && !DeviceLost)");
            ZLog::Printf(
                "### Resetting in ActivateWindow due to fullscreen and lost device (10/05/2009: possibly "
                "unnecessary!)");
            ResetRenderer();
        }
    }
    ZInputHandler* input = GetInputHandler();
    input->reacquire = 1;
    input->RequestPadRedetection();

    WindowSystem* system = GetWindowSystem();
    if (!byClick || system == nullptr) {
        ClipCursorToWindow(true);
        return;
    }
    // A click on the frame (title bar, borders) must stay free to drag.
    Point cursor;
    system->GetCursorPos(cursor);
    const Rect window = system->GetWindowRect();
    const Rect clientSize = system->GetClientRect();
    const Point origin = system->ClientToScreen(Point{0, 0});
    const Rect client{origin.x, origin.y, origin.x + clientSize.Width(), origin.y + clientSize.Height()};
    const auto inside = [&cursor](const Rect& r) {
        return cursor.x >= r.left && cursor.x < r.right && cursor.y >= r.top && cursor.y < r.bottom;
    };
    if (inside(window) && !inside(client)) {
        return;
    }
    ClipCursorToWindow(true);
}

void ZBaseGame::DeactivateInput() {
    GetInputHandler()->XInputEnable(false);
    if (WindowSystem* system = GetWindowSystem()) {
        system->ClipCursor(nullptr);
    }
}

void ZBaseGame::UpdateCursorState(const bool force) {
    bool cursorFree = IsGamePaused() || IsEditMode();
    // A pad player never needs the pointer.
    if (GetControlMgr()->GetActiveDeviceClass() != ZDeviceClass::KeyboardMouse) {
        cursorFree = false;
    }
    if (cursorFree == m_cursorFree && !force) {
        return;
    }
    m_cursorFree = cursorFree;
    GetInputHandler()->ReacquireInputDevices(!cursorFree);
    WindowSystem* system = GetWindowSystem();
    if (system != nullptr) {
        system->ClipCursor(nullptr);
    }
    ClipCursorToWindow(false);
    if (system == nullptr) {
        return;
    }
    if (cursorFree) {
        system->SetCursorPos(m_savedCursor.x, m_savedCursor.y);
    } else {
        system->GetCursorPos(m_savedCursor);
    }
}

void ZBaseGame::ClipCursorToWindow(const bool force) {
    WindowSystem* system = GetWindowSystem();
    // While the frame is dragged the cursor must reach beyond the client area.
    if (system == nullptr || !m_windowShown || m_sizingOrMoving) {
        return;
    }
    if (!m_lockCursor) {
        if (m_cursorFree || (!force && !system->HasKeyboardFocus())) {
            return;
        }
    }
    const Rect client = system->GetClientRect();
    const Point origin = system->ClientToScreen(Point{0, 0});
    const Rect screen{origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()};
    system->ClipCursor(&screen);
}

// --- Video state ---

bool ZBaseGame::IsBorderless() const {
    return (m_fullscreen && m_fullscreenWindowed) ||
           (!m_fullscreen && m_screenWidth == m_primaryMonitorWidth && m_screenHeight == m_primaryMonitorHeight);
}

void ZBaseGame::ResetRenderer() {
    ZRenderer* renderer = GetRenderer();
    if (!renderer->hasDevice) {
        return;
    }
    const bool wantExclusive = IsExclusiveFullscreen();
    bool exclusive = wantExclusive;
    const ZRenderVideoSettings video = GetRenderVideoSettings();
    renderer->reset(GetWindowSystem(), m_screenWidth, m_screenHeight, video, exclusive);
    if (wantExclusive && !exclusive) {
        m_fullscreen = false;
        ZLog::Printf("Exclusive fullscreen was rejected. Reverting to logical windowed.");
        ApplyWindowStyle(false);
    }
}

ZRenderVideoSettings ZBaseGame::GetRenderVideoSettings() const {
    ZRenderVideoSettings video;
    video.vsync = m_vsync;
    video.fullscreen = m_fullscreen;
    video.fullscreenWindowed = m_fullscreenWindowed;
    video.fullscreenWindowedStretch = m_fullscreenWindowedStretch;
    video.fxaa = m_fxaa;
    return video;
}

void ZBaseGame::SetAllVideoOptions(const int32_t width, const int32_t height, const bool vsync, const bool fullscreen,
                                   const bool fullscreenWindowed, const bool stretch, const int32_t fxaa,
                                   const int32_t tate) {
    ZLog::Printf("SetAllVideoOptions() called");
    m_vsync = vsync;
    m_fullscreen = fullscreen;
    m_fullscreenWindowed = fullscreenWindowed;
    m_fullscreenWindowedStretch = stretch;
    m_fxaa = fxaa > 4 ? 4 : (fxaa > 0 ? fxaa : 0);
    m_tate = tate;
    ReplacePreHUDShader(nullptr);

    if (!m_fullscreen && width == m_primaryMonitorWidth && height == m_primaryMonitorHeight) {
        m_fullscreen = true;
    }
    // A size the display cannot show would leave no window (and 0 would divide
    // by zero downstream): it is refused and never stored, so never saved.
    int32_t largestWidth = 0;
    int32_t largestHeight = 0;
    GetLargestWindowSize(largestWidth, largestHeight);
    if (!IsWindowSizeAllowed(width, height)) {
        ZLog::Printf("SetAllVideoOptions: size %dx%d refused (the display allows 1x1 to %dx%d); the previous size "
                     "is kept.",
                     width, height, largestWidth, largestHeight);
    } else if (m_fullscreen) {
        m_widthFullscreen = width;
        m_heightFullscreen = height;
    } else {
        m_widthWindowed = width;
        m_heightWindowed = height;
    }
    UpdateScreenMetrics();

    ZLog::Printf("Setting window style on video options applied. (Pre-reset)");
    ApplyWindowStyle(true);
    ZLog::Printf("Resetting renderer (SetAllVideoOptions())");
    ResetRenderer();
    ZLog::Printf("Setting window style on video options applied. (Post-reset)");
    ApplyWindowStyle(false);

    ReplacePreHUDShader(CreateFXAAFilter());
    ClipCursorToWindow(false);
    // A new mode may bring another refresh rate.
    m_pacingRefreshRate = 0;
}

// ApplyWindowStyle and ToggleFullscreen live with the window (ZWindow.cpp).

void ZBaseGame::WantedClientSize(int32_t& width, int32_t& height) const {
    if (IsBorderless() && m_fullscreenWindowedStretch) {
        width = m_primaryMonitorWidth;
        height = m_primaryMonitorHeight;
    } else {
        width = m_screenWidth;
        height = m_screenHeight;
    }
}

void ZBaseGame::AdjustWindowSize() { AdjustWindow(false); }

void ZBaseGame::CenterWindow() { AdjustWindow(true); }

void ZBaseGame::AdjustWindow(const bool center) {
    WindowSystem* system = GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    int32_t width = 0;
    int32_t height = 0;
    WantedClientSize(width, height);
    Rect rect;
    if (center) {
        ZLog::Printf("Window adjustment (center)");
        rect.left = (m_primaryMonitorWidth - width) / 2;
        rect.top = (m_primaryMonitorHeight - height) / 2;
    } else {
        // Keeps the centre of the current client area where it is.
        ZLog::Printf("Window adjustment (resize)");
        const Rect client = system->GetClientRect();
        const Point origin = system->ClientToScreen(Point{0, 0});
        rect.left = origin.x + (client.Width() - width) / 2;
        rect.top = origin.y + (client.Height() - height) / 2;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    const bool adjusted = WindowSystem::AdjustWindowRect(rect, system->GetStyle(), false, 0);
    ZLog::Printf("AdjustWindowRect: %d", adjusted ? 1 : 0);
    const bool moved = system->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), true);
    ZLog::Printf("MoveWindow: %d", moved ? 1 : 0);
}

void ZBaseGame::GetLargestWindowSize(int32_t& width, int32_t& height) const {
    width = m_primaryMonitorWidth;
    height = m_primaryMonitorHeight;
    if (const WindowSystem* system = platform::window::GetWindowSystem()) {
        const auto widen = [&](const platform::window::DisplayMode& mode) {
            width = std::max(width, static_cast<int32_t>(std::min<uint32_t>(mode.width, INT32_MAX)));
            height = std::max(height, static_cast<int32_t>(std::min<uint32_t>(mode.height, INT32_MAX)));
        };
        platform::window::DisplayMode mode;
        if (system->GetDesktopDisplayMode(mode)) {
            widen(mode);
        }
        // The list is finite, but a broken driver should not hold start-up.
        for (uint32_t i = 0; i < 4096 && system->EnumDisplaySettings(i, mode); ++i) {
            widen(mode);
        }
    }
    if (width < 1 || height < 1) {
        // Nothing says what the display can do: the largest picture a device makes.
        width = kLargestUnknownDisplaySide;
        height = kLargestUnknownDisplaySide;
    }
}

bool ZBaseGame::IsWindowSizeAllowed(const int32_t width, const int32_t height) const {
    int32_t largestWidth = 0;
    int32_t largestHeight = 0;
    GetLargestWindowSize(largestWidth, largestHeight);
    return width >= 1 && height >= 1 && width <= largestWidth && height <= largestHeight;
}

void ZBaseGame::EnforceWindowSizeLimits() {
    struct Pair {
        const char* width;
        const char* height;
        int32_t* widthField;
        int32_t* heightField;
    };
    const Pair pairs[] = {{"WidthWindowed", "HeightWindowed", &m_widthWindowed, &m_heightWindowed},
                          {"WidthFullscreen", "HeightFullscreen", &m_widthFullscreen, &m_heightFullscreen}};
    static const ZHashedString video("Video");
    for (const Pair& pair : pairs) {
        if (IsWindowSizeAllowed(*pair.widthField, *pair.heightField)) {
            continue;
        }
        const int32_t width = *pair.widthField;
        const int32_t height = *pair.heightField;
        ResetConfigVar(video, ZHashedString(pair.width));
        ResetConfigVar(video, ZHashedString(pair.height));
        // Without these variables registered (a bare game) the size is held
        // within the limits instead.
        if (!IsWindowSizeAllowed(*pair.widthField, *pair.heightField)) {
            int32_t largestWidth = 0;
            int32_t largestHeight = 0;
            GetLargestWindowSize(largestWidth, largestHeight);
            *pair.widthField = std::clamp(*pair.widthField, 1, largestWidth);
            *pair.heightField = std::clamp(*pair.heightField, 1, largestHeight);
        }
        ZLog::Printf("Video: %s/%s %dx%d refused: the display cannot show it; using %dx%d", pair.width, pair.height,
                     width, height, *pair.widthField, *pair.heightField);
    }
}

void ZBaseGame::UpdateScreenMetrics() {
    // Sizes come from Config.ini, the console and the menus; one the display
    // cannot show goes back to its default before anything uses it.
    EnforceWindowSizeLimits();
    int32_t width = m_fullscreen ? m_widthFullscreen : m_widthWindowed;
    int32_t height = m_fullscreen ? m_heightFullscreen : m_heightWindowed;
    // Never a size of 0: the aspect ratio and the interface mapping divide by it.
    width = width < 1 ? 1 : width;
    height = height < 1 ? 1 : height;
    m_screenWidth = width;
    m_screenHeight = height;

    if (m_tate == 1 || m_tate == 3) {
        const int32_t swap = width;
        width = height;
        height = swap;
    }
    if (m_fixedAspectRatio > 0.0f) {
        const float w = static_cast<float>(width);
        const float h = static_cast<float>(height);
        if (m_fixedAspectRatio <= w / h) {
            width = static_cast<int32_t>(h * m_fixedAspectRatio + 0.5f);
        } else {
            height = static_cast<int32_t>(w / m_fixedAspectRatio + 0.5f);
        }
    }
    const float pixelSize = m_pixelSize < 1.0f ? 1.0f : m_pixelSize;
    width = static_cast<int32_t>(static_cast<float>(width) / pixelSize);
    height = static_cast<int32_t>(static_cast<float>(height) / pixelSize);
    m_renderWidth = width < 1 ? 1 : width;
    m_renderHeight = height < 1 ? 1 : height;

    const float w = static_cast<float>(m_renderWidth);
    const float h = static_cast<float>(m_renderHeight);
    const float aspect = w / h;
    m_aspectRatio = aspect;
    const bool wide = aspect >= 1.3333334f;
    const float frameWidth = wide ? 4.0f * h / 3.0f : w;
    const float frameHeight = wide ? h : 3.0f * w / 4.0f;
    m_hudMapping[0] = wide ? 1.0f / (384.0f * aspect) : 1.0f / 512.0f;
    m_hudMapping[1] = wide ? 1.0f / 384.0f : aspect / 512.0f;
    m_hudMapping[2] = 1.0f - frameWidth / w;
    m_hudMapping[3] = 1.0f - frameHeight / h;
    m_hudMapping[4] = 1024.0f / frameWidth;
    m_hudMapping[5] = 768.0f / frameHeight;
    m_hudMapping[6] = -(w - frameWidth) / 2.0f;
    m_hudMapping[7] = -(h - frameHeight) / 2.0f;

    // By index: a listener may add or remove listeners.
    for (uint32_t i = 0; i < m_resolutionListeners.Count(); ++i) {
        m_resolutionListeners[i]->OnResolutionChanged(m_renderWidth, m_renderHeight);
    }
    OnScreenMetricsChanged();
}

void ZBaseGame::AddResolutionListener(ZResolutionListener* listener) {
    if (listener != nullptr) {
        m_resolutionListeners.AddUnique(listener);
    }
}

void ZBaseGame::RemoveResolutionListener(ZResolutionListener* listener) { m_resolutionListeners.Remove(listener); }

void ZBaseGame::TakeLegacyScreenshot() {
    ZLog::Printf("Taking screenshot (legacy path)");
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> pixels = GetRenderer()->CaptureBackBuffer(width, height);
    if (pixels.empty()) {
        return;
    }

    const ZString folder = GetUserFolderPath(GetGameFolderName(), GetScreenshotsFolder(), true);
    const ZString path = FindFreeScreenshotPath(folder.GetText(), GetScreenshotPrefix(), "bmp");
    if (path.IsEmpty()) {
        ZLog::Printf("Every screenshot number is taken; no screenshot written.");
        return;
    }
    if (ZRenderer::WriteBMP(path.GetText(), pixels.data(), width, height)) {
        ZLog::Printf("Screenshot written to %s", os::TranslatePath(path.GetText()).c_str());
    } else {
        ZLog::Printf("Could not write the screenshot %s", os::TranslatePath(path.GetText()).c_str());
    }
}

// --- Renderer notifications ---

void ZBaseGame::OnPreResetRenderer() { ZLog::Printf("#### ZBaseGame::OnPreResetRenderer"); }

void ZBaseGame::OnPostResetRenderer() { ZLog::Printf("#### ZBaseGame::OnPostResetRenderer"); }

void ZBaseGame::OnLostDevice() { ZLog::Printf("#### ZBaseGame::OnLostDevice"); }

// --- Configuration hooks ---

// The camera arrives with the engine assets; until then there is none to tell.
void ZBaseGame::SetCameraFieldOfView(const float fov) {
    if (m_camera != nullptr) {
        m_camera->SetFieldOfView(fov);
    }
}

void ZBaseGame::SetMouseFactor(const float factor) { GetInputHandler()->mouseScale = factor; }

void ZBaseGame::ConfineCursor(const bool locked) {
    if (locked) {
        ClipCursorToWindow(false);
    } else if (WindowSystem* system = GetWindowSystem()) {
        system->ClipCursor(nullptr);
    }
}

void ZBaseGame::SetAudioOptions(const float masterVolume, const float musicVolume, const float soundVolume,
                                const float streamWriteDelay, const bool multiSynthExclusiveChannels) {
    ZAudioMgr* audio = GetAudioMgr();
    audio->SetMasterVolume(masterVolume);
    if (ZSoundGroup* effects = audio->FindSoundGroup(GetSFXAudioGroupName())) {
        effects->SetVolume(soundVolume);
    }
    if (ZSoundGroup* music = audio->FindSoundGroup(GetBGMAudioGroupName())) {
        music->SetVolume(musicVolume);
    }
    audio->multiSynthExclusiveChannels = multiSynthExclusiveChannels;
    audio->streamWriteDelay = streamWriteDelay;
    audio->musicVolume = musicVolume;
    audio->soundVolume = soundVolume;
}
