#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZBaseGame.h"
#include "game/components/DoorComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerDialog.h"
#include "game/world/KorvanthGame.h"
#include "input/ZPlayerControllerComponent.h"
#include "renderer/ZCamera.h"

namespace {

void Cue(const int32_t cue) {
    if (KorvanthGame* game = KorvanthGame::Get()) {
        game->PlayDialogSound(cue);
    }
}

}  // namespace

void StepDialogInput(Player& player, ZDialogConsumerComponent& consumer) {
    static const ZHashedString kMenus("Menus");
    static const ZHashedString kGameplay("Gameplay");
    static const ZHashedString kNavUp("NavUp");
    static const ZHashedString kNavDown("NavDown");
    static const ZHashedString kCancel("Cancel");
    static const ZHashedString kAccept("Accept");
    const ZPlayerControllerComponent* const controls = player.controller;
    if (controls == nullptr) {
        return;
    }
    if (controls->WasActionPressedRepeating(kMenus, kNavUp)) {
        player.inactivityTime = 0.0f;
        if (consumer.MoveSelection(-1)) Cue(3);
        return;
    }
    if (controls->WasActionPressedRepeating(kMenus, kNavDown)) {
        player.inactivityTime = 0.0f;
        if (consumer.MoveSelection(1)) Cue(4);
        return;
    }
    if (controls->WasActionPressed(kMenus, kCancel)) {
        player.inactivityTime = 0.0f;
        if (consumer.CanCancel()) {
            Cue(1);
            consumer.CloseDialog();
            if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
                game->SuppressPauseThisFrame();
            }
        }
        return;
    }
    bool advance = controls->WasActionPressed(kMenus, kAccept);
    for (const char* name : {"Jump", "Enter", "Interact", "Status", "FullMap"}) {
        advance = advance || controls->WasActionPressed(kGameplay, ZHashedString(name));
    }
    if (advance) {
        player.inactivityTime = 0.0f;
        // A page that has just been completed at once swallows presses for a
        // moment, so one press does not also turn it.
        if (consumer.guardTimer < 0.0f) {
            Cue(consumer.Accept() ? 2 : 1);
        }
    }
}

void UpdatePlayerDialogFrame(Player& player) {
    ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&player);
    const bool open = consumer != nullptr && consumer->provider != 0;
    if (consumer != nullptr) {
        bool bottom = false;
        const ZDialogProviderComponent* const provider = consumer->ResolveProvider();
        const ZCamera* const camera = player.camera != nullptr ? player.camera->camera : nullptr;
        if (provider != nullptr && provider->GetOwner() != &player && player.spatial != nullptr &&
            camera != nullptr) {
            // Someone else talks: the box stays clear of the player.
            bottom = player.spatial->interpolated.position.y - camera->position.y < 0.0f;
        }
        consumer->TickTypewriter();
        consumer->Render(bottom ? 1 : 0);
    }
    const KorvanthGame* const game = KorvanthGame::Get();
    if (open || game == nullptr || !game->m_showInteractPrompts) {
        return;
    }
    if (ZFrobComponent* frob = GetComponent<ZFrobComponent>(&player)) {
        frob->DrawPrompt();
    }
    if (DoorComponent* door = GetComponent<DoorComponent>(&player)) {
        door->DrawPrompt();
    }
}
