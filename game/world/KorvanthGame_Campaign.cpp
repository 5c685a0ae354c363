// Making one map of the current campaign current: its palettes packed into
// the world tile atlas, their side files read, its data file read.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "foundation/ZColor32.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityState.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZScriptComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZLog.h"
#include "game/display/SceneSwitching.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerStatus.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerTransition.h"
#include "game/world/MenuCloser.h"
#include "menu/ZCinematicMgr.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/world/AtlasPacker.h"
#include "game/world/KorvanthGame.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/world/MapFileReader.h"
#include "game/world/WorldAtlas.h"
#include "game/world/WorldEntity.h"
#include "platform/window/window.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTextureMgr.h"

namespace {

struct Names {
    ZHashedString name{"Name"};
    ZHashedString src{"Src"};
    ZHashedString backColor{"BackColor"};
    ZHashedString palette{"Palette"};
    ZHashedString metadata{"Metadata"};
    ZHashedString overworld{"Overworld"};
    ZHashedString bgMusic{"BGMusic"};
    ZHashedString sprite{"Sprite"};
    ZHashedString safe{"Safe"};
    ZHashedString underwater{"Underwater"};
    ZHashedString toxic{"Toxic"};
    ZHashedString speedrun{"Speedrun"};
    ZHashedString active{"Active"};
    ZHashedString minimap{"Minimap"};
    ZHashedString build{"Build"};
    ZHashedString collision{"Collision"};
    ZHashedString custom{"Custom"};
    ZHashedString animation{"Animation"};
    ZHashedString scratch{"Scratch"};
    ZHashedString anaglyph{"Anaglyph"};
    ZHashedString force{"Force"};
    ZHashedString x{"X"};
    ZHashedString y{"Y"};
    ZHashedString dx{"DX"};
    ZHashedString dy{"DY"};
    ZHashedString depth{"Depth"};
};

const Names& N() {
    static const Names names;
    return names;
}

bool Has(const ZDefNode& node, ZHashedString child) { return &node.FindChild(child) != &ZDefNode::GetEmptyNode(); }

struct PaletteFiles {
    ZString collision;
    ZString custom;
    ZString animation;
    ZString scratch;  // collected; nothing reads it
    ZString src;
    ZDefNode metadata;
};

}  // namespace

bool ParseBackColour(const ZString& text, uint8_t out[4]) {
    // The engine's hex-colour rule gives the colour, whatever the text holds.
    const ZColor32 colour = ZColor32::FromHexString(text.GetText());
    out[0] = colour.r;
    out[1] = colour.g;
    out[2] = colour.b;
    out[3] = colour.a;
    const char* p = text.GetText();
    if (*p == '#') ++p;
    const size_t n = std::strlen(p);
    if (n == 0) return true;
    if (n != 6 && n != 8) return false;
    for (size_t i = 0; i < n; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(p[i]))) return false;
    }
    return true;
}

