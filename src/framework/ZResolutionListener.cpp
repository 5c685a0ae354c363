#include "framework/ZResolutionListener.h"

#include "framework/ZBaseGame.h"

void ZResolutionListener::StartListening(int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
    if (ZBaseGame* game = ZBaseGame::GetInstance()) {
        game->AddResolutionListener(this);
        width = game->GetScreenWidth();
        height = game->GetScreenHeight();
    }
}

void ZResolutionListener::StopListening() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->RemoveResolutionListener(this);
    }
}
