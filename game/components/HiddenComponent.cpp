#include "game/components/HiddenComponent.h"

#include "entity/ZCollisionComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvanthGame.h"

bool GamePlayerHasPowerup(const uint32_t powerupId) {
    const KorvanthGame* const game = KorvanthGame::Get();
    const Player* const player = game != nullptr ? game->GetPlayer() : nullptr;
    return player != nullptr && HasPowerup(*player, powerupId, false);
}

void HiddenComponent::AttachHook() { ApplyVisibility(); }

void HiddenComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kFully("Fully");
    if (element.GetAttribute(kFully) == "true") {
        fully = true;
    }
    ApplyVisibility();
}

void HiddenComponent::ApplyVisibility() {
    ZEntity* const entity = GetOwner();
    if (entity == nullptr) {
        return;
    }
    const bool shown = GamePlayerHasPowerup(kMaskPowerup);
    entity->SetAllComponentsEnabled(shown);
    // A switched-off component alone neither hides a drawable nor takes a
    // shape out of the sweeps: both are told directly.
    if (ZRenderableComponent* const renderables = GetComponent<ZRenderableComponent>(entity)) {
        renderables->SetRenderablesVisible(shown);
    }
    if (ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(entity)) {
        collision->SetEnabled(shown);
    }
}

void HiddenComponent::PostLoadHook() {
    // Again now that every component of the entity exists, whatever the
    // order of the definition's elements.
    ApplyVisibility();
    if (!fully || GamePlayerHasPowerup(kMaskPowerup)) {
        return;
    }
    ZDeleteComponent* const deletion = ResolveComponent<ZDeleteComponent>(this);
    if (deletion != nullptr && deletion->mayBeDeleted) {
        deletion->deletePending = true;
        if (ZEntity* const entity = deletion->GetOwner()) {
            entity->SetAllComponentsEnabled(false);
        }
    }
}
