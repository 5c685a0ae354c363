#include "game/components/DoorComponent.h"

#include <cmath>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZFont.h"

namespace {

ZEntity* EntityOf(const uint32_t handle) { return DynamicCast<ZEntity>(FindObjectByHandle(handle)); }

// One result list for every door search: the player's runs every fixed step.
CollisionResultArray& SearchResults() {
    static CollisionResultArray results;
    return results;
}

ZFont* PromptFont() {
    static const ZHashedString kPrompt("Prompt");
    if (const KorvanthGame* game = KorvanthGame::Get(); game != nullptr && game->GetTextFont() != nullptr) {
        return game->GetTextFont();
    }
    return GetGameFont(kPrompt);
}

}  // namespace

// The prompt names the bound input as it is ("Enter", "A"), without brackets.
DoorComponent::DoorComponent() : prompt(ZHashedString("Gameplay"), ZHashedString("Enter"), false) {}

uint32_t DoorComponent::FindDoorTarget() const {
    ZEntity* const owner = GetOwner();
    const ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(owner);
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(owner);
    if (collision == nullptr || spatial == nullptr || GetComponent<ZFacingComponent>(owner) == nullptr) {
        return 0;
    }
    ZCollisionInterface* const shape = collision->FindPrimitive(sweepShape.GetId());
    if (shape == nullptr) {
        return 0;
    }
    CollisionResultArray& results = SearchResults();
    results.Resize(0);
    OverlapQuery(ZCollisionWorld::GetInstance(), results, shape, spatial->current.position, doorMask);
    if (results.IsEmpty()) {
        return 0;
    }
    ZEntity* const door = ResolveComponent<ZEntity>(results[0].other);
    results.Resize(0);
    const DoorComponent* const other = GetComponent<DoorComponent>(door);
    if (other == nullptr) {
        return 0;
    }
    if (const MayEnterHook hook = GetMayEnterHook(); hook != nullptr && !hook(owner, door->GetHandle())) {
        return 0;
    }
    if (const MayBeEnteredHook hook = other->GetMayBeEnteredHook();
        hook != nullptr && !hook(door, owner->GetHandle())) {
        return 0;
    }
    return door->GetHandle();
}

bool DoorComponent::Enter() {
    const uint32_t targetHandle = target;
    if (targetHandle == 0 || FindObjectByHandle(targetHandle) == nullptr) {
        return false;
    }
    // A target without a door component (it lost it, or was set by hand) is
    // skipped: nothing fires, but there was a target.
    DoorComponent* const other = GetComponent<DoorComponent>(EntityOf(targetHandle));
    if (other != nullptr && GetOwner() != nullptr) {
        other->OnEntered(GetOwner()->GetHandle());
    }
    // The door's event may have taken the door away (a room change).
    return FindObjectByHandle(targetHandle) != nullptr;
}

void DoorComponent::OnEntered(const uint32_t entering) {
    static const ZHashedString kOnFrobbed("OnFrobbed");
    const uint32_t self = GetHandle();
    if (const OnEnterHook hook = GetOnEnterHook()) {
        hook(GetOwner(), entering);
        if (FindObjectByHandle(self) != this) {
            return;  // the hook took the door away
        }
    }
    FireEvent(this, kOnFrobbed, self, entering);
}

bool DoorComponent::GetPromptPosition(float& x, float& y) const {
    const ZSpatialComponent* const doorSpatial = GetComponent<ZSpatialComponent>(EntityOf(target));
    ZVector3 camera;
    if (doorSpatial == nullptr || !GetEntityCameraOrigin(GetOwner(), camera)) {
        return false;
    }
    const ZVector3& at = doorSpatial->interpolated.position;
    x = std::floor(at.x - camera.x + 128.0f + 0.0f + 0.5f) + 0.5f;
    y = std::floor(at.y - camera.y + 112.0f - 24.0f + 0.5f) + 0.5f;
    return true;
}

void DoorComponent::DrawPrompt() {
    float x = 0.0f;
    float y = 0.0f;
    if (!GetPromptPosition(x, y)) {
        return;
    }
    ZFont* const font = PromptFont();
    if (font == nullptr) {
        return;
    }
    static const ZHashedString kGameplay("Gameplay");
    static const ZHashedString kEnter("Enter");
    prompt.group = kGameplay;
    prompt.control = kEnter;
    bool changed = false;
    const ZString& text = FormatInputPrompt(prompt, changed);
    float width = 0.0f;
    float height = 0.0f;
    font->DrawTextFormatted(text.GetText(), text.GetLength(), &width, &height, 1.0f, 1.0f);
    const ZColor32 white = ZColor32::FromARGB(0xFFFFFFFFu);
    font->DrawText(text.GetText(), text.GetLength(), std::floor(x - 0.5f * width), std::floor(y - 0.5f * height), 1.0f,
                   1.0f, white, white);
}
