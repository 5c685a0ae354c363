#include "game/world/GameServices.h"

#include "foundation/ZLog.h"
#include "game/world/KorvanthGame.h"

void NullGameDisplay::CreateRenderPasses(KorvanthGame& game) {
    ZLog::Printf("The game's display chain is not installed; the engine's passes draw alone");
    game.ZBaseGame::CreateRenderPasses();
}

void NullGameDisplay::AssignGroupsToPasses(KorvanthGame& game) { game.ZBaseGame::AssignGroupsToPasses(); }

void NullGameDisplay::SetUpGameScene(KorvanthGame&) {
    ZLog::Printf("The game's display chain is not installed; no game scene is set up");
}
