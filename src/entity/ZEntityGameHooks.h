#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

// What the entity framework asks of the game object: the game installs its
// answers at start-up; until it does (and in the engine alone) there is no
// player, no speedrun record, no randomizer, no session and checkpoints are
// not reported.
struct ZEntityGameHooks {
    uint32_t (*getPlayerHandle)() = nullptr;
    bool (*isSpeedrunBest)() = nullptr;
    bool (*isRandomizerMode)() = nullptr;
    uint32_t (*getSessionId)() = nullptr;
    // A checkpoint was reached: the checkpoint component's handle and the
    // handle of the object that reached it.
    void (*onCheckpointReached)(uint32_t checkpoint, uint32_t context) = nullptr;
    // Whether an entity of that definition file may be made now (a destroyed
    // block stays destroyed); unset means always.
    bool (*shouldCreateEntity)(ZHashedString definitionFile) = nullptr;
};

// The process-wide hooks (all null until the game sets them).
ZEntityGameHooks& GetEntityGameHooks();

// The hooks' answers, with the engine's own answers for unset ones.
uint32_t GetGamePlayerHandle();
bool IsGameSpeedrunBest();
bool IsGameRandomizerMode();
uint32_t GetGameSessionId();
void ReportCheckpointReached(uint32_t checkpoint, uint32_t context);
bool ShouldCreateEntity(ZHashedString definitionFile);
