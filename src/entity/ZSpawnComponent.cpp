#include "entity/ZSpawnComponent.h"

#include <cmath>

#include "entity/ZBasingComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityMotion.h"
#include "framework/ZRuntimeRand.h"

int32_t ZSpawnComponent::runSpawnCount = 0;

ZVector3 ZSpawnComponent::RandomUnitVector() {
    constexpr float kTwoPi = 6.2831853f;
    const float theta = kTwoPi * static_cast<float>(RuntimeRand()) / 32767.0f;
    const float u = static_cast<float>(RuntimeRand()) / 32767.0f;
    const float phi = std::acos(2.0f * u - 1.0f);
    return ZVector3(std::cos(theta) * std::sin(phi), std::sin(theta) * std::sin(phi), std::cos(phi));
}

void ZSpawnComponent::Update(const float timeStep, const uint8_t mask) {
    static const ZHashedString kBlob("Blob.zdd");
    if ((mask & 2) == 0 || spawnedCount >= kMaxPerSpawner || runSpawnCount >= kMaxPerRun) {
        return;
    }
    timer -= timeStep;
    if (timer > 0.0f) {
        return;
    }
    timer = 2.0f;
    ZEntity* const spawned = SpawnEntityFromDefinition(kBlob);
    if (spawned != nullptr) {
        SetEntityVelocity(spawned, RandomUnitVector() * 10.0f);
        ZVector3 place;
        if (GetEntityPosition(GetOwner(), place)) {
            SetEntityPosition(spawned, place + ZVector3(0.0f, 0.0f, 15.0f));
        }
        SnapEntityStates(spawned);
        if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(spawned); basing != nullptr && basing->parent) {
            if (ZBasingComponent* carrier = GetComponent<ZBasingComponent>(basing->parent)) {
                carrier->RemoveChild(spawned);
            }
            basing->parent = nullptr;
            basing->heldRigidly = false;
        }
        SetEntityBounceCount(spawned, 1);
        if (ZDeleteComponent* deletion = GetComponent<ZDeleteComponent>(spawned)) {
            ZDeleteComponent::Watch(deletion, GetOwner());
        }
        AddGameSpawnedEntity(spawned);
    }
    // A definition the game refuses still uses up its turn.
    ++spawnedCount;
    ++runSpawnCount;
}
