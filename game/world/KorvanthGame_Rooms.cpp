// Rooms: loading the current room's world (edges, tile layers, conditions),
// the entities placed in it, QuickStart, and the fixed step's end.

#include <cmath>
#include <cstdio>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZConditions.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/SceneSwitching.h"
#include "game/components/GameComponentFactory.h"
#include "game/components/GameScriptCommands.h"
#include "game/menus/GameFlow.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerMusic.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "entity/ZBasingComponent.h"
#include "renderer/ZCamera.h"
#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game/world/WorldEntity.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

bool IsOpaqueBlack(const uint8_t colour[4]) {
    return colour[0] == 0 && colour[1] == 0 && colour[2] == 0 && colour[3] == 255;
}

// The palettes are about to go: the animated layers drop what points into them.
void ClearLayerAnimations(void* const context) {
    if (auto* const dyn = static_cast<DynWorldEntity*>(context)) {
        dyn->ClearAnimations();
    }
}

}  // namespace

void KorvanthGame::preinit() {
    ZBaseGame::preinit();
    // After the engine's own, so the game's kinds and verbs are reached only
    // for names the engine does not know.
    RegisterComponentFactory(CreateGameComponentByName);
    RegisterCommandHandler(ExecuteScriptCommand);
}

void KorvanthGame::FixedUpdate() {
    // Entities of a room left during the previous step go now, outside every
    // event and update walk.
    DeleteRetiredEntities();
    RetireDeletedRoomEntities();
    // Spawned entities the "delete" verb marked (splashes and bubbles whose
    // time is up) leave the game's list at the end of this step.
    for (ZEntity* const entity : GetEntityList()) {
        ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
        if (deletion != nullptr && deletion->deleteMode != 0) {
            deletion->deletePending = true;
        }
    }
    ZBaseGame::FixedUpdate();
    RunDeferredCommands();
}

void KorvanthGame::HandleCommandLineArgs(const ZArray<ZString>& words, const int32_t pass) {
    ZBaseGame::HandleCommandLineArgs(words, pass);
    const auto word = [&words](const uint32_t i, const char* fallback) {
        return i < words.Count() ? words[i] : ZString(fallback);
    };
    // "QuickStart" is the game's option in both passes, spelt exactly so:
    // the first pass skips the splash, the second starts the campaign.
    for (uint32_t i = 0; i < words.Count(); ++i) {
        if (!(words[i] == "QuickStart")) {
            if (pass != 0 && words[i].EqualsNoCase("QuickStart")) {
                ZLog::Printf("Command line: \"%s\" is not an option (QuickStart is spelt with its capitals); ignored",
                             words[i].GetText());
            }
            continue;
        }
        // No intro splash and no waits, and the scene shows at once.
        SetQuickStartArg(true);
        SetScreenFadeLevel(1.0f);
        if (pass == 0) {
            continue;
        }
        // "Seed TEXT" anywhere on the line makes the quick-started game a
        // randomized one (quote a seed with spaces).
        bool randomized = false;
        ZString seed;
        for (uint32_t s = 0; s + 1 < words.Count(); ++s) {
            if (words[s] == "Seed") {
                randomized = true;
                seed = words[s + 1];
            }
        }
        // The option's own words run up to the next "Seed": a seed after the
        // room is no tile (read as one, it put the player in the room's top
        // left corner, inside its wall).
        uint32_t end = i + 1;
        while (end < words.Count() && !(words[end] == "Seed")) ++end;
        const auto own = [&word, end](const uint32_t k, const char* fallback) {
            return k < end ? word(k, fallback) : ZString(fallback);
        };
        const ZString campaign = own(i + 1, "");
        const ZString map = own(i + 2, "");
        const int32_t roomX = own(i + 3, "").ToInt();
        const int32_t roomY = own(i + 4, "").ToInt();
        const int32_t tileX = own(i + 5, "16").ToInt();
        const int32_t tileY = own(i + 6, "14").ToInt();
        // The screen groups as the settings say: no title comes to set them.
        SetUpScreenGroups(*this);
        if (!QuickStart(campaign, map, roomX, roomY, tileX, tileY, randomized, seed)) {
            ZLog::Printf("QuickStart: campaign \"%s\" could not be started", campaign.GetText());
        }
    }
}

