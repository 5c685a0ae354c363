#pragma once

#include <cstdint>

#include "foundation/ZString.h"

// The typed text of a text field: at most maxLength bytes with a caret. Once a
// frame HandleKeys reads the keyboard through the input handler (key repeat,
// Shift and Caps Lock through the character table, the editing keys and the
// clipboard). Every write is bounded by maxLength, whatever is typed, pasted
// or set, and the text always stays zero-terminated.
class ZTextEditBuffer {
public:
    explicit ZTextEditBuffer(int32_t maxLength);
    virtual ~ZTextEditBuffer();
    ZTextEditBuffer(const ZTextEditBuffer&) = delete;
    ZTextEditBuffer& operator=(const ZTextEditBuffer&) = delete;

    // One key pass; true when the text or the caret changed.
    bool HandleKeys();
    // Inserts at the caret; false (nothing changes) when the buffer is full
    // or the character is 0.
    bool InsertChar(char c);
    // Replaces the text by its first maxLength bytes; the caret goes to its end.
    // The next key pass inserts no character.
    void SetText(const char* text);
    void SetText(const ZString& text) { SetText(text.GetText()); }

    const char* GetText() const { return buffer; }
    int32_t GetLength() const { return length; }
    int32_t GetCaret() const { return caret; }
    int32_t GetMaxLength() const { return maxLength; }
    // Seconds of the global timer at the last change or caret move.
    float GetLastEditTime() const { return lastEditTime; }

private:
    void EraseAt(int32_t index);
    void Touch();

    int32_t maxLength;
    char* buffer;  // maxLength + 1 bytes
    int32_t caret = 0;
    int32_t length = 0;
    float lastEditTime = 0.0f;
    bool changed = false;
};
