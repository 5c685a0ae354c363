#include "game/world/KorvanthGame.h"

#include "game/progression/SpeedrunComponent.h"
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
    SpeedrunComponent* const speedrun = FindPlayerSpeedrun();
    const bool ghost = speedrun != nullptr && speedrun->CheckGhostAchievement();
    UpdateAchievementsFromStats(this, "");
    return ghost;
}

bool KorvanthGame::ResetSceneEffects() {
    m_display->SetUpWorldLayerMeshes(*this);
    return false;
}
