#include "game/player/PlayerTransition.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntityState.h"
#include "entity/ZNameComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "game/player/Player.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerRoomExit.h"
#include "game/player/PlayerSave.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/DoorTransition.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game/world/RoomTransition.h"
#include "game/world/WorldEntity.h"
#include "menu/ZCinematicMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderable.h"

namespace {

constexpr float kRoomWidth = static_cast<float>(kRoomPixelsX);
constexpr float kRoomHeight = static_cast<float>(kRoomPixelsY);

ZCamera* CameraOf(const Player& player) { return player.camera != nullptr ? player.camera->camera : nullptr; }


void ForceGhostFrame(Player& player) {
    if (SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player)) speedrun->RecordGhostFrame(true, false);
}

void RoomExitToTransition(Player& player, const RoomExit& exit) {
    // Overworld steps end on a cell's centre: the player arrives on the same
    // cell of the new room, not on the edge between cells.
    TransitionToRoom(player, exit.overworld ? exit.arrival : exit.crossing, exit.velocity, exit.edge, exit.horizontal,
                     exit.targetX, exit.targetY, exit.dx, exit.dy);
}

// A respawn in another room or map than the current one loads it first; the
// run is saved where the player stands again.
void RespawnInCheckpointRoom(Player& player) {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) return;
    const SpeedrunComponent* const before = GetComponent<SpeedrunComponent>(&player);
    const bool timed = before != nullptr && before->IsTimerActive();
    int32_t room[2] = {0, 0};
    GetCheckpointRoom(player, room, false);
    ZHashedString map;
    GetCheckpointMap(player, map, false);
    MapData& data = game->GetMapData();
    // "NULL" (or nothing) names no map: the checkpoint is in the current one.
    const ZString mapName(map.GetTextOrEmpty());
    const bool mapDiffers = !mapName.IsEmpty() && !(mapName == "NULL") && map != game->GetCurrentMapId();
    if (mapDiffers || room[0] != data.currentRoomX || room[1] != data.currentRoomY) {
        if (mapDiffers) game->LoadCampaign(mapName);
        game->GetMapData().currentRoomX = room[0];
        game->GetMapData().currentRoomY = room[1];
        game->LoadRoom();
        game->LoadEntityInstances(false);
        KeepPreviousRoom(*game, false);
    }
    // Sent back from the timed rooms to where the course's clock stands, the
    // run is over unfinished (only the finish stops a run's clock for good):
    // the course stands ready for a new run, its clock at zero and what the
    // run took back in place, as on entering it.
    SpeedrunComponent* const after = GetComponent<SpeedrunComponent>(&player);
    if (timed && after != nullptr && after->IsOnCourse() && !after->IsTimerActive()) after->ResetRun();
    NudgePlayerOutOfFloor(player, 4.0f, 12.0f);
    Autosave(player, player.GetHandle(), false);
}

}  // namespace

void SetPlayerVisible(Player& player, const bool visible) {
    if (player.renderable == nullptr) return;
    for (auto& node : player.renderable->renderables) {
        if (node.value != nullptr) node.value->visible = visible;
    }
}

void KeepPreviousRoom(KorvanthGame& game, const bool keep) {
    for (WorldLayerEntity* const layer :
         {static_cast<WorldLayerEntity*>(game.GetWorldEntity()), static_cast<WorldLayerEntity*>(game.GetDynWorldEntity())}) {
        if (layer == nullptr) continue;
        if (keep) {
            layer->SwapSlots();
        } else {
            layer->SetLayersVisible(true);
        }
    }
}

void PlacePlayer(Player& player, const ZVector3& position) {
    if (player.spatial == nullptr) return;
    player.spatial->current.position = ZVector3(position.x, position.y, 0.0f);
    player.spatial->current.velocity = ZVector3();
    player.SettleMotion();
}

std::vector<ZEntity*> FindArrivalEntities(const ZHashedString name) {
    std::vector<ZEntity*> found;
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr || name == ZHashedString::None()) return found;
    const auto consider = [&found, name](ZEntity* const entity) {
        const ZNameComponent* const named = GetComponent<ZNameComponent>(entity);
        // An entity without a place cannot be arrived at.
        if (named != nullptr && named->name == name && GetComponent<ZSpatialComponent>(entity) != nullptr) {
            found.push_back(entity);
        }
    };
    for (KorvEntity* const entity : game->GetRoomEntities()) consider(entity);
    for (ZEntity* const entity : game->GetEntityList()) consider(entity);
    return found;
}

ZEntity* FindArrivalEntity(const ZHashedString name) {
    const std::vector<ZEntity*> found = FindArrivalEntities(name);
    return found.empty() ? nullptr : found.back();
}

