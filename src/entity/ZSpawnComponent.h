#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZVector3.h"

// A spawner: ten seconds after it appears, and every two seconds after
// that, it throws out a "Blob.zdd" entity, at most three of its own and seven
// in the whole run.
class ZSpawnComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZSpawnComponent, ZSerialComponent)

public:
    static constexpr int32_t kMaxPerSpawner = 3;
    static constexpr int32_t kMaxPerRun = 7;

    ZSpawnComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Spawn");
        return kind;
    }

    // Fixed steps only.
    void Update(float timeStep, uint8_t mask) override;

    // A direction uniform on the sphere, from the runtime generator.
    static ZVector3 RandomUnitVector();

    float timer = 10.0f;
    int32_t spawnedCount = 0;
    // Entities spawned by every spawner in this run; it never goes down.
    static int32_t runSpawnCount;
};