void KorvanthGame::LoadCampaign(const ZString& mapName) {
    if (mapName == m_mapName) return;
    const Names& n = N();
    ZLog::Printf("Loading map \"%s\"", mapName.GetText());

    m_mapData.Clear();
    m_mapName = mapName;
    m_mapId = mapName.GetLength() != 0 ? ZHashedString(mapName.GetText()) : ZHashedString::None();
    m_mapData.names[0] = m_mapId;

    ZArray<ZString> paletteNames;
    ZString dataFile;
    ZString backColour;
    bool found = false;
    if (mapName.GetLength() != 0) {
        for (uint32_t i = 0; i < m_mapList.Count(); ++i) {
            const ZDefNode& map = m_mapList[i];
            if (!(map.GetAttribute(n.name) == mapName)) continue;
            found = true;
            paletteNames.Clear();
            if (map.HasAttribute(n.palette)) {
                paletteNames.PushBack(map.GetAttribute(n.palette));
            } else {
                ZDefNode::ChildIterator it(map, n.palette);
                while (const ZDefNode* child = it.Next()) paletteNames.PushBack(child->GetAttribute(n.name));
            }
            dataFile = map.GetAttribute(n.src);
            backColour = map.GetAttribute(n.backColor);
            const ZDefNode& meta = map.FindChild(n.metadata);
            m_mapData.defaultMusic = meta.FindChild(n.bgMusic).GetAttribute(n.name);
            m_mapData.defaultSprite = meta.FindChild(n.sprite).GetAttribute(n.name);
            m_mapData.defaultSafe = Has(meta, n.safe) ? 1 : 0;
            m_mapData.defaultUnderwater = Has(meta, n.underwater) ? 1 : 0;
            m_mapData.defaultToxic = meta.FindChild(n.underwater).GetAttribute(n.toxic) == "true" ? 1 : 0;
            m_mapData.defaultSpeedrun = Has(meta, n.speedrun) ? 1 : 0;
            m_mapData.defaultSpeedrunActive = meta.FindChild(n.speedrun).GetAttribute(n.active) == "true" ? 1 : 0;
            m_mapData.defaultSpeedrunName = meta.FindChild(n.speedrun).GetAttribute(n.name);
            m_mapData.minimapBuild = ParseBool(meta.FindChild(n.minimap).GetAttribute(n.build).GetText()) ? 1 : 0;
            m_mapData.defaultMinimapName = meta.FindChild(n.minimap).GetAttribute(n.name);
            // The player's mode settings follow the overworld flag.
            const bool overworld = Has(meta, n.overworld);
            if (overworld != m_overworld) {
                m_overworld = overworld;
                if (m_player != nullptr) ApplyModeSettings(*m_player);
            }
        }
        if (!found) ZLog::Printf("The campaign has no map \"%s\"", mapName.GetText());
    }

    // The palettes the map names, in campaign order.
    std::vector<PaletteFiles> palettes;
    for (uint32_t i = 0; i < m_paletteList.Count(); ++i) {
        const ZDefNode& palette = m_paletteList[i];
        if (paletteNames.Find(palette.GetAttribute(n.name)) < 0) continue;
        PaletteFiles files;
        files.collision = palette.GetAttribute(n.collision);
        files.custom = palette.GetAttribute(n.custom);
        files.animation = palette.GetAttribute(n.animation);
        files.scratch = palette.GetAttribute(n.scratch);
        files.src = palette.GetAttribute(n.src);
        files.metadata = palette.FindChild(n.metadata);
        palettes.push_back(files);
    }
    for (uint32_t i = 0; i < paletteNames.Count(); ++i) {
        bool defined = false;
        for (uint32_t k = 0; k < m_paletteList.Count() && !defined; ++k) {
            defined = m_paletteList[k].GetAttribute(n.name) == paletteNames[i];
        }
        if (!defined) {
            ZLog::Printf("Map \"%s\" names the palette \"%s\", which the campaign does not define",
                         mapName.GetText(), paletteNames[i].GetText());
        }
    }

    uint8_t colour[4];
    if (!ParseBackColour(backColour, colour)) {
        ZLog::Printf("Map \"%s\": BackColor \"%s\" is not RRGGBB or RRGGBBAA; read as %02X%02X%02X%02X",
                     mapName.GetText(), backColour.GetText(), colour[0], colour[1], colour[2], colour[3]);
    }
    std::memcpy(m_mapData.defaultColour, colour, 4);
    std::memcpy(m_mapData.currentColour, colour, 4);
    if (ZRenderer* renderer = GetRenderer()) {
        const uint32_t argb = uint32_t{colour[3]} << 24 | uint32_t{colour[0]} << 16 | uint32_t{colour[1]} << 8 |
                              uint32_t{colour[2]};
        for (const char* pass : {"Clear Pass", "Clear Pass (3D)"}) {
            if (ZRenderPassDesc* desc = renderer->FindRenderPass(ZHashedString(pass))) desc->SetClearColor(argb);
        }
    }

    m_display->ReleaseWorldLayers(*this);

    // Our reference to the old atlas goes; the new one takes a new reference.
    if (m_atlasSide != 0) ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kWorldTilesTexture));
    std::vector<ZImage> sheets(palettes.size());
    for (size_t i = 0; i < palettes.size(); ++i) {
        if (!sheets[i].LoadBMP(palettes[i].src.GetText())) sheets[i].Free();  // counts as empty
    }
    const WorldAtlas atlas = BuildWorldAtlas(sheets);
    m_atlasSide = atlas.layout.side;
    UploadWorldAtlas(atlas);
    // The tile layers' effects let go of the texture they bound last (the old
    // atlas): the next draw binds the new one.
    for (ZEntity* world : {static_cast<ZEntity*>(m_worldEntity), static_cast<ZEntity*>(m_dynWorldEntity)}) {
        if (ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(world)) {
            renderables->ClearShaderTextures();
        }
    }

    const float unit = 1.0f / static_cast<float>(atlas.layout.side);
    for (size_t i = 0; i < palettes.size(); ++i) {
        PaletteData record;
        const AtlasPlacement& at = atlas.layout.placements[i];
        record.uOrigin = static_cast<float>(at.x) * unit;
        record.vOrigin = static_cast<float>(at.y) * unit;
        record.uPerPixel = unit;
        record.vPerPixel = unit;
        const uint32_t index = m_mapData.palettes.Count();
        if (palettes[i].collision.GetLength() != 0) ReadPaletteCollision(palettes[i].collision.GetText(), record);
        if (palettes[i].custom.GetLength() != 0) ReadPaletteCustomTiles(palettes[i].custom.GetText(), record);
        if (palettes[i].animation.GetLength() != 0) {
            ReadPaletteAnimations(palettes[i].animation.GetText(), record, index);
        }
        ZDefNode::ChildIterator forces(palettes[i].metadata.FindChild(n.anaglyph), n.force);
        while (const ZDefNode* force = forces.Next()) {
            DepthForce f;
            f.x = force->GetAttribute(n.x).ToInt();
            f.y = force->GetAttribute(n.y).ToInt();
            f.width = force->GetAttribute(n.dx).ToInt();
            f.height = force->GetAttribute(n.dy).ToInt();
            f.depth = force->GetAttribute(n.depth).ToFloat();
            record.depthForces.PushBack(f);
        }
        m_mapData.palettes.PushBack(static_cast<PaletteData&&>(record));
    }

    if (dataFile.GetLength() == 0) {
        if (found) ZLog::Printf("Map \"%s\" names no data file", mapName.GetText());
        return;
    }
    ReadMapData(dataFile.GetText(), m_mapData);
    ZLog::Printf("Map \"%s\": %u rooms, %u areas, %u palettes, atlas %d x %d", mapName.GetText(),
                 m_mapData.GetRoomCount(), m_mapData.areas.Count(), m_mapData.palettes.Count(), m_atlasSide,
                 m_atlasSide);
}

