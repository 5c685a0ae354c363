#include "entity/ZPickupComponent.h"

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZShadowComponent.h"

void ZPickupComponent::OnPickedUp(ZEntity* const picker) {
    static const ZHashedString kPickup("Pickup");
    ZEntity* const picked = GetOwner();
    if (picked == nullptr) {
        return;
    }
    SnapEntityStates(picked);
    ZBasingComponent* const rider = GetComponent<ZBasingComponent>(picked);
    ZBasingComponent* const carrier = GetComponent<ZBasingComponent>(picker);
    if (rider != nullptr && carrier != nullptr) {
        rider->parent = picker;
        carrier->AddChild(picked);
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
