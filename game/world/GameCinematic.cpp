#include "game/world/GameCinematic.h"

#include <cmath>

#include "entity/ZComponentLookup.h"
#include "game/player/Player.h"
#include "game/progression/SpeedrunComponent.h"

GameCinematic::GameCinematic() {
    runsOnGameTime = true;
    duration = -1.0f;
}

bool GameCinematic::IsTimed() const { return std::fabs(duration) > 0.0001f; }

bool GameCinematic::RanToEnd() const { return duration >= 0.0f && elapsed >= duration - 0.0001f; }

void GameCinematic::ForcePlayerGhostFrame() {
    Player* const player = GetPlayer();
    if (SpeedrunComponent* const speedrun = player != nullptr ? GetComponent<SpeedrunComponent>(player) : nullptr) {
        speedrun->RecordGhostFrame(true, false);
    }
}