// Starting a campaign: the definition and its lists, the player's progress
// from the autosave and the campaign's "InitPlayer", the entry room.
const ZDefNode* KorvanthGame::ReadCampaignFile(const ZString& campaignFile, ZDefNode& root, const char** why) {
    static const ZHashedString kCampaign("Campaign");
    if (!LoadDefinitionFile(root, campaignFile.GetText())) {
        *why = "could not be read";
        return nullptr;
    }
    const ZDefNode& campaign = root.name == kCampaign ? root : root.FindChild(kCampaign);
    if (&campaign == &ZDefNode::GetEmptyNode()) {
        *why = "holds no campaign";
        return nullptr;
    }
    return &campaign;
}

bool KorvanthGame::StartCampaign(const ZString& campaignFile, const bool quickSave, const bool placeAtEntry) {
    static const ZHashedString kMetadata("Metadata");
    static const ZHashedString kInitPlayer("InitPlayer");
    static const ZHashedString kEntry("Entry");
    static const ZHashedString kMapName("MapName");
    static const ZHashedString kMapX("MapX");
    static const ZHashedString kMapY("MapY");
    ZDefNode root;
    const char* why = "";
    const ZDefNode* const found = ReadCampaignFile(campaignFile, root, &why);
    if (found == nullptr) {
        ZLog::Printf("Campaign %s %s; nothing is started", campaignFile.GetText(), why);
        return false;
    }
    const ZDefNode& campaign = *found;
    ZLog::Printf("Starting campaign %s (%s)", campaignFile.GetText(),
                 placeAtEntry ? "at its entry" : (quickSave ? "at the resume point" : "at the checkpoint"));
    // Whatever ran before goes: the scene's saved, the store read back.
    GetCinematicMgr()->Stop(ZHashedString("Room Transition"));
    GetCinematicMgr()->Stop(ZHashedString("Door Transition"));
    ResetToSavedState(false);
    // A start is a new play session: what was destroyed for the last one is back.
    m_playSession.Begin();

    m_campaignFile = campaignFile;
    m_campaignId = campaignFile.IsEmpty() ? ZHashedString::None() : ZHashedString(campaignFile.GetText());
    SetCampaign(campaign);
    const ZDefNode& metadata = campaign.FindChild(kMetadata);
    m_entityHomes.clear();
    m_instanceRooms.clear();

    if (m_player != nullptr) {
        Player& player = *m_player;
        if (GetComponent<ZScriptComponent>(&player) != nullptr && GetComponent<ZDataComponent>(&player) != nullptr) {
            ResetProgress(player);
        }
        if (ZScriptComponent* const script = GetComponent<ZScriptComponent>(&player)) {
            script->RunElements(metadata.FindChild(kInitPlayer), player.GetHandle(), player.GetHandle());
        }
        RestoreEntityState(&player, ZHashedString::None(), 0);
        ApplyLoadedProgress(player);
    }

    if (placeAtEntry) {
        const ZDefNode& entry = metadata.FindChild(kEntry);
        const ZString mapName = entry.GetAttribute(kMapName);
        LoadCampaign(mapName);
        m_mapData.currentRoomX = entry.GetAttribute(kMapX).ToInt();
        m_mapData.currentRoomY = entry.GetAttribute(kMapY).ToInt();
        if (!m_mapData.HasRoom(m_mapData.currentRoomX, m_mapData.currentRoomY)) {
            ZLog::Printf("Campaign %s: its entry room (%d, %d) of map \"%s\" does not exist", campaignFile.GetText(),
                         m_mapData.currentRoomX, m_mapData.currentRoomY, mapName.GetText());
        }
        LoadRoom();
        LoadEntityInstances(false);
        if (m_player != nullptr) {
            Player& player = *m_player;
            // A room may name where play starts for testing: the highest
            // priority of its own debug starts becomes the checkpoint (not
            // one of another room of the entry's area).
            const ZArray<uint32_t> starts = RoomDebugStarts(m_mapData.currentRoomX, m_mapData.currentRoomY);
            if (!starts.IsEmpty()) Autosave(player, starts[0], false);
            ZVector2 at;
            GetCheckpointPosition(player, at, quickSave);
            ArrivePlayer(player, ZVector3(at.x, at.y, 0.0f));
            Autosave(player, player.GetHandle(), false);
        }
    }
    // The collections of the campaign's maps, for the minimap's counts (every
    // way in: the menus, Continue and QuickStart).
    if (MinimapComponent* const minimap = m_player != nullptr ? GetComponent<MinimapComponent>(m_player) : nullptr) {
        LoadMinimapsFile(*minimap, GetMapList());
    }
    // The randomizer's opportunities met so far, one debugger line each.
    LogOpportunityRegistry();
    LeaveTitleScene(*this);
    ZCinematicMgr* const cinematics = GetCinematicMgr();
    static const ZHashedString kCloser("HACK_MENU_CLOSER");
    cinematics->Stop(kCloser);
    auto* const closer = new MenuCloser();
    if (!cinematics->Play(closer, kCloser, -1)) delete closer;
    return true;
}

