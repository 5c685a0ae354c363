#include "game/world/GameServices.h"

#include "foundation/ZLog.h"
#include "game/world/KorvanthGame.h"

void NullGameVoice::PlayTune(const char* fileName, int32_t value, ZHashedString) {
    if (!m_said) {
        m_said = true;
        ZLog::Printf("No synthesizer voice yet: tunes such as %s (%d) are not played", fileName, value);
    }
}

void NullGameDisplay::CreateRenderPasses(KorvanthGame& game) {
    ZLog::Printf("The game's display chain is not installed; the engine's passes draw alone");
    game.ZBaseGame::CreateRenderPasses();
}

void NullGameDisplay::AssignGroupsToPasses(KorvanthGame& game) { game.ZBaseGame::AssignGroupsToPasses(); }

void NullGameDisplay::SetUpGameScene(KorvanthGame&) {
    ZLog::Printf("The game's display chain is not installed; no game scene is set up");
}