void NudgePlayerOutOfFloor(Player& player, const float lift, const float probe) {
    // The ghost marks every arrival, also one that is not nudged.
    ForceGhostFrame(player);
    ZSpatialComponent* const spatial = player.spatial;
    ZCollisionInterface* const box = player.collision != nullptr ? player.collision->GetPrimary() : nullptr;
    if (spatial == nullptr || box == nullptr || IsOverworldMode()) return;
    ZVector3 raised = spatial->current.position;
    raised.y -= lift;
    CollisionResultArray results;
    const bool clear = SweepShape(ZCollisionWorld::GetInstance(), results, box, raised,
                                  raised + ZVector3(0.0f, probe, 0.0f), player.collision->sweepMask, 1u);
    if (!clear && !results.IsEmpty()) {
        // On what the drop met, on the ground, pressed down onto it so that
        // the first step finds the floor; no landing pose for the arrival.
        spatial->current.position = ZVector3(results[results.Count() - 1].position.x,
                                             results[results.Count() - 1].position.y, 0.0f);
        if (ZPhysicsComponent* const physics = player.physics) {
            physics->ResetMotion(false);
            physics->coyoteTimer = -1.0f;
            physics->jumpLockoutTimer = -1.0f;
            physics->jumpBufferTimer = -1.0f;
            physics->wallCoyoteTimer = -1.0f;
            physics->jumpPending = false;
            spatial->current.velocity = gWorldUp * -physics->jumpSpeed;
            physics->Jump(false);
        } else {
            spatial->current.velocity = ZVector3();
        }
        player.landingTimer = 0.0f;
    }
    spatial->ResetInterpolation();
}

