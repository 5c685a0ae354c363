#include "entity/ZFrobComponent.h"

#include <cmath>

#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "renderer/ZFont.h"

namespace {

ZEntity* EntityOf(const uint32_t handle) {
    ZRTTIBase* object = FindObjectByHandle(handle);
    return object != nullptr && object->IsA(ZEntity::StaticType()) ? static_cast<ZEntity*>(object) : nullptr;
}

float Snap(const float value) { return std::floor(value + 0.5f) + 0.5f; }

}  // namespace

ZFrobComponent::ZFrobComponent() : prompt(ZHashedString("Gameplay"), ZHashedString("Interact"), true) {}

void ZFrobComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kOffset("Offset");
    ZSerialComponent::ReadDefinition(element);
    if (element.HasAttribute(kOffset)) {
        offset = element.GetAttribute(kOffset).ToFloat();
    }
}

uint32_t ZFrobComponent::FindTarget() const {
    ZEntity* const owner = GetOwner();
    ZVector3 from;
    // A frobber faces somewhere: without a facing component it reaches nothing.
    if (owner == nullptr || GetComponent<ZFacingComponent>(owner) == nullptr || !GetEntityPosition(owner, from)) {
        return 0;
    }
    const int32_t facing = GetEntityFacing(owner);
    const float direction = facing == 1 ? -1.0f : facing == 2 ? 1.0f : 0.0f;
    const ZVector3 to = from + ZVector3(reach * direction, 0.0f, 0.0f);
    return ChooseTarget(FindEntityInReach(owner, primitiveKey, from, to, filterMask));
}

uint32_t ZFrobComponent::ChooseTarget(ZEntity* const candidate) const {
    const ZFrobComponent* other = GetComponent<ZFrobComponent>(candidate);
    if (other == nullptr || GetOwner() == nullptr) {
        return 0;
    }
    if (!CanFrob(candidate->GetHandle()) || !other->CanFrobB(GetOwner()->GetHandle())) {
        return 0;
    }
    return candidate->GetHandle();
}

bool ZFrobComponent::CanFrob(const uint32_t candidate) const {
    const Check check = GetCheckA();
    return check == nullptr || check(GetOwner(), candidate);
}

bool ZFrobComponent::CanFrobB(const uint32_t frobber) const {
    const Check check = GetCheckB();
    return check == nullptr || check(GetOwner(), frobber);
}

void ZFrobComponent::Frob(const uint32_t frobber) {
    static const ZHashedString kOnFrobbed("OnFrobbed");
    const uint32_t self = GetHandle();
    if (const FrobbedCallback callback = GetOnFrobbed()) {
        callback(GetOwner(), frobber);
        if (FindObjectByHandle(self) != this) {
            return;  // the callback took the target away; there is no event to fire
        }
    }
    FireEvent(this, kOnFrobbed, self, frobber);
}

bool ZFrobComponent::TryFrob() {
    const uint32_t targetHandle = target;  // the event may take the frobber away too
    ZEntity* const targetEntity = EntityOf(targetHandle);
    ZFrobComponent* const targetFrob = GetComponent<ZFrobComponent>(targetEntity);
    if (targetFrob == nullptr || GetOwner() == nullptr) {
        return false;
    }
    targetFrob->Frob(GetOwner()->GetHandle());
    return EntityOf(targetHandle) != nullptr;
}

void ZFrobComponent::PromptPosition(const ZVector3& targetPosition, const ZVector3& cameraOrigin,
                                    const float targetOffset, float& x, float& y) {
    x = Snap(targetPosition.x - cameraOrigin.x + 128.0f);
    y = Snap(targetPosition.y - cameraOrigin.y + 112.0f + (targetOffset - 16.0f));
}

bool ZFrobComponent::GetPromptPosition(float& x, float& y) const {
    ZEntity* const targetEntity = EntityOf(target);
    const ZFrobComponent* targetFrob = ResolveComponent<ZFrobComponent>(targetEntity);
    const ZSpatialComponent* const targetSpatial = GetComponent<ZSpatialComponent>(targetEntity);
    ZVector3 camera;
    if (targetFrob == nullptr || targetSpatial == nullptr || !GetEntityCameraOrigin(GetOwner(), camera)) {
        return false;
    }
    // Where the target is drawn this frame, between its last two steps.
    PromptPosition(targetSpatial->interpolated.position, camera, targetFrob->offset, x, y);
    return true;
}

void ZFrobComponent::DrawPrompt() {
    static const ZHashedString kPromptFont("Prompt");
    float x = 0.0f;
    float y = 0.0f;
    if (!GetPromptPosition(x, y)) {
        return;
    }
    ZFont* const font = GetGameFont(kPromptFont);
    if (font == nullptr) {
        return;
    }
    prompt.group = ZHashedString("Gameplay");
    prompt.control = ZHashedString("Interact");
    bool changed = false;
    const ZString& text = FormatInputPrompt(prompt, changed);
    float width = 0.0f;
    float height = 0.0f;
    font->DrawTextFormatted(text.GetText(), text.GetLength(), &width, &height, 1.0f, 1.0f);
    const ZColor32 white = ZColor32::FromARGB(0xFFFFFFFFu);
    font->DrawText(text.GetText(), text.GetLength(), std::floor(x - width / 2.0f), std::floor(y - height / 2.0f), 1.0f,
                   1.0f, white, white);
}
