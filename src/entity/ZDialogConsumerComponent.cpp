#include "entity/ZDialogConsumerComponent.h"

#include <algorithm>
#include <cmath>

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDialogNode.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "foundation/ZHandleRegistry.h"
#include "renderer/AnaglyphBackdropShader.h"
#include "renderer/ZDialogBackdrop.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"

namespace {

constexpr float kDefaultTypingRate = 64.0f;  // characters per second
constexpr float kPageGuard = 0.1f;          // seconds the page's last keypress is ignored

void PlayTypingVoice() {
    static const ZHashedString kTalky("Talky");
    ZAudioMgr* audio = GetAudioMgr();
    ZVoice* sound = audio != nullptr ? audio->FindSound(kTalky) : nullptr;
    if (ZVoice* voice = sound != nullptr ? sound->Play(false) : nullptr) {
        voice->SetVolume(0.65f);
    }
}

}  // namespace

ZDialogConsumerComponent::ZDialogConsumerComponent()
    : acceptPrompt(ZHashedString("Menus"), ZHashedString("Accept"), true) {}

ZDialogProviderComponent* ZDialogConsumerComponent::ResolveProvider() const {
    ZRTTIBase* object = FindObjectByHandle(provider);
    if (object == nullptr || !object->IsA(ZDialogProviderComponent::StaticType())) {
        return nullptr;
    }
    return static_cast<ZDialogProviderComponent*>(object);
}

void ZDialogConsumerComponent::OpenDialog(ZDialogProviderComponent* const speaker) {
    if (speaker == nullptr) {
        return;
    }
    speaker->consumer = GetHandle();
    provider = speaker->GetHandle();
    text = speaker->text;
    rest = ZString();
    revealed = 0.0f;
    shown = 0;
    guardTimer = -1.0f;
    selected = speaker->options.IsEmpty() ? -1 : speaker->defaultOption;
}

void ZDialogConsumerComponent::CloseDialog() {
    static const ZHashedString kOnClosed("OnClosed");
    const uint32_t speakerHandle = provider;
    const uint32_t self = GetHandle();
    ZDialogProviderComponent* const closing = ResolveProvider();
    // The conversation is over before anything it set off runs: a command
    // below may open the next one, with this speaker or another.
    provider = 0;
    text = ZString();
    rest = ZString();
    revealed = 0.0f;
    shown = 0;
    guardTimer = -1.0f;
    selected = -1;
    ShowGameDialogText(1);
    if (closing != nullptr) {
        ZDefinedComponent::FireEvent(closing, kOnClosed, speakerHandle, self);
        // The event's actions may have taken the speaker away.
        if (FindObjectByHandle(speakerHandle) == closing) {
            closing->consumer = 0;
        }
    }
    if (FindObjectByHandle(self) != this) {
        return;  // the event's actions took the listener away
    }
    // The commands may run further conversations, which defer commands of
    // their own: take the list first.
    ZArray<ZString> commands = static_cast<ZArray<ZString>&&>(deferred);
    deferred.Clear();
    for (const ZString& command : commands) {
        RunCommandText(command, speakerHandle, self);
    }
    if (FindObjectByHandle(self) == this && closing != nullptr && closedCallback != nullptr) {
        closedCallback(GetOwner());
    }
}

void ZDialogConsumerComponent::TickTypewriter() {
    if (text.IsEmpty()) {
        return;
    }
    const float frame = GetGameFrameTime();
    guardTimer -= frame;
    const int32_t target = text.GetCharCount() - rest.GetCharCount();
    if (shown >= target) {
        return;
    }
    float rate = kDefaultTypingRate;
    if (const ZDialogProviderComponent* speaker = ResolveProvider(); speaker != nullptr && speaker->typingRate > 0.0f) {
        rate = speaker->typingRate;
    }
    revealed += frame * rate;
    const float cap = static_cast<float>(target);
    shown = revealed >= cap ? target : std::max(0, static_cast<int32_t>(revealed));
    if (shown < target) {
        ShowGameDialogText(5);
    } else {
        ShowGameDialogText(6);
        guardTimer = kPageGuard;
    }
    PlayTypingVoice();
}

bool ZDialogConsumerComponent::Accept() {
    const int32_t target = text.GetCharCount() - rest.GetCharCount();
    if (shown < target) {
        shown = target;
        revealed = static_cast<float>(target);
        ShowGameDialogText(6);
        guardTimer = kPageGuard;
        return true;
    }
    if (!rest.IsEmpty()) {
        text = rest;
        rest = ZString();
        revealed = 0.0f;
        shown = 0;
        guardTimer = -1.0f;
        return true;
    }
    const uint32_t self = GetHandle();
    bool advanced = false;
    if (ZDialogProviderComponent* speaker = ResolveProvider()) {
        advanced = speaker->Advance(selected, false, false);
        if (FindObjectByHandle(self) != this) {
            return false;  // the conversation's commands took the listener away
        }
    }
    // The speaker may be gone now too.
    if (ZDialogProviderComponent* speaker = ResolveProvider(); advanced && speaker != nullptr) {
        text = speaker->text;
        revealed = 0.0f;
        shown = 0;
        guardTimer = -1.0f;
        selected = speaker->options.IsEmpty() ? -1 : speaker->defaultOption;
        return true;
    }
    CloseDialog();
    return false;
}