bool KorvanthGame::QuickStart(const ZString& campaignFile, const ZString& mapName, const int32_t roomX,
                              const int32_t roomY, const int32_t tileX, const int32_t tileY, const bool randomized,
                              const ZString& seed) {
    if (m_player != nullptr) {
        ResetPlayer(*m_player);
    }
    // A QuickStart is a new game, as the title's New Game is: an earlier
    // save's progress and seed go, or the campaign's start would read them
    // back over the ones given here. Not for a campaign that cannot start:
    // the save is kept then.
    ZDefNode root;
    const char* why = "";
    if (ReadCampaignFile(campaignFile, root, &why) == nullptr) {
        ZLog::Printf("QuickStart: campaign %s %s; the saved game is kept", campaignFile.GetText(), why);
        return false;
    }
    gameflow::DiscardSavedGame();
    // The world of the seed is in force before the first room's entities are made.
    SetUpGameRandomizer(randomized, seed);
    if (!StartCampaign(campaignFile, false, false)) {
        return false;
    }
    gameflow::BeginQuickStartedGame();
    // A map or room the campaign does not have would leave the player falling
    // through nothing, room after missing room: it is named once and the
    // campaign starts at its entry instead.
    static const ZHashedString kName("Name");
    bool mapFound = false;
    for (const ZDefNode& map : m_mapList) mapFound = mapFound || map.GetAttribute(kName) == mapName;
    if (mapFound) LoadCampaign(mapName);
    if (!mapFound || !m_mapData.HasRoom(roomX, roomY)) {
        if (!mapFound) {
            ZLog::Printf("QuickStart: the campaign %s has no map \"%s\"; starting at the campaign's entry instead",
                         campaignFile.GetText(), mapName.GetText());
        } else {
            ZLog::Printf("QuickStart: map \"%s\" has no room (%d, %d); starting at the campaign's entry instead",
                         mapName.GetText(), roomX, roomY);
        }
        if (!StartCampaign(campaignFile, false, true)) return false;
        gameflow::BeginQuickStartedGame();
        return true;
    }
    m_mapData.currentRoomX = roomX;
    m_mapData.currentRoomY = roomY;
    SetRoomCamera(128.0f, 112.0f);
    EndRoomPan();
    LoadRoom();
    LoadEntityInstances(false);
    m_checkpoint[0] = static_cast<float>(tileX * 8);
    m_checkpoint[1] = static_cast<float>(tileY * 8);
    // The player starts on that tile and respawns there (a debug start of
    // the room wins).
    if (m_player != nullptr) {
        Player& player = *m_player;
        SetCheckpointPosition(player, m_checkpoint[0], m_checkpoint[1], false);
        SetCheckpointRoom(player, roomX, roomY, false);
        SetCheckpointMap(player, m_mapId, false);
        SetCheckpointCampaign(player, m_campaignId, false);
        const ZArray<uint32_t> starts = RoomDebugStarts(roomX, roomY);
        if (!starts.IsEmpty()) {
            Autosave(player, starts[0], false);
        }
        ZVector2 at;
        GetCheckpointPosition(player, at, false);
        m_checkpoint[0] = at.x;
        m_checkpoint[1] = at.y;
        ArrivePlayer(player, ZVector3(at.x, at.y, 0.0f));
        // A course's timer waits for the course's own start, in this game
        // and in a Continue of its save (stopped before the save is written).
        if (SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player)) speedrun->ClearTimerActive();
        Autosave(player, player.GetHandle(), false);
    }
    ZLog::Printf("QuickStart: map \"%s\", room (%d, %d), checkpoint (%g, %g)", mapName.GetText(), roomX, roomY,
                 static_cast<double>(m_checkpoint[0]), static_cast<double>(m_checkpoint[1]));
    return true;
}

ZArray<uint32_t> KorvanthGame::RoomDebugStarts(const int32_t roomX, const int32_t roomY) const {
    // Only the room's own: one standing in a neighbouring room of the area
    // would take every start into the area to itself.
    ZArray<uint32_t> starts;
    for (const uint32_t handle : m_debugStarts) {
        ZEntity* const entity = ResolveEntity(FindObjectByHandle(handle));
        const ZGUIDComponent* const guid = entity != nullptr ? GetComponent<ZGUIDComponent>(entity) : nullptr;
        const auto placed = guid != nullptr ? m_instanceRooms.find(guid->guid) : m_instanceRooms.end();
        if (placed == m_instanceRooms.end() || placed->second == std::make_pair(roomX, roomY)) {
            starts.PushBack(handle);
        }
    }
    SortDebugStarts(starts);
    return starts;
}

