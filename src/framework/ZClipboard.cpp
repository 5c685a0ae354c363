#include "framework/ZClipboard.h"

#include <string>

#include "platform/window/window.h"

void GetClipboardText(ZString& out) {
    out = "";
    platform::window::WindowSystem* system = platform::window::GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    const std::string text = system->GetClipboardText();
    // Up to the first zero byte, as a zero-terminated clipboard text reads.
    out = text.c_str();
}

void SetClipboardText(const ZString& text) {
    platform::window::WindowSystem* system = platform::window::GetWindowSystem();
    if (system == nullptr) {
        return;
    }
    system->SetClipboardText(std::string(text.GetText()));
}
