// Built-in console commands on the video mode, the renderer and screenshots.

#include "framework/ZBaseGame.h"
#include "framework/ZConsoleCommands.h"
#include "platform/window/window.h"
#include "renderer/ZRenderer.h"

namespace {

const char* Enabled(const bool on) {
    return on ? "enabled" : "disabled";
}

}  // namespace

void CmdResetRenderer(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->ResetRenderer();
    }
}

void CmdApplyVideoOptions(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->ApplyVideoOptions();
    }
}

void CmdSetRes(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    if (words.Count() < 2) {
        game->GetConsole().Print("\"setres\" command requires dimensions of the form \"1280x720\"");
        return;
    }
    // Every word after the name, each after a blank, so that "1280 720" and
    // "1280x720" both read. No fixed buffer: a long line is read whole.
    ZString joined;
    for (uint32_t i = 1; i < words.Count(); ++i) {
        joined += " ";
        joined += words[i];
    }
    int32_t width = 0;
    int32_t height = 0;
    if (!ParseResolutionText(joined.GetText(), width, height)) {
        game->GetConsole().Printf("resolution \"%s\" not parsed. syntax is \"1280x720\"", words[1].GetText());
        return;
    }
    if (!game->IsWindowSizeAllowed(width, height)) {
        int32_t largestWidth = 0;
        int32_t largestHeight = 0;
        game->GetLargestWindowSize(largestWidth, largestHeight);
        game->GetConsole().Printf("resolution %dx%d not available; the display allows up to %dx%d", width, height,
                                  largestWidth, largestHeight);
        return;
    }
    game->SetAllVideoOptions(width, height, game->m_vsync, game->m_fullscreen, game->m_fullscreenWindowed,
                             game->m_fullscreenWindowedStretch, game->m_fxaa, game->m_tate);
}

void CmdScreenshot(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->RequestScreenshot();
    }
}

void CmdDumpRenderInfo(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {}

// Flips the field alone (its change callback does not run), then applies
// every video option at once.
void CmdFullscreenMode(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    game->m_fullscreenWindowed = !game->m_fullscreenWindowed;
    game->GetConsole().Printf("Fullscreen windowed mode: %s", Enabled(game->m_fullscreenWindowed));
    game->ApplyVideoOptions();
}

void CmdVideoStats(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    int32_t monitorWidth = 0;
    int32_t monitorHeight = 0;
    if (const platform::window::WindowSystem* system = platform::window::GetWindowSystem()) {
        monitorWidth = system->GetSystemMetrics(platform::window::SM_CXSCREEN);
        monitorHeight = system->GetSystemMetrics(platform::window::SM_CYSCREEN);
    }
    platform::window::Rect client;
    if (const platform::window::WindowSystem* window = game->GetWindowSystem()) {
        client = window->GetClientRect();
    }
    ZConsole& console = game->GetConsole();
    console.Printf("Cached desktop dimensions are %dx%d.", game->m_primaryMonitorWidth,
                   game->m_primaryMonitorHeight);
    console.Printf("Current monitor dimensions are %dx%d.", monitorWidth, monitorHeight);
    console.Printf("Current window client dimensions are %dx%d.", client.Width(), client.Height());
    console.Printf("Current game dimensions are %dx%d.", game->GetRenderWidth(), game->GetRenderHeight());
    console.Printf("Fullscreen game dimensions are %dx%d.", game->m_widthFullscreen,
                   game->m_heightFullscreen);
    console.Printf("Windowed game dimensions are %dx%d.", game->m_widthWindowed, game->m_heightWindowed);
    console.Printf("Fullscreen is %s.", Enabled(game->m_fullscreen));
    console.Printf("Fullscreen mode is %s.", game->m_fullscreenWindowed ? "windowed" : "exclusive");
    console.Printf("Fullscreen windowed stretching is %s.", Enabled(game->m_fullscreenWindowedStretch));
    console.Printf("Anti-aliasing quality is %d.", game->m_fxaa);
    console.Printf("VSync is %s.", Enabled(game->m_vsync));
    console.Printf("Aspect ratio is %f.", static_cast<double>(game->GetAspectRatio()));
    // Tate counts quarter turns.
    console.Printf("Tate is %d degrees clockwise.", game->m_tate * 90);
    console.Printf("Window is %s.", game->WasMaximized() ? "maximized" : "not maximized");
}

void CmdVideoTests(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    static const char* const kLines[] = {
        "Repeat each test on every OS from XP SP2 to Windows 7:",
        "1. Alt+Enter to toggle to and from fullscreen.",
        "    A. In exclusive fullscreen mode.",
        "    B. In windowed fullscreen mode.",
        "2. Windows key to escape game.",
        "    A. From window.",
        "    B. From exclusive fullscreen.",
        "    C. From windowed fullscreen.",
        "3. Alt+Tab to escape game.",
        "4. Minimize window.",
        "5. Win+L to lock screen.",
        "6. Ctrl+Alt+Del to lock screen.",
    };
    for (const char* line : kLines) {
        game->GetConsole().Print(line);
    }
}

void CmdOutputRenderTargets(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    GetRenderer()->dumpRenderTargets = true;
}
