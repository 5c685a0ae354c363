// The game's menu factories: the engine asks the game for its title, pause,
// options, game options and audio menus.

#include "game/menus/DemoIdleMenu.h"
#include "game/menus/GameFlow.h"
#include "game/menus/KorvanthAudioMenu.h"
#include "game/menus/KorvanthGameOptionsMenu.h"
#include "game/menus/KorvanthOptionsMenu.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "input/ZInputHandler.h"
#include "platform/window/keycodes.h"

ZMenu* KorvanthGame::CreateTitleMenu(const int32_t startOnMainPage) {
    return new KorvanthTitleMenu(startOnMainPage != 0);
}

ZMenu* KorvanthGame::CreatePauseMenu() { return new KorvanthPauseMenu(); }

ZMenu* KorvanthGame::CreateOptionsMenu() {
    auto* menu = new KorvanthOptionsMenu();
    menu->BuildItems();
    return menu;
}

ZMenu* KorvanthGame::CreateGameOptionsMenu() { return new KorvanthGameOptionsMenu(); }

ZMenu* KorvanthGame::CreateAudioMenu() { return new KorvanthAudioMenu(); }

void KorvanthGame::ResetGame(const bool saveFirst) {
    gameflow::ReloadSavedState(*this, saveFirst);
    gameflow::SetGameInProgress(false);
    // The engine's reset would reach ResetToSavedState a second time through
    // FlushEntities: only its flush of the listed entities is left to do.
    FlushEntityList(false);
}

void KorvanthGame::UpdateDemoIdle() {
    if (!m_demoMode) return;
    bool anyInput = false;
    if (const ZInputHandler* input = GetInputHandler()) {
        using namespace platform;
        const bool ctrl = input->IsKeyDown(DIK_LCONTROL) || input->IsKeyDown(DIK_RCONTROL);
        const bool shift = input->IsKeyDown(DIK_LSHIFT) || input->IsKeyDown(DIK_RSHIFT);
        if (ctrl && shift && input->WasKeyPressed(DIK_R)) StartDemoReset();
        for (int key = 0; key < 256 && !anyInput; ++key) anyInput = input->WasKeyPressed(static_cast<uint8_t>(key));
        anyInput = anyInput || input->GetMouseDeltaX() != 0 || input->GetMouseDeltaY() != 0;
    }
    // Only the player's idle timer opens the countdown, in play (held
    // controls and pads count there); a key press or the mouse counts too.
    // The title and its menus never count down.
    if (anyInput && m_player != nullptr && m_player->inPlay) m_player->inactivityTime = 0.0f;
}
