#include "menu/ZMenuTextField.h"

#include <cmath>
#include <cstring>

#include "foundation/ZTimer.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuEvent.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZFont.h"

namespace {

float MeasureWidth(ZFont* font, const char* s, const int32_t length, const float scale) {
    if (font == nullptr || length <= 0) {
        return 0.0f;
    }
    float w = 0.0f;
    float h = 0.0f;
    font->DrawTextFormatted(s, length, &w, &h, scale, scale);
    return w;
}

// Menus may type only while the menus have the keyboard: a menu is open or
// queued and the console is closed.
bool MenusHaveKeyboard() {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game != nullptr && game->GetConsole().IsOpen()) {
        return false;
    }
    ZMenuMgr* menus = GetMenuMgr();
    return menus->GetOpenMenuCount() > 0 || menus->GetQueuedOpenCount() > 0;
}

}  // namespace

const char* ZMenuTextField::CaretAt(const float now, const float lastEditTime) {
    return std::sin(8.0f * (now - lastEditTime) + 1.5707964f) > 0.0f ? "_" : " ";
}

void ZMenuTextField::HandleInput(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenuItem::HandleInput(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Accept:
            SetText(GetFieldText());
            if (owner != nullptr) {
                owner->ReceiveEvent(ZMenuEvent{ZMenuEventKind::EndEdit}, mouse);
            }
            break;
        case ZMenuEventKind::Cancel: {
            const ZString before = savedText;
            SetText(before);
            if (owner != nullptr) {
                owner->ReceiveEvent(ZMenuEvent{ZMenuEventKind::EndEdit}, mouse);
            }
            break;
        }
        case ZMenuEventKind::Tick:
            if (MenusHaveKeyboard() && buffer.HandleKeys()) {
                SetDisplayText(GetFieldText());
            }
            break;
        case ZMenuEventKind::BeginEdit: SetDisplayText(GetFieldText()); break;
        default: break;
    }
}

void ZMenuTextField::SetText(const ZString& s) {
    buffer.SetText(s);
    savedText = GetFieldText();
    ZMenuItem::SetText(savedText);
}

void ZMenuTextField::DrawText(const ZColor32 color) {
    if (font == nullptr) {
        return;
    }
    const char* t = buffer.GetText();
    const int32_t caret = buffer.GetCaret();
    const int32_t length = buffer.GetLength();
    float penX = left;
    const auto piece = [&](const char* s, const int32_t n) {
        if (n > 0) {
            font->DrawText(s, n, penX, top, textScale, textScale, color, color, 2.0f);
            penX += MeasureWidth(font, s, n, textScale);
        }
    };
    piece("[ ", 2);
    piece(t, caret);
    if (selected) {
        piece(CaretAt(static_cast<float>(gTimer.GetElapsed()), buffer.GetLastEditTime()), 1);
    }
    piece(t + caret, length - caret);
    piece(" ]", 2);
}

void ZMenuTextField::Refresh() {
    // Fitted from the scale the field was given, not from the last fit: a
    // text that gets shorter again is drawn at its size again.
    if (textScale != fittedScale) {
        givenScale = textScale;
    }
    textScale = givenScale;
    UpdateSize();
    if (width > maxWidth && width > 0.0f) {
        textScale = givenScale * maxWidth / width;
        UpdateSize();
    }
    fittedScale = textScale;
    PlaceRect(x, y, width, height, anchor, left, top);
}

void ZMenuTextField::MeasureText(float* outWidth, float* outHeight, const float scale) const {
    if (font == nullptr) {
        return;
    }
    const ZString all = ZString("[ ") + ZString(buffer.GetText()) + ZString("_ ]");
    font->DrawTextFormatted(all.GetText(), all.GetLength(), outWidth, outHeight, scale, scale);
}