bool ZDialogConsumerComponent::MoveSelection(const int32_t delta) {
    const ZDialogProviderComponent* speaker = ResolveProvider();
    if (speaker == nullptr || speaker->options.IsEmpty() || !IsPageComplete() || !rest.IsEmpty()) {
        return false;
    }
    const auto count = static_cast<int64_t>(speaker->options.Count());
    int64_t next = (static_cast<int64_t>(selected) + delta) % count;
    if (next < 0) {
        next += count;
    }
    selected = static_cast<int32_t>(next);
    return true;
}

bool ZDialogConsumerComponent::CanCancel() const {
    const ZDialogProviderComponent* speaker = ResolveProvider();
    if (speaker == nullptr || speaker->GetCurrent() == nullptr) {
        return true;
    }
    return speaker->GetCurrent()->noClose == 0;
}

void ZDialogConsumerComponent::Render(const int32_t placement) {
    static const ZHashedString kDialogFont("Dialog");
    static const ZHashedString kBackdropName("Dialog Backdrop");
    const ZDialogProviderComponent* speaker = ResolveProvider();
    const int32_t boxChars = speaker != nullptr && speaker->boxWidth > 0 ? speaker->boxWidth : -1;
    const int32_t rows = speaker != nullptr && speaker->rows > 0 ? speaker->rows : 3;
    const int32_t minimumRows = speaker != nullptr && speaker->minimumRows > 0 ? speaker->minimumRows : -1;
    ZFont* const font = GetGameFont(kDialogFont);
    const float line = font != nullptr ? static_cast<float>(font->GetLineHeight()) : 8.0f;
    const float boxWidth = boxChars > 0 ? static_cast<float>(boxChars) * 8.0f : 208.0f;
    const bool showing = !text.IsEmpty();
    const bool offerOptions = showing && speaker != nullptr && !speaker->options.IsEmpty() && IsPageComplete() &&
                              rest.IsEmpty();

    float textBlock = 0.0f;
    const float optionBlock = offerOptions ? 2.0f * static_cast<float>(speaker->options.Count()) * line : 0.0f;
    if (showing && font != nullptr) {
        const float areaWidth = boxWidth - 2.0f * line;
        const float areaHeight = (2.0f * static_cast<float>(rows) - 1.0f + 0.5f) * line;
        float left = (256.0f - boxWidth) / 2.0f + line;
        if (boxChars > 0) {
            left += static_cast<float>(26 - boxChars) * 4.0f;  // a narrower box keeps the right edge
        }
        // Lay the page out; the part that does not fit waits as the next page.
        float laidWidth = 0.0f;
        const char* const begin = text.GetText();
        const char* const stop =
            font->DrawTextFormatted(begin, text.GetLength(), &laidWidth, &textBlock, 1.0f, 1.0f, areaWidth, areaHeight);
        const auto fitted = static_cast<int32_t>(stop - begin);
        SetRest(fitted > 0 && fitted < text.GetLength() ? ZString::FromBytes(stop, text.GetLength() - fitted)
                                                          : ZString());
        if (minimumRows > 0) {
            textBlock = std::max(textBlock, (2.0f * static_cast<float>(minimumRows) - 1.0f) * line);
        }
        float top = 0.0f;
        if (placement == 0) {
            top = 32.0f;
        } else if (placement == 1) {
            top = 192.0f - textBlock - optionBlock;
        }
        const float x = std::floor(left + 0.5f);
        const float y = std::floor(top + 0.5f);
        const ZColor32 colour(252, 252, 252, 255);
        const int32_t shownBytes = text.CharToByteOffset(std::max(0, shown));
        font->DrawText(begin, std::min(shownBytes, fitted > 0 ? fitted : text.GetLength()), x, y, 1.0f, 1.0f, colour,
                       colour, 0.0f, areaWidth, areaHeight);
        if (offerOptions) {
            for (uint32_t i = 0; i < speaker->options.Count(); ++i) {
                const ZString label = (static_cast<int32_t>(i) == selected ? ZString("\xC2\xBB ") : ZString("  ")) +
                                      speaker->options[i].label;
                const float optionY = y + textBlock + line + 2.0f * line * static_cast<float>(i);
                font->DrawText(label.GetText(), label.GetLength(), x, std::floor(optionY + 0.5f), 1.0f, 1.0f, colour,
                               colour, 0.0f, areaWidth);
            }
        }
        bool changed = false;
        const ZString& accept = FormatInputPrompt(acceptPrompt, changed);
        float promptWidth = 0.0f;
        font->DrawTextFormatted(accept.GetText(), accept.GetLength(), &promptWidth, nullptr, 1.0f, 1.0f);
        const float promptY = y + textBlock + optionBlock;
        font->DrawText(accept.GetText(), accept.GetLength(), std::floor(x + areaWidth - promptWidth + 0.5f),
                       std::floor(promptY + 0.5f), 1.0f, 1.0f, colour, colour);
    }

    ZEntity* const object = FindGameSceneObject(kBackdropName);
    if (object != nullptr && object->IsA(ZDialogBackdrop::StaticType())) {
        auto* const backdrop = static_cast<ZDialogBackdrop*>(object);
        if (ZRenderableComponent* drawables = GetComponent<ZRenderableComponent>(backdrop)) {
            if (ZRenderable* drawable = drawables->GetRenderable(ZHashedString::None())) {
                drawable->visible = showing;
            }
        }
        if (AnaglyphBackdropShader* shader = backdrop->GetShader()) {
            shader->halfWidth = boxChars > 0 ? static_cast<float>(boxChars + 2) * 8.0f / 256.0f : 0.875f;
            shader->halfHeight = (textBlock + optionBlock + 4.0f * line) / 224.0f;
            shader->placement = placement;
        }
    }
    SetGameDialogShade(showing ? 0.0f : 1.0f);
}
