#include "entity/ZDialogConsumerComponent.h"

#include <algorithm>

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDialogNode.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "foundation/ZHandleRegistry.h"

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
    if (ZDialogProviderComponent* speaker = ResolveProvider()) {
        ZDefinedComponent::FireEvent(speaker, kOnClosed, speakerHandle, GetHandle());
    }
    // The commands may run further conversations; take the list first.
    ZArray<ZString> commands = static_cast<ZArray<ZString>&&>(deferred);
    deferred.Clear();
    const uint32_t self = GetHandle();
    for (const ZString& command : commands) {
        RunCommandText(command, speakerHandle, self);
    }
    if (ZRTTIBase* stillHere = FindObjectByHandle(self); stillHere == this) {
        if (ZDialogProviderComponent* speaker = ResolveProvider(); speaker != nullptr && speaker->consumer == self) {
            speaker->consumer = 0;
        }
        if (provider == speakerHandle) {
            provider = 0;
            text = ZString();
            rest = ZString();
            revealed = 0.0f;
            shown = 0;
            selected = -1;
            guardTimer = -1.0f;
        }
    }
    ShowGameDialogText(1);
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
    if (ZDialogProviderComponent* speaker = ResolveProvider(); speaker != nullptr && speaker->Advance(selected, false, false)) {
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
