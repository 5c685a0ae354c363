#include "game/world/GameEntityHooks.h"

#include "entity/ZEntityGameHooks.h"
#include "game/display/DisplayAppliers.h"
#include "game/player/Player.h"
#include "game/player/PlayerSave.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/EntityState.h"
#include "game/world/KorvanthGame.h"
#include "game/world/WorldShader.h"

namespace {

// The "Player" operand of script commands.
uint32_t PlayerHandle() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr && game->GetPlayer() != nullptr ? game->GetPlayer()->GetHandle() : 0;
}

// "speedrunbest": whether the player's finished course run beats its best.
bool SpeedrunBest() {
    SpeedrunComponent* const speedrun = FindPlayerSpeedrun();
    return speedrun != nullptr && speedrun->IsNewBest();
}

ZHashedString DialogStringFile() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetCampaignStringFile() : ZHashedString("");
}

void ShowDialogText(const int32_t what) {
    if (KorvanthGame* game = KorvanthGame::Get()) game->PlayDialogSound(what);
}

float FrameTime() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetGameFrameTime() : 0.0f;
}

// Dialog boxes and prompts sit on the 256 x 224 game screen and use the
// pixel font; the popup banner is sized after the window and uses the menu font.
ZFont* Font(const ZHashedString use) {
    static const ZHashedString kDialog("Dialog");
    static const ZHashedString kPrompt("Prompt");
    static const ZHashedString kPopup("Popup");
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return nullptr;
    if (use == kDialog || use == kPrompt) return game->GetHUDFont();
    if (use == kPopup) return game->GetMenuFont();
    return nullptr;
}

void ScreenSize(int32_t& width, int32_t& height) {
    const KorvanthGame* game = KorvanthGame::Get();
    // Before the window exists the size is 0; keep the engine's answer then.
    if (game == nullptr || game->GetScreenWidth() <= 0 || game->GetScreenHeight() <= 0) return;
    width = game->GetScreenWidth();
    height = game->GetScreenHeight();
}

ZRTTIBase* Manager(const ZHashedString name) {
    static const ZHashedString kLights("Light Manager");
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || name != kLights) return nullptr;
    return &game->GetLightMgr();
}

uint32_t SessionId() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetSessionGUID() : 0;
}

ZShader* SpriteShader() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetSpritesShader() : nullptr;
}

ZHashedString SpriteGroup() {
    return ZHashedString("World Sprites Group");
}

// Placed entities stand in the current room as the player does: their
// sprites draw with the room's view, as its tile layers do.
ZMatrix4 SpriteViewProjection() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetRoomViewProjection(false) : ZMatrix4();
}

// The named scene objects: the game's backdrops ("Dialog Backdrop").
ZEntity* SceneObject(const ZHashedString name) {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return nullptr;
    const auto* entry = game->GetBackdrops().Find(name);
    return entry != nullptr ? entry->value : nullptr;
}

// The dialog drawing's shade: 0 while a dialog's text shows, when the
// minimap makes way for the box.
void DialogShade(const float value) { MakeWayForDialog(value < 0.5f); }

void AddSpawnedEntity(ZEntity* const entity) {
    if (KorvanthGame* game = KorvanthGame::Get()) {
        game->AddSpawnedEntity(entity);
    } else {
        delete entity;
    }
}

}  // namespace

void InstallGameEntityHooks() {
    ZEntityGameHooks& hooks = GetEntityGameHooks();
    hooks.getPlayerHandle = PlayerHandle;
    hooks.onCheckpointReached = RecordCheckpoint;
    hooks.getDialogStringFile = DialogStringFile;
    hooks.showDialogText = ShowDialogText;
    hooks.getFrameTime = FrameTime;
    hooks.getFont = Font;
    hooks.getScreenSize = ScreenSize;
    hooks.findManager = Manager;
    hooks.getSpriteShader = SpriteShader;
    hooks.getWorldSpriteGroup = SpriteGroup;
    hooks.getSpriteViewProjection = SpriteViewProjection;
    hooks.findSceneObject = SceneObject;
    hooks.addSpawnedEntity = AddSpawnedEntity;
    hooks.setDialogShade = DialogShade;
    hooks.getSessionId = SessionId;
    hooks.shouldCreateEntity = ShouldSpawnEntity;
    hooks.isRandomizerMode = IsRandomizerMode;
    hooks.isSpeedrunBest = SpeedrunBest;
}

void ClearGameEntityHooks() {
    ZEntityGameHooks& hooks = GetEntityGameHooks();
    hooks.getPlayerHandle = nullptr;
    hooks.onCheckpointReached = nullptr;
    hooks.isRandomizerMode = nullptr;
    hooks.isSpeedrunBest = nullptr;
    hooks.getDialogStringFile = nullptr;
    hooks.showDialogText = nullptr;
    hooks.getFrameTime = nullptr;
    hooks.getFont = nullptr;
    hooks.getScreenSize = nullptr;
    hooks.findManager = nullptr;
    hooks.getSpriteShader = nullptr;
    hooks.getWorldSpriteGroup = nullptr;
    hooks.getSpriteViewProjection = nullptr;
    hooks.findSceneObject = nullptr;
    hooks.addSpawnedEntity = nullptr;
    hooks.setDialogShade = nullptr;
    hooks.getSessionId = nullptr;
    hooks.shouldCreateEntity = nullptr;
}
