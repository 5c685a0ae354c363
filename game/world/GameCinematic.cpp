#include "game/world/GameCinematic.h"

#include <cmath>

GameCinematic::GameCinematic() {
    runsOnGameTime = true;
    duration = -1.0f;
}

bool GameCinematic::IsTimed() const { return std::fabs(duration) > 0.0001f; }

bool GameCinematic::RanToEnd() const { return duration >= 0.0f && elapsed >= duration - 0.0001f; }