ZVector3 KorvanthGame::GetRoomViewCentre() const {
    ZVector3 centre(m_roomCamera[0], m_roomCamera[1], 0.0f);
    if (const ZCamera* const camera = GetWorldCamera()) {
        centre = ZVector3(camera->position.x, camera->position.y, 0.0f);
    }
    centre.x += m_panShift[0];
    centre.y += m_panShift[1];
    // Whole pixels: the tiles never shimmer between two of them.
    centre.x = std::floor(centre.x + 0.5f);
    centre.y = std::floor(centre.y + 0.5f);
    return centre;
}

ZMatrix4 KorvanthGame::GetRoomViewProjection(const bool previousRoom) const {
    ZVector3 centre = GetRoomViewCentre();
    if (previousRoom) {
        centre.x -= m_previousRoomShift[0];
        centre.y -= m_previousRoomShift[1];
    }
    return RoomViewProjection(centre.x, centre.y);
}

void KorvanthGame::KeepRoomFrame(const ZVector3& drawnView) {
    DisplayState* const display = PeekDisplayState();
    if (DisplayChain* const chain = display != nullptr ? display->GetChain() : nullptr) chain->SwapRoomFrames();
    m_previousRoomCamera = drawnView;
    m_roomFrameKept = true;
}

ZVector3 KorvanthGame::GetRoomFrameOffset() const {
    const ZVector3 centre = GetRoomViewCentre();
    return ZVector3(m_previousRoomCamera.x + m_previousRoomShift[0] - centre.x,
                    m_previousRoomCamera.y + m_previousRoomShift[1] - centre.y, 0.0f);
}

void KorvanthGame::ShowRoomFrame(const bool shown) {
    DisplayState* const display = PeekDisplayState();
    DisplayChain* const chain = display != nullptr ? display->GetChain() : nullptr;
    if (chain == nullptr) return;
    const ZVector3 offset = GetRoomFrameOffset();
    chain->ShowRoomFrame(shown && m_roomFrameKept, offset.x, offset.y);
}

void KorvanthGame::EndRoomPan() {
    ShowRoomFrame(false);
    m_roomFrameKept = false;
    SetPanShift(0.0f, 0.0f);
    SetPreviousRoomShift(0.0f, 0.0f);
}

ZCamera* KorvanthGame::GetWorldCamera() const {
    const DisplayState* display = PeekDisplayState();
    const DisplayChain* chain = display != nullptr ? display->GetChain() : nullptr;
    return chain != nullptr ? chain->worldCamera.get() : nullptr;
}

ZString KorvanthGame::GetInstanceFileName(const uint32_t instanceId) const {
    char id[16];
    std::snprintf(id, sizeof(id), "%08x", instanceId);
    ZString name = m_campaignPrefix;
    name += "EntInst_";
    name += id;
    name += ".zdd";
    return name;
}

bool KorvanthGame::GetInstanceRoom(const uint32_t instanceId, int32_t& roomX, int32_t& roomY) const {
    const auto found = m_instanceRooms.find(instanceId);
    if (found == m_instanceRooms.end()) {
        return false;
    }
    roomX = found->second.first;
    roomY = found->second.second;
    return true;
}

void KorvanthGame::EnsureWorldEntities() {
    if (m_worldEntity == nullptr) {
        m_worldEntity = new WorldEntity();
    }
    if (m_dynWorldEntity == nullptr) {
        m_dynWorldEntity = new DynWorldEntity();
        m_mapData.SetPaletteListener(ClearLayerAnimations, m_dynWorldEntity);
    }
}

void KorvanthGame::DeleteRetiredEntities() {
    // Deleting one may save or retire others: take the list first.
    std::vector<ZEntity*> retired;
    retired.swap(m_retiredEntities);
    for (ZEntity* const entity : retired) {
        delete entity;
    }
}

