#include "entity/ZEntityGameHooks.h"

#include "entity/ZEntity.h"
#include "entity/ZEntityState.h"

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

ZHashedString GetGameDialogStringFile() {
    static const ZHashedString kEmpty("");
    const auto hook = GetEntityGameHooks().getDialogStringFile;
    return hook != nullptr ? hook() : kEmpty;
}

void ShowGameDialogText(const int32_t what) {
    if (const auto hook = GetEntityGameHooks().showDialogText) {
        hook(what);
    }
}

float GetGameFrameTime() {
    const auto hook = GetEntityGameHooks().getFrameTime;
    return hook != nullptr ? hook() : 0.0f;
}

void AddGameSpawnedEntity(ZEntity* const entity) {
    if (const auto hook = GetEntityGameHooks().addSpawnedEntity) {
        hook(entity);
    } else {
        delete entity;
    }
}

void RespawnGameEntity(ZEntity* const entity, const ZHashedString definitionFile) {
    if (entity == nullptr) {
        return;
    }
    if (const auto hook = GetEntityGameHooks().respawnEntity) {
        hook(entity, definitionFile);
        return;
    }
    entity->CreateComponentsFromDefinition(definitionFile);
    RestoreEntityState(entity, definitionFile, entity->GetHandle());
}

ZEntity* FindGameSceneObject(const ZHashedString name) {
    const auto hook = GetEntityGameHooks().findSceneObject;
    return hook != nullptr ? hook(name) : nullptr;
}

ZFont* GetGameFont(const ZHashedString use) {
    const auto hook = GetEntityGameHooks().getFont;
    return hook != nullptr ? hook(use) : nullptr;
}

void GetGameScreenSize(int32_t& width, int32_t& height) {
    width = 640;
    height = 480;
    if (const auto hook = GetEntityGameHooks().getScreenSize) {
        hook(width, height);
    }
}

ZRTTIBase* FindGameManager(const ZHashedString name) {
    const auto hook = GetEntityGameHooks().findManager;
    return hook != nullptr ? hook(name) : nullptr;
}

void SetGameDialogShade(const float value) {
    if (const auto hook = GetEntityGameHooks().setDialogShade) {
        hook(value);
    }
}

ZShader* GetSpriteShader() {
    const auto hook = GetEntityGameHooks().getSpriteShader;
    return hook != nullptr ? hook() : nullptr;
}

ZHashedString GetWorldSpriteGroup() {
    const auto hook = GetEntityGameHooks().getWorldSpriteGroup;
    return hook != nullptr ? hook() : ZHashedString("World Sprites Group");
}
