#pragma once

#include "foundation/ZString.h"
#include "menu/ZMenuItem.h"
#include "menu/ZTextEditBuffer.h"

// A menu item for typed text, shown as "[ text ]". Accept on it starts
// editing: the field then takes every menu event, runs its edit buffer's key
// pass each frame and draws a blinking caret. Accept keeps the typed text,
// Cancel brings back the text from before editing.
class ZMenuTextField : public ZMenuItem {
public:
    static constexpr int32_t kMaxLength = 24;

    void HandleInput(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // The buffer, the saved text and the shown text all become s (cut to the
    // maximum length).
    void SetText(const ZString& s) override;
    bool CapturesInput() const override { return IsSelectable(); }
    void DrawText(ZColor32 color) override;
    // Draws the text smaller when it would be wider than maxWidth (from the
    // scale set on the field, so a shorter text grows back), then places the item.
    void Refresh() override;
    void MeasureText(float* outWidth, float* outHeight, float scale) const override;

    // Sets only the shown text.
    void SetDisplayText(const ZString& s) { ZMenuItem::SetText(s); }
    ZString GetFieldText() const { return ZString(buffer.GetText()); }
    const ZTextEditBuffer& GetBuffer() const { return buffer; }
    ZTextEditBuffer& GetBuffer() { return buffer; }
    const ZString& GetSavedText() const { return savedText; }

    // The caret character at a time: "_" for the first half of each blink.
    static const char* CaretAt(float now, float lastEditTime);

    float maxWidth = 1024.0f;

private:
    ZTextEditBuffer buffer{kMaxLength};
    ZString savedText;  // the text before editing began
    float givenScale = 1.0f;   // the text scale set from outside
    float fittedScale = -1.0f; // the scale the last Refresh chose
};
