#include "game/player/PlayerSave.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityState.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "foundation/ZStateStore.h"
#include "game/components/GroupStore.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"

namespace {

float GameClock() {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetFixedTime() : 0.0f;
}

}  // namespace

bool WriteAutosaveFile(Player& player) {
    KorvanthGame* const game = KorvanthGame::Get();
    SaveEntityState(&player);
    if (GroupStore* const groups = GetGroupStore()) groups->SaveToSavedState();
    if (game != nullptr) {
        for (ZEntity* const entity : game->GetEntityList()) {
            SaveEntityState(entity);
        }
        for (KorvEntity* const entity : game->GetRoomEntities()) {
            SaveEntityState(entity);
        }
    }
    if (game == nullptr) {
        return false;
    }
    // The whole path, however deep the documents folder lies.
    const ZString path = game->GetAutosavePath();
    if (!GetStateStore()->Save(path.GetText())) {
        // The store said why; the old file stands and the last save stays where it was.
        ZLog::Printf("Autosave: %s was not written; the previous save is kept", path.GetText());
        return false;
    }
    player.lastSaveTime = GameClock();
    return true;
}

bool Autosave(Player& player, const uint32_t targetHandle, const bool useSafeSpot) {
    const KorvanthGame* const game = KorvanthGame::Get();
    // A component's handle (a room's debug start) stands for its entity.
    ZEntity* const target = ResolveEntity(FindObjectByHandle(targetHandle));
    const bool isPlayer = target != nullptr && target == &player;
    if (useSafeSpot && isPlayer) {
        if (!(player.lastSafeTime > player.lastSaveTime)) {
            return false;
        }
        SetCheckpointPosition(player, player.lastSafePosition.x, player.lastSafePosition.y, true);
        SetCheckpointCampaign(player, player.lastSafeCampaign, true);
        SetCheckpointMap(player, player.lastSafeMap, true);
        SetCheckpointRoom(player, player.lastSafeRoom[0], player.lastSafeRoom[1], true);
    } else {
        // The checkpoint keys for another entity, the resume keys for the player.
        const bool quickSave = isPlayer;
        if (const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(target)) {
            SetCheckpointPosition(player, spatial->current.position.x, spatial->current.position.y, quickSave);
        }
        if (game != nullptr) {
            SetCheckpointCampaign(player, game->GetCampaignId(), quickSave);
            SetCheckpointMap(player, game->GetCurrentMapId(), quickSave);
            SetCheckpointRoom(player, game->GetMapData().currentRoomX, game->GetMapData().currentRoomY, quickSave);
        }
        if (!isPlayer) {
            return Autosave(player, player.GetHandle(), false);
        }
    }
    return WriteAutosaveFile(player);
}

void RecordCheckpoint(const uint32_t checkpointHandle, const uint32_t contextHandle) {
    Player* const player = GetPlayer();
    if (player == nullptr) {
        return;
    }
    // The checkpoint component's entity is what the checkpoint keys take.
    ZEntity* const checkpoint = ResolveEntity(FindObjectByHandle(checkpointHandle));
    // Reached by the player (an event of the player's, or of one of its
    // parts), or by a touch the checkpoint reports of itself: only the
    // player's shape sets off a checkpoint's touch.
    ZEntity* const context = ResolveEntity(FindObjectByHandle(contextHandle));
    if (context != player && (context == nullptr || context != checkpoint)) {
        return;
    }
    Autosave(*player, checkpoint != nullptr ? checkpoint->GetHandle() : checkpointHandle, false);
}
