#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZString.h"
#include "menu/ZMenuItem.h"

// A horizontal slider drawn from the "ui" glyph set: a bar of a left cap, six
// middle pieces and a right cap, and a knob. Left and right step the knob,
// the mouse drags it or places it with a click, and marked values within 2 %
// of the bar pull the knob onto them. The value runs from minimum (left end)
// to maximum (right end); a range without width holds the value at minimum.
class ZMenuSlider : public ZMenuItem {
public:
    ZMenuSlider();

    // The text is always the bar.
    void SetText(const ZString& newText) override;
    bool IsHorizontalAdjustable() const override { return true; }
    // Moves the knob by step x the step fraction of the bar, snapping only
    // onto a mark ahead of it.
    void Adjust(int32_t step) override;
    // Moves the knob by delta units (no snapping while it moves).
    void Drag(float delta) override;
    // Puts the knob under the menu-space x.
    void SetFromPosition(float px) override;
    // The wanted position becomes the shown one.
    void EndDrag() override;
    void DrawText(ZColor32 color) override;
    void MeasureText(float* outWidth, float* outHeight, float scale) const override;
    // Clamps and snaps the wanted position into the shown one. Modes: 0 snap
    // to the nearest mark, 1 only to a mark below, 2 only to one above, any
    // other no snapping.
    virtual void SnapKnob(int32_t mode);

    // minimum + (maximum - minimum) x the knob's share of the bar.
    float GetValue() const;
    // Puts the knob at the value (snapping to a nearby mark).
    void SetValue(float v);
    // Adds a mark at a share (0..1) of the bar.
    void AddSnapPoint(float fraction) { snapPoints.PushBack(fraction); }

    float minimum = 0.0f;
    float maximum = 1.0f;
    float value = 0.0f;         // the last value given to SetValue
    float stepFraction = 0.05f;  // the share of the bar one Adjust moves
    ZArray<float> snapPoints;
    ZString barText;   // inline glyphs of the bar
    ZString knobText;  // the inline glyph of the knob
    float dragPosition = 0.0f;   // wanted knob position, units from the bar's left edge
    float shownPosition = 0.0f;  // drawn knob position, after clamping and snapping

protected:
    // The bar's length for the knob's arithmetic: its width, or 1 while it
    // has none (no font), so that no position divides by zero.
    float BarLength() const { return width > 0.0f ? width : 1.0f; }
};