void KorvanthGame::RetireRoomEntities() {
    // Saved now, deleted at the next fixed step, since the caller may run
    // inside one of their own events.
    for (KorvEntity* const entity : m_roomEntities) {
        SaveEntityState(entity);
        entity->SetAllComponentsEnabled(false);
        entity->SetUpdatePaused(true);
        m_retiredEntities.push_back(entity);
    }
    m_roomEntities.clear();
    for (ZEntity* const entity : m_spawnedEntities) {
        entity->SetAllComponentsEnabled(false);
        m_retiredEntities.push_back(entity);
    }
    m_spawnedEntities.clear();
}

void KorvanthGame::RetireDeletedRoomEntities() {
    // Marked by the "delete" verb (a spent bullet, a taken pickup) or set
    // pending (a fully hidden block): saved as they are (a permanent delete
    // is remembered), then gone at the next step like a room left behind.
    const auto marked = [](KorvEntity* entity) {
        const ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
        return deletion != nullptr && (deletion->deleteMode != 0 || deletion->deletePending);
    };
    for (auto it = m_roomEntities.begin(); it != m_roomEntities.end();) {
        KorvEntity* const entity = *it;
        if (!marked(entity)) {
            ++it;
            continue;
        }
        it = m_roomEntities.erase(it);
        if (ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity)) deletion->OnDelete();
        SaveEntityState(entity);
        entity->SetAllComponentsEnabled(false);
        entity->SetUpdatePaused(true);
        m_retiredEntities.push_back(entity);
    }
}

void KorvanthGame::DestroyRoomWorld() {
    m_pendingInstances.Clear();
    for (KorvEntity* const entity : m_roomEntities) {
        SaveEntityState(entity);
        m_retiredEntities.push_back(entity);
    }
    m_roomEntities.clear();
    m_retiredEntities.insert(m_retiredEntities.end(), m_spawnedEntities.begin(), m_spawnedEntities.end());
    m_spawnedEntities.clear();
    DeleteRetiredEntities();
    m_mapData.SetPaletteListener(nullptr, nullptr);
    SaveEntityState(m_worldEntity);
    delete m_worldEntity;
    m_worldEntity = nullptr;
    SaveEntityState(m_dynWorldEntity);
    delete m_dynWorldEntity;
    m_dynWorldEntity = nullptr;
}

void KorvanthGame::RegisterRoomEntity(ZEntity* const entity) {
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(entity);
    if (spatial == nullptr || guid == nullptr) {
        return;
    }
    // A placed entity's home is the room that placed it (its GUID is its
    // instance id), whichever room of the area is current when it is first
    // seen; any other entity's is the room current then.
    auto first = std::make_pair(m_mapData.currentRoomX, m_mapData.currentRoomY);
    if (const auto placed = m_instanceRooms.find(guid->guid); placed != m_instanceRooms.end()) first = placed->second;
    const auto home = m_entityHomes.try_emplace(guid->guid, first).first->second;
    const ZVector3 shift(static_cast<float>((home.first - m_mapData.currentRoomX) * kRoomPixelsX),
                         static_cast<float>((home.second - m_mapData.currentRoomY) * kRoomPixelsY), 0.0f);
    spatial->current.position += shift;
    spatial->ResetInterpolation();
}

void KorvanthGame::AddRoomEntity(KorvEntity* const entity) {
    if (entity == nullptr) {
        return;
    }
    RegisterRoomEntity(entity);
    m_roomEntities.push_back(entity);
}

void KorvanthGame::AddSpawnedEntity(ZEntity* const entity) {
    if (entity != nullptr) m_spawnedEntities.push_back(entity);
}