void TransitionToRoom(Player& player, const ZVector3& position, const ZVector3& velocity, const RoomEdge& edge,
                      const bool autosave, const int32_t roomX, const int32_t roomY, const int32_t screenX,
                      const int32_t screenY) {
    KorvanthGame* const game = KorvanthGame::Get();
    ZSpatialComponent* const spatial = player.spatial;
    if (game == nullptr || spatial == nullptr) return;
    ZCinematicMgr* const cinematics = GetCinematicMgr();
    // The ghost keeps where the player left.
    ForceGhostFrame(player);

    // A door: the wipe does the move at its midpoint.
    if (edge.flagA != 0 && edge.hasNameA != 0 && edge.hasPointA != 0 && edge.hasNameB != 0) {
        if (edge.flagB != 0) {
            if (GameVoice* const voice = game->GetVoice()) voice->PlayTune("footsteps.zms", 120, ZHashedString("Footsteps"));
        }
        for (KorvEntity* const entity : game->GetRoomEntities()) SaveEntityState(entity);
        SetPlayerVisible(player, false);
        static const ZHashedString kDoor("Door Transition");
        cinematics->Stop(kDoor);
        auto* const door = new DoorTransition(edge.nameA, edge.pointAX, edge.pointAY, edge.nameB, autosave);
        if (!cinematics->Play(door, kDoor, 0)) delete door;
        return;
    }

    // A pan still playing ends before this move sets up the next one.
    static const ZHashedString kRoom("Room Transition");
    cinematics->Stop(kRoom);
    // The view the last frame was drawn with, before anything moves it.
    const ZVector3 drawnView = game->GetRoomViewCentre();
    player.positionBeforeMove = spatial->previous.position;
    player.cameraSnap = edge.kind == 1;
    // The room left and the bounds of its area, as they were before another
    // map (which starts with none) is loaded.
    MapData& map = game->GetMapData();
    const int32_t oldX = map.currentRoomX;
    const int32_t oldY = map.currentRoomY;
    float oldBounds[4];
    std::copy(std::begin(map.rectBounds), std::end(map.rectBounds), oldBounds);
    const ZHashedString oldMap = game->GetCurrentMapId();
    if (edge.hasNameA != 0) game->LoadCampaign(ZString(edge.nameA.GetTextOrEmpty()));
    // Another map's rooms do not line up with this one's: room numbers say
    // nothing about where its rooms lie from the old one.
    const bool otherMap = game->GetCurrentMapId() != oldMap;
    const int32_t targetX = edge.hasPointA != 0 ? edge.pointAX : roomX;
    const int32_t targetY = edge.hasPointA != 0 ? edge.pointAY : roomY;
    int32_t dx = 0;
    int32_t dy = 0;
    if (edge.hasPointA != 0 && edge.kind == 1) {
        dx = targetX - oldX - screenX;
        dy = targetY - oldY - screenY;
    }
    // The screen of the old room's area the player stood on.
    // Upper bound last: bounds of no size never make an empty range.
    const float px = std::min(std::max(player.positionBeforeMove.x, oldBounds[2] + 0.01f), oldBounds[3] - 0.01f);
    const float py = std::min(std::max(player.positionBeforeMove.y, oldBounds[0] + 0.01f), oldBounds[1] - 0.01f);
    const int32_t sx = static_cast<int32_t>(std::floor(px * 0.00390625f));
    const int32_t sy = static_cast<int32_t>(std::floor(py / kRoomHeight));
    const int32_t rx = targetX - (oldX + sx + dx);
    const int32_t ry = targetY - (oldY + sy + dy);

    spatial->current.position = ZVector3(position.x, position.y, 0.0f);
    spatial->current.velocity = velocity;
    spatial->ResetInterpolation();

    const bool roomChanged = targetX != oldX || targetY != oldY;
    map.currentRoomX = targetX;
    map.currentRoomY = targetY;
    // Turns a place measured from the old room into the same place measured
    // from the new one.
    const ZVector3 shift(static_cast<float>(oldX - targetX) * kRoomWidth, static_cast<float>(oldY - targetY) * kRoomHeight,
                         0.0f);

    if (edge.hasNameA != 0 || roomChanged) {
        // The last frame of the old room, its sprites included, stays
        // readable for the pan; the old room's meshes and entities go.
        game->KeepRoomFrame(drawnView);
        game->LoadRoom();
        KeepPreviousRoom(*game, false);
        if (edge.hasNameB != 0) game->LoadEntityInstances(true);
    }
    if (edge.hasNameB != 0) {
        if (ZEntity* const arrival = FindArrivalEntity(edge.nameB)) {
            const ZSpatialComponent* const at = GetComponent<ZSpatialComponent>(arrival);
            spatial->current.position = ZVector3(at->current.position.x, at->current.position.y, 0.0f);
            spatial->ResetInterpolation();
            NudgePlayerOutOfFloor(player, 4.0f, 12.0f);
            TouchWhatThePlayerStandsIn(player);
        } else {
            ZLog::Printf("Room transition: no entity named \"%s\" to arrive at; the player stays where it crossed",
                         edge.nameB.GetTextOrEmpty());
        }
    }

    // Across the pan the player keeps its place on the screen: the old room
    // lies as far from the new one as the screen the player left from lies
    // from the screen it arrives on. In one map that is the room shift; into
    // another map, whose rooms do not line up with this one's, the screens
    // are all there is to go by.
    ZVector3 across = shift;
    if (otherMap) {
        const ZVector3 at = spatial->current.position;
        const float ax = std::min(std::max(at.x, map.rectBounds[2] + 0.01f), map.rectBounds[3] - 0.01f);
        const float ay = std::min(std::max(at.y, map.rectBounds[0] + 0.01f), map.rectBounds[1] - 0.01f);
        across = ZVector3(static_cast<float>(static_cast<int32_t>(std::floor(ax / kRoomWidth)) - sx) * kRoomWidth,
                          static_cast<float>(static_cast<int32_t>(std::floor(ay / kRoomHeight)) - sy) * kRoomHeight,
                          0.0f);
    }

    if (edge.kind == 0) SnapCameraToPlayer(player);
    // Across the pan the camera moves into the new room's pixels now; along
    // it, it pans there from the old room's.
    const ZVector3 offset(rx == 0 ? across.x : 0.0f, ry == 0 ? across.y : 0.0f, 0.0f);
    if (ZCamera* const camera = CameraOf(player)) camera->SetPosition(camera->position + offset);
    // Where the old room lies seen from the new one: across, moved as the
    // camera was; along, the screens the player left it by, one screen back
    // for each screen the pan travels (another map's rooms do not line up
    // with this one's).
    const ZVector3 oldRoom(rx == 0 ? across.x : -static_cast<float>(sx + rx) * kRoomWidth,
                           ry == 0 ? across.y : -static_cast<float>(sy + ry) * kRoomHeight, 0.0f);
    game->SetPreviousRoomShift(oldRoom.x, oldRoom.y);
    game->SetPanShift(oldRoom.x - offset.x, oldRoom.y - offset.y);

    auto* const pan = new RoomTransition(static_cast<int32_t>(edge.kind), offset.x, offset.y, autosave, rx, ry);
    if (!cinematics->Play(pan, kRoom, 0)) {
        // No pan: the camera goes straight into the new room's pixels.
        delete pan;
        if (ZCamera* const camera = CameraOf(player)) camera->SetPosition(camera->position + game->GetPanShift());
        game->EndRoomPan();
    }
    if (autosave) Autosave(player, player.GetHandle(), false);
}

void InstallTransitionHooks() {
    GetRoomTransitionHook() = &RoomExitToTransition;
    GetPlayerRespawnHook() = &RespawnInCheckpointRoom;
}

void RemoveTransitionHooks() {
    if (GetRoomTransitionHook() == &RoomExitToTransition) GetRoomTransitionHook() = nullptr;
    if (GetPlayerRespawnHook() == &RespawnInCheckpointRoom) GetPlayerRespawnHook() = nullptr;
}
