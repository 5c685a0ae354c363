#include "entity/ZPickupComponent.h"

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZShadowComponent.h"
#include "foundation/ZHandleRegistry.h"

void ZPickupComponent::OnPickedUp(ZEntity* const picker) {
    static const ZHashedString kPickup("Pickup");
    ZEntity* const picked = GetOwner();
    if (picked == nullptr) {
        return;
    }
    SnapEntityStates(picked);
    const uint32_t self = GetHandle();
    const uint32_t pickerHandle = ZRTTIBase::GetHandle(picker);
    ZBasingComponent* rider = GetComponent<ZBasingComponent>(picked);
    if (rider != nullptr && rider->parent != nullptr && rider->parent != picker &&
        GetComponent<ZBasingComponent>(picker) != nullptr) {
        // Off the old carrier first: one rider on two carriers' lists outlives
        // its deletion on the one it no longer names.
        rider->Detach();
        if (FindObjectByHandle(self) != this || (picker != nullptr && FindObjectByHandle(pickerHandle) == nullptr)) {
            return;  // the old carrier's "OnUnbased" deleted one of us
        }
        rider = GetComponent<ZBasingComponent>(picked);
    }
    ZBasingComponent* const carrier = GetComponent<ZBasingComponent>(picker);
    if (rider != nullptr && carrier != nullptr) {
        rider->parent = picker;
        carrier->AddChild(picked);
        if (FindObjectByHandle(self) != this) {
            return;  // the carrier's "OnBased" deleted what it picked up
        }
        SetEntityBasedOffset(picked, ZVector3(0.0f, 0.0f, 1.8f));
    }
    if (ZAudioMgr* audio = GetAudioMgr(); audio != nullptr && audio->FindSound(kPickup) != nullptr) {
        if (ZVoice* voice = audio->PlaySound(kPickup)) {
            voice->SetVolume(0.8f);
        }
    }
    SetEntityResting(picked);
    if (ZShadowComponent* shadow = GetComponent<ZShadowComponent>(picked)) {
        shadow->locked = 0;
    }
}
