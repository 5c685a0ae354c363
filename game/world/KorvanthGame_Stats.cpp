#include "game/world/KorvanthGame.h"

#include "game/world/GameConsoleCommands.h"
#include "game/world/GameStatistics.h"

void KorvanthGame::RegisterConsoleCommands() {
    ZBaseGame::RegisterConsoleCommands();
    RegisterGameConsoleCommands(*this);
}

bool KorvanthGame::ExecuteConsoleCommand(const ZConsoleWordList& words) {
    return ExecuteGameConsoleCommand(*this, words) || ZBaseGame::ExecuteConsoleCommand(words);
}

void KorvanthGame::RegisterAchievements() { RegisterGameAchievements(); }

bool KorvanthGame::CheckAchievements() {
    // The speedrun ghost check joins here with the player's speedrun record.
    const bool ghost = false;
    UpdateAchievementsFromStats(this, "");
    return ghost;
}

bool KorvanthGame::ResetSceneEffects() {
    m_display->SetUpWorldLayerMeshes(*this);
    return false;
}
