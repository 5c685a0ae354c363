#include "entity/ZPopupComponent.h"

#include <algorithm>
#include <cmath>

#include "entity/ZEntityGameHooks.h"
#include "entity/ZPopupBackdrop.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZTransform.h"

namespace {

float Saturate(const float value) { return value > 0.0f ? std::min(value, 1.0f) : 0.0f; }  // NaN gives 0

}  // namespace

ZPopupBackdrop* ZPopupComponent::FindBackdrop() {
    static const ZHashedString kName("Popup Backdrop");
    ZEntity* object = FindGameSceneObject(kName);
    return object != nullptr && object->IsA(ZPopupBackdrop::StaticType()) ? static_cast<ZPopupBackdrop*>(object)
                                                                          : nullptr;
}

ZPopupComponent::ZPopupComponent() {
    if (ZPopupBackdrop* backdrop = FindBackdrop()) {
        if (ZRenderable* drawable = backdrop->GetDrawable()) {
            drawable->visible = true;
            ZTransform::SetParent(drawable, this);
        }
    }
}

ZPopupComponent::~ZPopupComponent() {
    if (ZPopupBackdrop* backdrop = FindBackdrop()) {
        if (ZRenderable* drawable = backdrop->GetDrawable()) {
            drawable->visible = false;
            if (drawable->GetAttachedSource() == this) {
                ZTransform::SetParent(drawable, nullptr);
            }
        }
    }
}

bool ZPopupComponent::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                    ZParameterSource* source) {
    static const ZHashedString kOpacity("BackdropOpacity");
    if (binding != nullptr && binding->name == kOpacity) {
        binding->SetFloat(GetOpacity());
        return true;
    }
    ZParameterSource* attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}

float ZPopupComponent::GetOpacity() const {
    if (queue.IsEmpty()) {
        return 0.0f;
    }
    const float t = queue[0].remaining;
    if (t < kFadeTime) {
        return Saturate(t / kFadeTime);
    }
    if (t > kShowTime - kFadeTime) {
        return Saturate((t - kShowTime) * -2.0f);
    }
    return 1.0f;
}

void ZPopupComponent::RemoveFirst() {
    if (!queue.IsEmpty()) {
        queue.RemoveAt(0);
    }
}

void ZPopupComponent::Tick(const float frameTime) {
    if (!queue.IsEmpty()) {
        queue[0].remaining -= frameTime;
        // NaN compares false everywhere: a message with no valid time goes too.
        if (!(queue[0].remaining >= 0.0f)) {
            RemoveFirst();
        }
    }
    Render();
}

void ZPopupComponent::Render() {
    static const ZHashedString kPopupFont("Popup");
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    GetGameScreenSize(screenWidth, screenHeight);
    const auto w = static_cast<float>(screenWidth);
    const auto h = static_cast<float>(screenHeight);
    const float scale = (h / 768.0f) * 0.5f;
    const float bannerWidth = std::min(w, h * 4.0f / 3.0f);
    const float left = (w - bannerWidth) * 0.5f;
    ZFont* font = GetGameFont(kPopupFont);
    const float margin = font != nullptr ? static_cast<float>(font->GetLineHeight()) * scale : 0.0f;
    const float opacity = GetOpacity();
    float textHeight = 0.0f;
    if (!queue.IsEmpty() && font != nullptr) {
        const ZString& text = queue[0].text;
        const float widthLimit = bannerWidth - 2.0f * margin;
        float textWidth = 0.0f;
        font->DrawTextFormatted(text.GetText(), text.GetLength(), &textWidth, &textHeight, scale, scale, widthLimit);
        // The banner stands at the top of the screen, its text centred in it.
        const float x = std::floor(left + margin + (widthLimit - textWidth) * 0.5f);
        const float y = std::floor(margin);
        const auto alpha = static_cast<uint8_t>(static_cast<int32_t>(opacity * 255.0f));
        const ZColor32 white(255, 255, 255, alpha);
        font->DrawText(text.GetText(), text.GetLength(), x, y, scale, scale, white, white, 0.0f, widthLimit);
    }
    if (ZPopupBackdrop* backdrop = FindBackdrop()) {
        if (ZRenderable* drawable = backdrop->GetDrawable()) {
            drawable->visible = opacity > 0.0f;
        }
        backdrop->width = w > 0.0f ? bannerWidth / w : 0.0f;
        backdrop->height = h > 0.0f ? (2.0f * margin + textHeight) / h : 0.0f;
    }
}
