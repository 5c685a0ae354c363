#include "entity/ZDialogConsumerComponent.h"
#include "framework/ZBaseGame.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "input/ZPlayerControllerComponent.h"

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
        Cue(consumer.Accept() ? 2 : 1);
    }
}
