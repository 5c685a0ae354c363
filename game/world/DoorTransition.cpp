#include "game/world/DoorTransition.h"

#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "game/menus/MenuScene.h"
#include "game/player/Player.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerStatus.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"

namespace {

constexpr float kWipeOff = 100.0f;

}  // namespace

DoorTransition::DoorTransition(const ZHashedString targetMap, const int32_t roomX, const int32_t roomY,
                               const ZHashedString entryMarker, const bool setCheckpoint)
    : m_targetMap(targetMap), m_roomX(roomX), m_roomY(roomY), m_entryMarker(entryMarker),
      m_setCheckpoint(setCheckpoint) {
    duration = kDuration;
}

float DoorTransition::WipeAmount(const float t) {
    if (t < 0.25f) return (t - 0.25f) * 8.0f;
    if (t < 0.35f) return 0.0f;
    return (t - 0.35f) * 8.0f;
}

void DoorTransition::Start() {
    GameCinematic::Start();
    duration = kDuration;
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = true;
    scene.wipe = kWipeOff;
}

bool DoorTransition::Update(const float clock, const float dt) {
    GameCinematic::Update(clock, dt);
    ApplyProgress(elapsed);
    return !done;
}

void DoorTransition::ApplyProgress(const float t) {
    if (m_previousProgress < kSwitchTime && t >= kSwitchTime && !m_switched) {
        m_switched = true;
        SwitchRoom();
    }
    GetMenuScene().wipe = WipeAmount(t);
    m_previousProgress = t;
}

void DoorTransition::SwitchRoom() {
    KorvanthGame* const game = KorvanthGame::Get();
    Player* const player = GetPlayer();
    if (game == nullptr) return;
    const ZString mapName(m_targetMap.GetTextOrEmpty());
    if (!mapName.IsEmpty() && m_targetMap != game->GetCurrentMapId()) {
        game->LoadCampaign(mapName);
    }
    game->GetMapData().currentRoomX = m_roomX;
    game->GetMapData().currentRoomY = m_roomY;
    game->EndRoomPan();
    game->LoadRoom();
    game->LoadEntityInstances(true);
    KeepPreviousRoom(*game, false);
    if (player == nullptr) return;
    ZVector3 arrival(128.0f, 112.0f, 0.0f);
    if (m_entryMarker != ZHashedString::None() && m_entryMarker.GetTextOrEmpty()[0] != '\0') {
        if (ZEntity* const entry = FindArrivalEntity(m_entryMarker)) {
            arrival = GetComponent<ZSpatialComponent>(entry)->current.position;
            if (m_setCheckpoint) Autosave(*player, entry->GetHandle(), false);
        } else {
            ZLog::Printf("Door: no entity named \"%s\" in room (%d, %d); the player arrives in the middle",
                         m_entryMarker.GetTextOrEmpty(), m_roomX, m_roomY);
        }
    }
    PlacePlayer(*player, arrival);
    NudgePlayerOutOfFloor(*player, 4.0f, 12.0f);
    StartEdgeWalk(*player);
    player->inPlay = true;
    TouchWhatThePlayerStandsIn(*player);
    SnapCameraToPlayer(*player);
    RefreshWaterState(*player);
    Autosave(*player, player->GetHandle(), false);
}

void DoorTransition::End() {
    MenuScene& scene = GetMenuScene();
    scene.wipeVisible = false;
    scene.wipe = kWipeOff;
    KorvanthGame* const game = KorvanthGame::Get();
    Player* const player = GetPlayer();
    // Stopped early (the game went back to the title): the move is dropped.
    if (RanToEnd() && game != nullptr) {
        ApplyProgress(duration);
        game->LoadEntityInstances(false);
    }
    if (player != nullptr) SetPlayerVisible(*player, true);
    ForcePlayerGhostFrame();
    GetMenuScene().wipeVisible = false;
    GetMenuScene().wipe = kWipeOff;
}
