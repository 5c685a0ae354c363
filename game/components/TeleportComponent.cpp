#include "game/components/TeleportComponent.h"

#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZEntityState.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "game/player/Player.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerStatus.h"
#include "game/player/PlayerTransition.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/DoorTransition.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZCinematicMgr.h"

namespace {

ZHashedString NameOf(const ZString& text) { return ZHashedString(text.GetText()); }

}  // namespace

TeleportComponent::Destination& TeleportComponent::FindOrAddDestination(const ZHashedString name) {
    return destinations[name];
}

void TeleportComponent::SetDestination(const ZHashedString name, const ZHashedString map, const int32_t roomX,
                                       const int32_t roomY, const ZHashedString arrival) {
    Destination& destination = FindOrAddDestination(name);
    destination.map = map;
    destination.roomX = roomX;
    destination.roomY = roomY;
    destination.arrival = arrival;
    destination.wipe = false;
    destination.save = true;
}

void TeleportComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kName("Name");
    static const ZHashedString kMap("Map");
    static const ZHashedString kEntity("Entity");
    static const ZHashedString kMapX("MapX");
    static const ZHashedString kMapY("MapY");
    static const ZHashedString kWipe("Wipe");
    static const ZHashedString kSave("Save");
    ZSerialComponent::ReadDefinition(element);
    const ZHashedString key = NameOf(element.HasAttribute(kName) ? element.GetAttribute(kName) : ZString());
    // Only the attributes present change the record; an element with none
    // leaves no record behind.
    const bool hasMap = element.HasAttribute(kMap);
    const bool hasEntity = element.HasAttribute(kEntity);
    const bool hasRoom = element.HasAttribute(kMapX) && element.HasAttribute(kMapY);
    const bool hasWipe = element.HasAttribute(kWipe);
    const bool hasSave = element.HasAttribute(kSave);
    if (!(hasMap || hasEntity || hasRoom || hasWipe || hasSave)) {
        return;
    }
    Destination& destination = FindOrAddDestination(key);
    if (hasMap) destination.map = NameOf(element.GetAttribute(kMap));
    if (hasEntity) destination.arrival = NameOf(element.GetAttribute(kEntity));
    if (hasRoom) {
        destination.roomX = element.GetAttribute(kMapX).ToInt();
        destination.roomY = element.GetAttribute(kMapY).ToInt();
    }
    if (hasWipe) destination.wipe = element.GetAttribute(kWipe).EqualsNoCase("true");
    if (hasSave) destination.save = element.GetAttribute(kSave).EqualsNoCase("true");
}

void TeleportPlayer(TeleportComponent& teleport, Player& player, const ZHashedString destination, bool save) {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) {
        return;
    }
    SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player);
    if (speedrun != nullptr) {
        speedrun->RecordGhostFrame(true, false);
    }
    const TeleportComponent::Destination d = teleport.FindOrAddDestination(destination);
    save = save || d.save;
    const bool hasArrival = d.arrival != ZHashedString::None() && d.arrival.GetTextOrEmpty()[0] != '\0';
    if (d.wipe) {
        // The wipe covers the move: the room's entities leave now (their
        // state saved), so nothing runs or touches the hidden player behind
        // it; the player hides until the new room shows.
        game->RetireRoomEntities();
        SetPlayerVisible(player, false);
        static const ZHashedString kDoor("Door Transition");
        ZCinematicMgr* const cinematics = GetCinematicMgr();
        cinematics->Stop(kDoor);
        auto* const door = new DoorTransition(d.map, d.roomX, d.roomY, d.arrival, save);
        if (!cinematics->Play(door, kDoor, 0)) delete door;
        return;
    }
    const ZString mapName(d.map.GetTextOrEmpty());
    if (!mapName.IsEmpty() && d.map != game->GetCurrentMapId()) {
        game->LoadCampaign(mapName);
    }
    game->GetMapData().currentRoomX = d.roomX;
    game->GetMapData().currentRoomY = d.roomY;
    game->LoadRoom();
    game->LoadEntityInstances(false);
    ZVector3 arrival(128.0f, 112.0f, 0.0f);
    if (hasArrival) {
        const std::vector<ZEntity*> spots = FindArrivalEntities(d.arrival);
        for (ZEntity* const spot : spots) {
            // With several of that name the last one is where the player stands.
            const ZVector3& at = GetComponent<ZSpatialComponent>(spot)->current.position;
            arrival = ZVector3(at.x, at.y, 0.0f);
            if (save) {
                Autosave(player, spot->GetHandle(), false);
            }
        }
        if (spots.empty()) {
            ZLog::Printf("Teleport: no entity named \"%s\" in room (%d, %d); the player arrives in the middle",
                         d.arrival.GetTextOrEmpty(), d.roomX, d.roomY);
        }
    }
    // Only the place changes: the player keeps its motion, with nothing
    // blended from the old place.
    if (player.spatial != nullptr) {
        player.spatial->current.position = ZVector3(arrival.x, arrival.y, 0.0f);
        player.spatial->ResetInterpolation();
    }
    NudgePlayerOutOfFloor(player, 4.0f, 12.0f);
    StartEdgeWalk(player);
    SnapCameraToPlayer(player);
    RefreshWaterState(player);
    Autosave(player, player.GetHandle(), false);
    if (speedrun != nullptr) {
        speedrun->RecordGhostFrame(true, false);
    }
}
