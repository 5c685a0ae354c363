#include "menu/ZMenuSlider.h"

#include <cmath>

#include "renderer/ZFont.h"

ZMenuSlider::ZMenuSlider() {
    kind = kSlider;
    barText = ZString(
                  "<img>ui:s_l<img><img>ui:s_m<img><img>ui:s_m<img><img>ui:s_m<img><img>ui:s_m<img>"
                  "<img>ui:s_m<img><img>ui:s_m<img><img>ui:s_r<img>")
                  .EncodeImageTags();
    knobText = ZString("<img>ui:s_b<img>").EncodeImageTags();
}

void ZMenuSlider::SetText(const ZString& /*newText*/) {
    // The slider's text is its bar; a caller's text would hide it.
    Refresh();
}

void ZMenuSlider::Adjust(const int32_t step) {
    dragPosition += stepFraction * BarLength() * static_cast<float>(step);
    SnapKnob(step >= 0 ? 2 : 1);
    EndDrag();
}

void ZMenuSlider::Drag(const float delta) {
    dragPosition += delta;
    SnapKnob(delta == 0.0f ? 0 : -1);
}

void ZMenuSlider::SetFromPosition(const float px) {
    dragPosition = px - left;
    SnapKnob(px == 0.0f ? 0 : -1);
}

void ZMenuSlider::EndDrag() { dragPosition = shownPosition; }

void ZMenuSlider::SnapKnob(const int32_t mode) {
    const float length = BarLength();
    // NaN (a value that was not a number) reads as the left end.
    float t = dragPosition > 0.0f ? dragPosition : 0.0f;
    t = (t < length ? t : length) / length;
    int32_t nearest = -1;
    float nearestDistance = 0.0f;
    for (uint32_t i = 0; i < snapPoints.Count(); ++i) {
        const float d = std::fabs(t - snapPoints[i]);
        if (nearest < 0 || d < nearestDistance) {
            nearest = static_cast<int32_t>(i);
            nearestDistance = d;
        }
    }
    if (nearest >= 0 && nearestDistance < 0.02f) {
        const float p = snapPoints[static_cast<uint32_t>(nearest)];
        if (mode == 0 || (mode == 1 && p < t - 0.0001f) || (mode == 2 && p > t + 0.0001f)) {
            t = p;
        }
    }
    shownPosition = t * length;
}

float ZMenuSlider::GetValue() const {
    const float v = minimum + (maximum - minimum) * shownPosition / BarLength();
    // Rounding must not step outside the range.
    if (!(v > minimum)) {
        return minimum;
    }
    return v < maximum ? v : maximum;
}

void ZMenuSlider::SetValue(const float v) {
    value = v;
    const float range = maximum - minimum;
    dragPosition = range > 0.0f ? BarLength() * (v - minimum) / range : 0.0f;
    SnapKnob(0);
    EndDrag();
}

void ZMenuSlider::MeasureText(float* outWidth, float* outHeight, const float scale) const {
    if (font != nullptr) {
        font->DrawTextFormatted(barText.GetText(), barText.GetLength(), outWidth, outHeight, scale, scale);
    }
}

void ZMenuSlider::DrawText(const ZColor32 color) {
    if (font == nullptr) {
        return;
    }
    font->DrawText(barText.GetText(), barText.GetLength(), left, top, textScale, textScale, color, color);
    float knobWidth = 0.0f;
    font->DrawTextFormatted(knobText.GetText(), knobText.GetLength(), &knobWidth, nullptr, textScale, textScale);
    font->DrawText(knobText.GetText(), knobText.GetLength(), left + shownPosition - knobWidth * 0.5f, top, textScale,
                   textScale, color, color);
}
