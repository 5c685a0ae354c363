#include "menu/ZSplashCinematic.h"

#include "framework/ZBaseGame.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"

ZSplashCinematic::ZSplashCinematic() {
    elapsed = 0.0f;
    duration = 0.0f;
    skippableAfter = 0.0f;
    confirmWindow = 0.0f;
    blocksInput = false;
    priority = 0;
    name = ZHashedString("Intro Splash Cinematic");
}

void ZSplashCinematic::End() {
    // Ended by the program's exit: nothing comes after it.
    if (ZBaseGame::IsExiting()) {
        return;
    }
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (game->IsQuickStart()) {
        game->StartNewGame();
        return;
    }
    if (ZMenu* title = game->CreateTitleMenu(0)) {
        ++title->delayFrames;
        GetMenuMgr()->OpenMenu(title);
    }
}
