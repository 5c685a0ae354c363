#include "menu/ZTextEditBuffer.h"

#include <algorithm>
#include <cstring>

#include "foundation/ZTimer.h"
#include "framework/ZClipboard.h"
#include "input/ZInputHandler.h"
#include "platform/window/keycodes.h"
#include "platform/window/window.h"

namespace {

// Keys that edit or leave the field and never type a character.
bool IsEditingKey(const uint8_t key) {
    using namespace platform;
    switch (key) {
        case DIK_GRAVE: case DIK_BACK: case DIK_DELETE: case DIK_RETURN: case DIK_NUMPADENTER:
        case DIK_UP: case DIK_DOWN: case DIK_LEFT: case DIK_RIGHT: case DIK_HOME: case DIK_END:
        case DIK_ESCAPE: case DIK_TAB:
            return true;
        default: return false;
    }
}

}  // namespace

ZTextEditBuffer::ZTextEditBuffer(const int32_t maxLengthIn)
    : maxLength(std::max(maxLengthIn, 0)), buffer(new char[static_cast<size_t>(maxLength) + 1]()) {}

ZTextEditBuffer::~ZTextEditBuffer() { delete[] buffer; }

void ZTextEditBuffer::Touch() { lastEditTime = static_cast<float>(gTimer.GetElapsed()); }

bool ZTextEditBuffer::InsertChar(const char c) {
    if (c == 0 || length >= maxLength) {
        return false;
    }
    std::memmove(buffer + caret + 1, buffer + caret, static_cast<size_t>(length - caret));
    buffer[caret] = c;
    ++length;
    ++caret;
    buffer[length] = 0;
    Touch();
    return true;
}

void ZTextEditBuffer::EraseAt(const int32_t index) {
    if (index < 0 || index >= length) {
        return;
    }
    std::memmove(buffer + index, buffer + index + 1, static_cast<size_t>(length - index - 1));
    --length;
    buffer[length] = 0;
    Touch();
}

void ZTextEditBuffer::SetText(const char* text) {
    std::memset(buffer, 0, static_cast<size_t>(maxLength) + 1);
    const size_t available = text != nullptr ? std::strlen(text) : 0;
    const int32_t count = static_cast<int32_t>(std::min(available, static_cast<size_t>(maxLength)));
    if (count > 0) {
        std::memcpy(buffer, text, static_cast<size_t>(count));
    }
    length = count;
    caret = count;
    changed = true;
    Touch();
}

bool ZTextEditBuffer::HandleKeys() {
    using namespace platform;
    ZInputHandler* input = GetInputHandler();
    const bool suppressTyping = changed;
    changed = false;
    bool result = false;

    bool shift = false;
    bool capsLock = false;
    if (const window::WindowSystem* system = window::GetWindowSystem()) {
        shift = (static_cast<uint16_t>(system->GetKeyState(VK_SHIFT)) & 0x8000u) != 0;
        capsLock = (system->GetKeyState(VK_CAPITAL) & 1) != 0;
    }
    const bool ctrl = input->IsKeyDown(DIK_LCONTROL) || input->IsKeyDown(DIK_RCONTROL);
    const bool alt = input->IsKeyDown(DIK_LMENU) || input->IsKeyDown(DIK_RMENU);

    if (caret < maxLength && !ctrl && !alt) {
        bool inserted = suppressTyping;
        for (int code = 0; code < 256; ++code) {
            const uint8_t key = static_cast<uint8_t>(code);
            if (IsEditingKey(key) || !input->CheckKeyRepeat(key)) {
                continue;
            }
            const char c = static_cast<char>(input->GetChar(key, shift, capsLock));
            if (c != 0 && !inserted) {
                inserted = true;
                result = InsertChar(c) || result;
            }
        }
    }
    if (input->CheckKeyRepeat(DIK_BACK) && caret > 0) {
        --caret;
        EraseAt(caret);
        result = true;
    }
    if (input->CheckKeyRepeat(DIK_DELETE) && caret < length) {
        EraseAt(caret);
        result = true;
    }
    if (input->CheckKeyRepeat(DIK_LEFT)) {
        caret = std::max(caret - 1, 0);
        Touch();
        result = true;
    }
    if (input->CheckKeyRepeat(DIK_RIGHT)) {
        caret = std::min(caret + 1, length);
        Touch();
        result = true;
    }
    if (input->WasKeyPressed(DIK_HOME)) {
        caret = 0;
        Touch();
        result = true;
    }
    if (input->WasKeyPressed(DIK_END)) {
        caret = length;
        Touch();
        result = true;
    }
    if (ctrl) {
        if (input->WasKeyPressed(DIK_C)) {
            SetClipboardText(ZString(buffer));
        }
        if (input->CheckKeyRepeat(DIK_V)) {
            ZString clip;
            GetClipboardText(clip);
            const char* p = clip.GetText();
            // Only the first line; InsertChar stops at the maximum length.
            for (; p != nullptr && *p != 0 && *p != '\n' && *p != '\r'; ++p) {
                if (!InsertChar(*p)) {
                    break;
                }
                result = true;
            }
        }
    }
    return result;
}