void KorvanthGame::ArrivePlayer(Player& player, const ZVector3& position) {
    PlacePlayer(player, position);
    NudgePlayerOutOfFloor(player, 4.0f, 12.0f);
    // Put down at a side-view room's left or right edge, it walks in.
    StartEdgeWalk(player);
    player.inPlay = true;
    // In its room now: the figure shows (it stays hidden from the title until here).
    SetPlayerFigureVisible(player, true);
    SnapCameraToPlayer(player);
    RefreshWaterState(player);
}

void KorvanthGame::EnterRoom(const ZString& mapName, const int32_t roomX, const int32_t roomY,
                             const ZVector3& position) {
    LoadCampaign(mapName);
    m_mapData.currentRoomX = roomX;
    m_mapData.currentRoomY = roomY;
    if (!m_mapData.HasRoom(roomX, roomY)) {
        ZLog::Printf("Room (%d, %d) of map \"%s\" does not exist; entered all the same", roomX, roomY,
                     mapName.GetText());
    }
    EndRoomPan();
    LoadRoom();
    LoadEntityInstances(false);
    if (m_player != nullptr) {
        ArrivePlayer(*m_player, position);
        Autosave(*m_player, m_player->GetHandle(), false);
    }
}

bool KorvanthGame::ContinueCampaign(const ZString& campaignFile, const ZString& mapName, const int32_t roomX,
                                    const int32_t roomY, const ZVector3& position) {
    if (!StartCampaign(campaignFile, true, false)) return false;
    ZString map = mapName;
    if (map.IsEmpty() || map == "NULL") {
        // A save from before the first room: the campaign's entry map instead.
        static const ZHashedString kMetadata("Metadata");
        static const ZHashedString kEntry("Entry");
        static const ZHashedString kMapName("MapName");
        map = m_campaign.FindChild(kMetadata).FindChild(kEntry).GetAttribute(kMapName);
        ZLog::Printf("The save names no map; continuing in the campaign's entry map \"%s\"", map.GetText());
    }
    ZLog::Printf("Continuing in map \"%s\", room (%d, %d) at (%g, %g)", map.GetText(), roomX, roomY,
                 static_cast<double>(position.x), static_cast<double>(position.y));
    // A course whose timer the save has stopped (a QuickStart onto it) stays
    // stopped: entering its timed room again is no crossing of its start.
    SpeedrunComponent* const speedrun = m_player != nullptr ? GetComponent<SpeedrunComponent>(m_player) : nullptr;
    const bool stopped = speedrun != nullptr && speedrun->IsOnCourse() && !speedrun->IsTimerActive();
    EnterRoom(map, roomX, roomY, position);
    if (stopped && speedrun->IsOnCourse() && speedrun->IsTimerActive()) {
        speedrun->ClearTimerActive();
        Autosave(*m_player, m_player->GetHandle(), false);
    }
    return true;
}

KorvanthGame::DebugStartPriority& KorvanthGame::GetDebugStartPriority() {
    static DebugStartPriority priority = nullptr;
    return priority;
}

void KorvanthGame::SortDebugStarts(ZArray<uint32_t>& handles) {
    const DebugStartPriority priority = GetDebugStartPriority();
    if (priority == nullptr || handles.Count() < 2) return;
    std::vector<uint32_t> sorted(handles.begin(), handles.begin() + handles.Count());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [priority](const uint32_t a, const uint32_t b) { return priority(a) > priority(b); });
    for (uint32_t i = 0; i < handles.Count(); ++i) handles[i] = sorted[i];
}