void KorvanthGame::LoadRoom() {
    static const ZHashedString kBGMusic("BGMusic");
    static const ZHashedString kSprite("Sprite");
    static const ZHashedString kSafe("Safe");
    static const ZHashedString kUnderwater("Underwater");
    static const ZHashedString kToxic("Toxic");
    static const ZHashedString kSpeedrun("Speedrun");
    static const ZHashedString kActive("Active");
    static const ZHashedString kMinimap("Minimap");
    static const ZHashedString kName("Name");
    MapData& map = m_mapData;
    const int32_t x = map.currentRoomX;
    const int32_t y = map.currentRoomY;

    // A player riding a platform lets go of it: the platform stays behind.
    if (m_player != nullptr && m_player->basing != nullptr && m_player->basing->parent != nullptr) {
        m_player->basing->Detach();
    }
    if (m_player != nullptr) {
        m_player->minimapNeedsUpdate = true;
    }

    RetireRoomEntities();

    RoomRect rect{x, y, x + 1, y + 1};
    for (int i = 0; i < 4; ++i) map.currentColour[i] = map.defaultColour[i];
    RoomConditions& c = m_roomConditions;
    c = RoomConditions();
    c.music = map.defaultMusic;
    c.sprite = map.defaultSprite;
    c.speedrunName = map.defaultSpeedrunName;
    c.minimapName = map.defaultMinimapName;
    c.safe = map.defaultSafe != 0;
    c.underwater = map.defaultUnderwater != 0;
    c.toxic = map.defaultToxic != 0;
    c.speedrun = map.defaultSpeedrun != 0;
    c.speedrunActive = map.defaultSpeedrunActive != 0;
    for (const MapArea& area : map.areas) {
        if (!area.Contains(x, y)) {
            continue;
        }
        rect = RoomRect{area.left, area.top, area.right, area.bottom};
        if (area.kind != 0) {
            for (int i = 0; i < 4; ++i) map.currentColour[i] = area.colour[i];
        }
        const ZDefNode& props = area.properties;
        const ZDefNode& music = props.FindChild(kBGMusic);
        if (music.HasAttribute(kName)) c.music = music.GetAttribute(kName);
        const ZDefNode& sprite = props.FindChild(kSprite);
        if (sprite.HasAttribute(kName)) c.sprite = sprite.GetAttribute(kName);
        if (props.FindChildIndex(0, kSafe) < props.children.Count()) c.safe = true;
        if (props.FindChildIndex(0, kUnderwater) < props.children.Count()) {
            c.underwater = true;
            if (props.FindChild(kUnderwater).GetAttribute(kToxic) == "true") c.toxic = true;
        }
        if (props.FindChildIndex(0, kSpeedrun) < props.children.Count()) {
            const ZDefNode& speedrun = props.FindChild(kSpeedrun);
            c.speedrun = true;
            if (speedrun.HasAttribute(kActive)) c.speedrunActive = ParseBool(speedrun.GetAttribute(kActive).GetText());
            if (speedrun.HasAttribute(kName)) c.speedrunName = speedrun.GetAttribute(kName);
        }
        const ZDefNode& minimap = props.FindChild(kMinimap);
        if (minimap.HasAttribute(kName)) c.minimapName = minimap.GetAttribute(kName);
    }
    // A room's water decides whether its toxicity reaches the player.
    c.toxic = c.toxic && c.underwater;
    // The player's minimap forgets its map (the room's minimap is handed in
    // below, when it has one) and counts the room again.
    if (MinimapComponent* const minimap = m_player != nullptr ? GetComponent<MinimapComponent>(m_player) : nullptr) {
        minimap->ResetCurrentMap();
        minimap->RequestRecount();
    }
    // The room's course, and whether its timer runs.
    if (SpeedrunComponent* const speedrun = m_player != nullptr ? GetComponent<SpeedrunComponent>(m_player) : nullptr) {
        const ZString& course = c.speedrunName;
        speedrun->SetCourseState(c.speedrun, c.speedrunActive,
                                 course.IsEmpty() ? ZHashedString() : ZHashedString(course.GetText()));
    }

    if (const ZRenderer* const renderer = PeekRenderer()) {
        const ZColor32 colour{map.currentColour[0], map.currentColour[1], map.currentColour[2], map.currentColour[3]};
        for (const char* name : {"Clear Pass", "Clear Pass (3D)"}) {
            if (ZRenderPassDesc* const pass = renderer->FindRenderPass(ZHashedString(name))) {
                pass->clearColorValue = colour;
            }
        }
    }
    // The room's tune, sprite sheet, conditions and minimap reach the player.
    if (m_player != nullptr) {
        Player& player = *m_player;
        SetRoomMusic(player, c.music);
        SelectRoomSpriteSheet(player, c.sprite);
        player.roomConditions[0] = c.safe;
        player.roomConditions[3] = c.underwater;
        player.roomConditions[4] = c.toxic;
        ApplyRoomConditions(player, false, false);
        SelectRoomMinimap(player, c.minimapName);
    }
    m_silhouetteOnColor = c.sprite == "drovanisheetredux_silh.bmp" && !IsOpaqueBlack(map.currentColour);

    map.currentRect[0] = rect.left;
    map.currentRect[1] = rect.top;
    map.currentRect[2] = rect.right;
    map.currentRect[3] = rect.bottom;
    map.rectBounds[0] = static_cast<float>((rect.top - y) * kRoomPixelsY);
    map.rectBounds[1] = static_cast<float>((rect.bottom - y) * kRoomPixelsY);
    map.rectBounds[2] = static_cast<float>((rect.left - x) * kRoomPixelsX);
    map.rectBounds[3] = static_cast<float>((rect.right - x) * kRoomPixelsX);
    m_debugStarts.Clear();
    ++m_roomLoads;

    m_roomEdges.clear();
    m_pendingInstances.Clear();
    const PowerupHolder* const powerups = m_powerups;
    for (int32_t rx = rect.left; rx < rect.right; ++rx) {
        for (int32_t ry = rect.top; ry < rect.bottom; ++ry) {
            const int32_t px = (rx - x) * kRoomPixelsX;
            const int32_t py = (ry - y) * kRoomPixelsY;
            const auto classAt = [&map, rx, ry, powerups](const int32_t column, const int32_t row) {
                return ::GetTileCollision(map, rx, ry, column, row, powerups);
            };
            AppendRoomEdges(m_roomEdges, classAt, px, py);
            if (!map.HasRoom(rx, ry)) {
                ZLog::Printf("Room (%d, %d) does not exist.", rx, ry);
                continue;
            }
            for (const uint32_t id : map.GetRoom(rx, ry).instanceIds) {
                m_pendingInstances.PushBack(id);
                m_instanceRooms[id] = std::make_pair(rx, ry);
            }
        }
    }
    MergeEdges(m_roomEdges);

    EnsureWorldEntities();
    const WorldView view{m_overworld, m_powerups};
    m_worldEntity->Build(m_roomEdges, map, rect, view);
    m_dynWorldEntity->Build(m_roomEdges, map, rect, view);
}

