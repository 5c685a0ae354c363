// Base-game operations beside the main loop: screenshots in the chosen
// format, the cursor in render pixels, opening addresses, and the two content
// dumps behind console commands.

#include <cmath>
#include <memory>
#include <vector>

#include "foundation/ZLog.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZPackageFile.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "framework/ZScreenshot.h"
#include "input/ZInputHandler.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "platform/window/window.h"
#include "renderer/ZRenderer.h"

void ZBaseGame::TakeScreenshot() {
    const char* format = m_screenshotFormat.GetText();
    format = format != nullptr ? format : "";
    if (EqualsNoCaseASCII(format, "bmp")) {
        TakeLegacyScreenshot();
        return;
    }
    // PNG is the one other writer; a format without one falls back to it.
    if (!EqualsNoCaseASCII(format, "png")) {
        ZLog::Printf("Screenshot format \"%s\" has no writer; writing PNG instead", format);
    }
    ZLog::Printf("Taking screenshot");
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> pixels = GetRenderer()->CaptureBackBuffer(width, height);
    if (pixels.empty()) {
        ZLog::Printf("No back buffer to take a screenshot of");
        return;
    }

    const ZString folder = GetUserFolderPath(GetGameFolderName(), GetScreenshotsFolder(), true);
    const ZString path = FindFreeScreenshotPath(folder.GetText(), GetScreenshotPrefix(), "png");
    if (path.IsEmpty()) {
        ZLog::Printf("Every screenshot number is taken; no screenshot written.");
        return;
    }
    if (WriteScreenshotPNG(path.GetText(), pixels.data(), width, height)) {
        ZLog::Printf("Screenshot written to %s", os::TranslatePath(path.GetText()).c_str());
    }
}

void ZBaseGame::GetCursorClientPos(float out[2]) {
    GetInputHandler();
    platform::window::Point cursor;
    if (platform::window::WindowSystem* system = platform::window::GetWindowSystem()) {
        system->GetCursorPos(cursor);
        if (platform::window::WindowSystem* window = GetWindowSystem()) {
            cursor = window->ScreenToClient(cursor);
        }
    }
    float x = static_cast<float>(cursor.x);
    float y = static_cast<float>(cursor.y);
    const float windowWidth = static_cast<float>(m_screenWidth);
    const float windowHeight = static_cast<float>(m_screenHeight);

    // A borderless picture stretched over the monitor: the window's pixels
    // are spread over the monitor's.
    if (IsBorderless() && m_fullscreenWindowedStretch && m_primaryMonitorWidth > 0 &&
        m_primaryMonitorHeight > 0) {
        x *= windowWidth / static_cast<float>(m_primaryMonitorWidth);
        y *= windowHeight / static_cast<float>(m_primaryMonitorHeight);
    }
    const float pixelSize = m_pixelSize < 1.0f ? 1.0f : m_pixelSize;
    x = (x - windowWidth * 0.5f) / pixelSize;
    y = (y - windowHeight * 0.5f) / pixelSize;

    const ZMatrix4 turn = ZMatrix4::RotationZ(-1.5707964f * static_cast<float>(m_tate));
    const float turnedX = turn.m[0] * x + turn.m[1] * y;
    const float turnedY = turn.m[4] * x + turn.m[5] * y;

    out[0] = turnedX + static_cast<float>(m_renderWidth) * 0.5f;
    out[1] = turnedY + static_cast<float>(m_renderHeight) * 0.5f;
}

bool ZBaseGame::OpenURL(const ZString& url) {
    ZLog::Printf("Opening URL %s in a new window", url.GetText());
    // The desktop's handler opens its window behind an exclusive picture.
    if (m_fullscreen) {
        ToggleFullscreen();
    }
    return os::OpenInShell(url.GetText());
}

void ZBaseGame::DumpStringTable() {
    ZArray<ZString> names;
    ZLocMgr::GetInstance()->ListStringFiles(names);
    // The user's English folder: ListLanguages never offers it as a language.
    const ZString folder = GetUserFolderPath(GetGameFolderName(), GetLocalizationFolder(), true) + "English";
    os::CreateFolder(folder.GetText());
    const ZStreamMgr* streams = ZStreamMgr::GetInstance();
    for (const ZString& name : names) {
        // Names come from code, but a dump must never write outside its folder.
        if (!ZPackageFile::IsSafeRelativeName(name.GetText())) {
            ZLog::Printf("DumpStringTable: \"%s\" is not a plain file name; skipped", name.GetText());
            continue;
        }
        if (streams->FindSource(name.GetText(), false) < 0) {
            continue;
        }
        char* bytes = nullptr;
        int64_t size = 0;
        if (!streams->ReadFile(name.GetText(), &bytes, &size)) {
            continue;
        }
        const ZString path = folder + "\\" + name;
        const int32_t slash = [&path] {
            int32_t at = -1;
            for (int32_t i = 0; i < path.GetLength(); ++i) {
                if (path.GetText()[i] == '\\' || path.GetText()[i] == '/') {
                    at = i;
                }
            }
            return at;
        }();
        os::CreateFolders(path.Left(slash).GetText());
        const int error = os::WriteFileAtomic(path.GetText(), bytes, static_cast<size_t>(size));
        delete[] bytes;
        if (error != 0) {
            ZLog::Printf("DumpStringTable: %s could not be written: %s", path.GetText(),
                         os::ErrorText(error).c_str());
            continue;
        }
        int32_t dot = name.GetLength();
        for (int32_t i = 0; i < name.GetLength(); ++i) {
            if (name.GetText()[i] == '.') {
                dot = i;
            }
        }
        m_console.Printf("String table \"%s\" dumped to %s", name.Left(dot).GetText(),
                         os::FullPath(path.GetText()).c_str());
    }
}

void ZBaseGame::DumpAllContent() {
    m_console.Print("Dumping all content...");
    ZStreamMgr::GetInstance()->DumpAllContent();
    m_console.Print("...done!");
}
