#include "entity/ZEntityGameHooks.h"

ZEntityGameHooks& GetEntityGameHooks() {
    static ZEntityGameHooks hooks;
    return hooks;
}

uint32_t GetGamePlayerHandle() {
    const auto hook = GetEntityGameHooks().getPlayerHandle;
    return hook != nullptr ? hook() : 0;
}

bool IsGameSpeedrunBest() {
    const auto hook = GetEntityGameHooks().isSpeedrunBest;
    return hook != nullptr && hook();
}

bool IsGameRandomizerMode() {
    const auto hook = GetEntityGameHooks().isRandomizerMode;
    return hook != nullptr && hook();
}

uint32_t GetGameSessionId() {
    const auto hook = GetEntityGameHooks().getSessionId;
    return hook != nullptr ? hook() : 0;
}

void ReportCheckpointReached(const uint32_t checkpoint, const uint32_t context) {
    if (const auto hook = GetEntityGameHooks().onCheckpointReached) {
        hook(checkpoint, context);
    }
}

bool ShouldCreateEntity(const ZHashedString definitionFile) {
    const auto hook = GetEntityGameHooks().shouldCreateEntity;
    return hook == nullptr || hook(definitionFile);
}
