#include "framework/ZResolutionListener.h"

#include "framework/ZBaseGame.h"

void ZResolutionListener::StartListening(int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
    if (ZBaseGame* game = ZBaseGame::GetInstance()) {
        game->AddResolutionListener(this);
        // The render size, as every later notification gives it, so that
        // PixelSize, Tate and FixedAspectRatio hold from the start.
        width = game->GetRenderWidth();
        height = game->GetRenderHeight();
    }
}

void ZResolutionListener::StopListening() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->RemoveResolutionListener(this);
    }
}