void KorvanthGame::LoadEntityInstances(const bool namedOnly) {
    static const ZHashedString kName("Name");
    const uint32_t owner = GetGamePlayerHandle();
    // An entity's "OnFullyLoaded" may load another room (a teleport without a
    // wipe): the walk goes over its own copy of the ids and ends when a room
    // load ran under it, leaving the new room's ids waiting.
    const ZArray<uint32_t> pending = m_pendingInstances;
    const uint32_t roomLoad = m_roomLoads;
    ZArray<uint32_t> kept;
    for (uint32_t i = 0; i < pending.Count(); ++i) {
        const uint32_t id = pending[i];
        const ZString fileName = GetInstanceFileName(id);
        const ZHashedString file(fileName.GetText());
        if (namedOnly && !DefinitionHasElement(file, kName)) {
            kept.PushBack(id);
            continue;
        }
        // A placement whose file is missing (or holds nothing) would make an
        // entity of no components: it is named and left out.
        if (GetDefinitionFile(file).children.IsEmpty()) {
            ZLog::Printf("Room instance %08x: %s is missing or empty; nothing is placed", id, fileName.GetText());
            continue;
        }
        KorvEntity* const entity = CreateKorvEntity(file, owner);
        if (m_roomLoads != roomLoad) {
            // Its room was left while it was made: it goes with that room.
            ZLog::Printf("Room instance %08x loaded another room while it was made; the rest of its room is dropped",
                         id);
            if (entity != nullptr) {
                SaveEntityState(entity);
                entity->SetAllComponentsEnabled(false);
                entity->SetUpdatePaused(true);
                m_retiredEntities.push_back(entity);
            }
            return;
        }
        if (entity != nullptr) {
            RegisterRoomEntity(entity);
            m_roomEntities.push_back(entity);
        }
    }
    m_pendingInstances = kept;
}

bool KorvanthGame::StartNewGame() {
    // The title's static, wipe and tuner give way to the world.
    LeaveTitleScene(*this);
    if (GetCurrentMapName().GetLength() != 0) {
        LoadRoom();
        LoadEntityInstances(false);
        // Play starts in this room without a title: the player stands in it.
        if (m_player != nullptr) SetPlayerFigureVisible(*m_player, true);
    }
    return ZBaseGame::StartNewGame();
}
