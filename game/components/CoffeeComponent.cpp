#include "game/components/CoffeeComponent.h"

#include <algorithm>

#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"

void CoffeeComponent::StartCoffee() {
    timer = kDuration;
    // The coffee achievement is earned while the timer runs.
    UpdateAchievementsFromStats(KorvanthGame::Get(), "");
}

void CoffeeComponent::ApplyCoffee(ZVector3& velocity) {
    target = timer > 0.0f && velocity.x * velocity.x + velocity.y * velocity.y > 1.0f ? 1.0f : 0.0f;
    const float factor = boost + 1.0f;
    velocity.x *= factor;
    velocity.y *= factor;
    velocity.z *= factor;
}

void CoffeeComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    timer -= timeStep;
    const float rate = boost < target ? 0.5f : 1.5f;
    boost += (target - boost) * std::clamp(timeStep * rate, 0.0f, 1.0f);
}
