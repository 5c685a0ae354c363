#include "menu/ZCinematic.h"

#include <cmath>
#include <string>

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "platform/window/keycodes.h"
#include "renderer/ZFont.h"

namespace {

ZHashedString g_lastSkipControl;

struct SkipNames {
    ZHashedString menus{"Menus"};
    ZHashedString gameTimeSubs{"GameTimeSubs"};
    ZHashedString controls[3] = {ZHashedString("Accept"), ZHashedString("Cancel"), ZHashedString("Click")};
    ZHashedString general{"General"};
    ZHashedString confirm{"Confirm"};
};

const SkipNames& Names() {
    static const SkipNames names;
    return names;
}

// The text with every "%s" replaced by the input's name.
ZString ReplaceInputMarker(const ZString& pattern, const ZString& input) {
    std::string out;
    const char* text = pattern.GetText();
    for (const char* p = text; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += input.GetText();
            ++p;
        } else {
            out += *p;
        }
    }
    return ZString(out.c_str());
}

}  // namespace

ZHashedString ZCinematic::GetLastSkipControl() { return g_lastSkipControl; }
void ZCinematic::SetLastSkipControl(const ZHashedString control) { g_lastSkipControl = control; }

bool ZCinematic::IsActive() const { return std::fabs(duration) > 0.0001f; }

bool ZCinematic::SkipRequested() const {
    const SkipNames& names = Names();
    const ZHashedString group = runsOnGameTime ? names.gameTimeSubs : names.menus;
    ZControlMgr* controls = GetControlMgr();
    bool pressed = false;
    for (const ZHashedString& control : names.controls) {
        if (controls->WasPressed(group, control, 0.5f)) {
            pressed = true;
            break;
        }
    }
    if (!pressed) {
        return false;
    }
    // Alt+Enter switches the display mode; it never skips.
    const ZInputHandler* input = GetInputHandler();
    return !input->IsKeyDown(platform::DIK_LMENU) && !input->IsKeyDown(platform::DIK_RMENU);
}

bool ZCinematic::Update(float /*clock*/, const float dt) {
    if (confirmTimeLeft >= 0.0f) {
        confirmTimeLeft -= dt;
    }
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    const bool uiActive = game != nullptr && game->IsUIActive();
    if (skippableAfter >= 0.0f && skippableAfter <= elapsed && !uiActive && SkipRequested()) {
        if (confirmWindow > 0.0f && confirmTimeLeft <= 0.0f) {
            confirmTimeLeft = confirmWindow;
            const SkipNames& names = Names();
            for (const ZHashedString& control : names.controls) {
                if (GetControlMgr()->WasPressed(names.menus, control, 0.5f)) {
                    g_lastSkipControl = control;
                    break;
                }
            }
        } else {
            done = true;
        }
    }
    if (confirmTimeLeft > 0.0f) {
        DrawPrompt();
    }
    elapsed += dt;
    if (duration >= 0.0f && elapsed >= duration) {
        done = true;
    }
    return !done;
}

void ZCinematic::DrawPrompt() {
    const SkipNames& names = Names();
    promptSource.group = names.menus;
    promptSource.control = g_lastSkipControl;
    bool changed = false;
    const ZString& input = FormatInputPrompt(promptSource, changed);
    if (!input.IsEmpty()) {
        promptText = ReplaceInputMarker(
            ZLocMgr::GetInstance()->GetString(names.general, ZHashedString::None(), names.confirm), input);
    }
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
    if (font == nullptr || font->GetLineHeight() <= 0 || promptText.IsEmpty()) {
        return;
    }
    const float scale = 56.0f / static_cast<float>(font->GetLineHeight()) * 0.65f;
    float w = 0.0f;
    float h = 0.0f;
    font->DrawTextFormatted(promptText.GetText(), promptText.GetLength(), &w, &h, scale, scale);
    const ZColor32 white(255, 255, 255, 255);
    font->DrawText(promptText.GetText(), promptText.GetLength(), 992.0f - w, 736.0f - h, scale, scale, white, white,
                   2.0f);
}
