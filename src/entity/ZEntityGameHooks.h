#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMatrix4.h"

class ZEntity;
class ZFont;
class ZRTTIBase;
class ZShader;

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
    // The string file that dialog texts without a "File" of their own use.
    ZHashedString (*getDialogStringFile)() = nullptr;
    // The dialog sound hook: 0 started, 1 closed, 2 advanced, 3 and 4 the
    // selection moved, 5 still typing, 6 text complete.
    void (*showDialogText)(int32_t what) = nullptr;
    // The frame's scaled time step in seconds (typewriter, popups).
    float (*getFrameTime)() = nullptr;
    // Every entity made by the "spawn" verb and by spawners is handed over.
    void (*addSpawnedEntity)(ZEntity* entity) = nullptr;
    // An entity the "respawn" verb stripped of its components, with the
    // definition file it came from: the game rebuilds it against its saved
    // state and takes it over. Unset: the engine rebuilds it in place.
    void (*respawnEntity)(ZEntity* entity, ZHashedString definitionFile) = nullptr;
    // The game's named scene objects ("Dialog Backdrop", "Popup Backdrop").
    ZEntity* (*findSceneObject)(ZHashedString name) = nullptr;
    // The game's fonts by use: "Dialog", "Popup", "Prompt".
    ZFont* (*getFont)(ZHashedString use) = nullptr;
    // The back buffer's size in pixels.
    void (*getScreenSize)(int32_t& width, int32_t& height) = nullptr;
    // The game's named managers ("Light Manager").
    ZRTTIBase* (*findManager)(ZHashedString name) = nullptr;
    // The dialog box tells the game whether it shows (0.0) or not (1.0).
    void (*setDialogShade)(float value) = nullptr;
    // The shader sprites draw with (unset: none, the sprite is not drawn)
    // and the render group they join (unset: "World Sprites Group").
    ZShader* (*getSpriteShader)() = nullptr;
    ZHashedString (*getWorldSpriteGroup)() = nullptr;
    // The view-projection the world's sprites draw with (the game's room
    // view); unset: each sprite's camera component answers it.
    ZMatrix4 (*getSpriteViewProjection)() = nullptr;
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
ZHashedString GetGameDialogStringFile();  // the empty name when unset
void ShowGameDialogText(int32_t what);
float GetGameFrameTime();  // 0 when unset
// Hands a spawned entity to the game; without a game to own it, it is deleted.
void AddGameSpawnedEntity(ZEntity* entity);
// Hands a respawned entity to the game; without a game, its components are
// made again from the definition file and its saved state read back.
void RespawnGameEntity(ZEntity* entity, ZHashedString definitionFile);
ZEntity* FindGameSceneObject(ZHashedString name);  // null when unset
ZFont* GetGameFont(ZHashedString use);             // null when unset
// 640 x 480 when unset.
void GetGameScreenSize(int32_t& width, int32_t& height);
ZRTTIBase* FindGameManager(ZHashedString name);  // null when unset
void SetGameDialogShade(float value);
ZShader* GetSpriteShader();
ZHashedString GetWorldSpriteGroup();
