#include "game/progression/MinimapComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStateStore.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplayState.h"
#include "game/display/MinimapView.h"
#include "game/player/Player.h"
#include "game/player/PlayerMusic.h"
#include "game/player/PlayerStatus.h"
#include "game/progression/RandomizerData.h"
#include "game/world/EntityState.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapData.h"
#include "game/world/MapFileReader.h"
#include "game/world/MapRecords.h"
#include "menu/ZCinematicMgr.h"
#include "renderer/ZFont.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

namespace {

struct Names {
    ZHashedString discovered{"Discovered"};
    ZHashedString mapId{"MapID"};
    ZHashedString room{"Room"};
    ZHashedString x{"X"};
    ZHashedString y{"Y"};
    ZHashedString collected{"Gems_Coll"};
    ZHashedString total{"Gems_Total"};
    ZHashedString version{"Version"};
    ZHashedString texture{"MINIMAP_TEXTURE"};
    ZHashedString minimaps{"Minimaps"};
    ZHashedString minimap{"Minimap"};
    ZHashedString name{"Name"};
    ZHashedString src{"Src"};
    ZHashedString metadata{"Metadata"};
};

const Names& N() {
    static const Names names;
    return names;
}

ZString Decimal(const int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return ZString(text);
}

bool IsDark(const ZImage& image, const int32_t x, const int32_t y) {
    if (x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight()) return true;
    return (image.GetPixel(x, y) & 0xFFu) == 0;  // the blue byte
}

void LoadImage(ZImage& image, const char* fileName) {
    ZImage file;
    image.Free();
    if (fileName == nullptr || fileName[0] == 0 || !file.LoadBMP(fileName)) return;
    if (image.Create(file.GetWidth(), file.GetHeight(), 4, 32)) {
        ZImage::Blit(image, 0, 0, file, 0, 0, file.GetWidth(), file.GetHeight());
    }
}

// A live gem's own word on how much of it is collected: taken for good
// (deleted for good, not yet saved: the whole count), then its
// "MapHelperInvalidated" datum (a number held to the gem's count, or a bool
// for one). False when no live entity of that id says anything.
bool LiveCollected(const uint32_t id, const int32_t total, int32_t& collected) {
    static const ZHashedString kInvalidated("MapHelperInvalidated");
    const auto answer = [&](ZEntity* const entity) {
        const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(entity);
        if (guid == nullptr || guid->guid != id) {
            return false;
        }
        const ZDeleteComponent* const deletion = GetComponent<ZDeleteComponent>(entity);
        const bool taken = deletion != nullptr && (deletion->deleteMode == 3 || deletion->state == 3);
        if (taken) {
            collected = total;
        }
        const ZDataComponent* const data = GetComponent<ZDataComponent>(entity);
        ZDatumEntry entry;
        if (data == nullptr || !data->GetDatum(kInvalidated, entry)) {
            return taken;
        }
        if (entry.type == kDatumInt) {
            collected = std::clamp(entry.value.intValue, 0, total);
        } else if (entry.type == kDatumBool) {
            collected = entry.value.boolValue ? std::min(total, 1) : 0;
        } else {
            return taken;
        }
        return true;
    };
    bool found = false;
    if (KorvanthGame* const game = KorvanthGame::Get()) {
        for (KorvEntity* const entity : game->GetRoomEntities()) found = answer(entity) || found;
        for (ZEntity* const entity : game->GetEntityList()) found = answer(entity) || found;
    }
    return found;
}

}  // namespace

MinimapComponent::MinimapComponent() : ZUpdatable(6), m_texels(kTextureSize * kTextureSize, kBlack) {
    if (ZTextureMgr* textures = ZTextureMgr::GetInstance()) {
        m_hasTexture = textures->CreateTexture(kTextureSize, kTextureSize, N().texture) != nullptr;
    }
    ZImage flash;
    if (flash.LoadBMP("minimapflash.bmp") && m_flash.Create(flash.GetWidth(), flash.GetHeight(), 4, 32)) {
        ZImage::Blit(m_flash, 0, 0, flash, 0, 0, flash.GetWidth(), flash.GetHeight());
    }
}

MinimapComponent::~MinimapComponent() {
    if (m_hasTexture) ZTextureMgr::GetInstance()->ReleaseTexture(N().texture);
}

ZHashedString MinimapComponent::GetSerialName() const { return N().minimap; }

void MinimapComponent::Save(ZDefNode& element) const {
    for (const auto& [minimap, columns] : m_discovered) {
        ZDefNode discovered(N().discovered);
        discovered.SetAttribute(N().mapId, ZString(minimap.GetTextOrEmpty()));
        for (const auto& [x, rows] : columns) {
            for (const auto& [y, count] : rows) {
                ZDefNode room(N().room);
                room.SetAttribute(N().x, Decimal(x));
                room.SetAttribute(N().y, Decimal(y));
                room.SetAttribute(N().collected, Decimal(count.collected));
                room.SetAttribute(N().total, Decimal(count.total));
                discovered.AddChild(static_cast<ZDefNode&&>(room));
            }
        }
        element.AddChild(static_cast<ZDefNode&&>(discovered));
    }
    element.SetAttribute(N().version, ZString("2"));
}

void MinimapComponent::ReadDefinition(const ZDefNode& element) {
    ZSerialComponent::ReadDefinition(element);
    ZDefNode::ChildIterator maps(element, N().discovered);
    while (const ZDefNode* map = maps.Next()) {
        const ZString& name = map->GetAttribute(N().mapId);
        const ZHashedString id = name.IsEmpty() ? ZHashedString() : ZHashedString(name.GetText());
        ZDefNode::ChildIterator rooms(*map, N().room);
        while (const ZDefNode* room = rooms.Next()) {
            m_discovered[id][room->GetAttribute(N().x).ToInt()][room->GetAttribute(N().y).ToInt()] =
                RoomCount{room->GetAttribute(N().collected).ToInt(), room->GetAttribute(N().total).ToInt()};
        }
    }
    if (element.HasAttribute(N().version)) m_version = element.GetAttribute(N().version).ToInt();
    // Saves before the gem of the ice world was counted: its room shows as
    // collected unless that gem is gone already.
    if (m_version < 2 && ShouldSpawnEntity(ZHashedString("QXV_EntInst_5c2877c3.zdd"))) {
        m_discovered[ZHashedString("Ice World")][0][0] = RoomCount{1, 1};
    }
}

void MinimapComponent::Update(float /*timeStep*/, const uint8_t mask) {
    if ((mask & 2) != 0) {
        const bool force = m_recount;
        m_recount = false;
        TouchRoom(force, false, 0.0f, 0.0f);
    }
    if ((mask & 4) != 0 && IsPromptShown()) DrawPrompt();
}

bool MinimapComponent::IsPromptShown() const {
    static const ZHashedString kDoorTransition("Door Transition");
    const DisplayState* const display = PeekDisplayState();
    // The prompt names a control: only where it opens a map screen.
    if (display == nullptr || !IsFullMapAvailable() || !display->Settings().showMinimap) return false;
    const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(GetOwner());
    if (consumer != nullptr && consumer->provider != 0) return false;
    const ZCinematicMgr* const cinematics = PeekCinematicMgr();
    return cinematics == nullptr || !cinematics->IsPlaying(kDoorTransition);
}

void MinimapComponent::DrawPrompt() {
    static const ZHashedString kGameplay("Gameplay");
    static const ZHashedString kFullMap("FullMap");
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    ZFont* const font = game != nullptr ? game->GetHUDFont() : nullptr;
    if (font == nullptr) return;
    m_prompt.group = kGameplay;
    m_prompt.control = kFullMap;
    m_prompt.bracketed = 1;
    bool changed = false;
    const ZString& text = FormatInputPrompt(m_prompt, changed);
    const ZColor32 white = ZColor32::FromARGB(0xFFFFFFFFu);
    const auto lineHeight = static_cast<float>(font->GetLineHeight());
    font->DrawText(text.GetText(), text.GetLength(), kPromptX, kPromptY - lineHeight, 1.0f, 1.0f, white, white);
}

void MinimapComponent::ClearDiscovered() {
    m_discovered.clear();
    m_currentMinimap = ZHashedString();
    m_currentCount = RoomCount{};
    m_recount = false;
    std::fill(m_texels.begin(), m_texels.end(), kBlack);
    Upload();
}

void MinimapComponent::TouchRoom(const bool force, const bool useGiven, float x, float y) {
    const KorvanthGame* game = KorvanthGame::Get();
    const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner());
    if (m_currentMinimap.IsNone() || game == nullptr || spatial == nullptr) return;
    if (!useGiven) {
        x = spatial->GetPosition().x;
        y = spatial->GetPosition().y;
    }
    const MapData& map = game->GetMapData();
    x = std::fmin(std::fmax(x, map.rectBounds[2] + 0.001f), map.rectBounds[3] - 0.001f);
    y = std::fmin(std::fmax(y, map.rectBounds[0] + 0.001f), map.rectBounds[1] - 0.001f);
    // World pixels count from the room the area was loaded from.
    const int32_t firstX = map.currentRect[0] - static_cast<int32_t>(std::floor(map.rectBounds[2] / kRoomPixelsX));
    const int32_t firstY = map.currentRect[1] - static_cast<int32_t>(std::floor(map.rectBounds[0] / kRoomPixelsY));
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const int32_t roomX = static_cast<int32_t>(std::floor(x / kRoomPixelsX)) + firstX;
    const int32_t roomY = static_cast<int32_t>(std::floor(y / kRoomPixelsY)) + firstY;
    if (roomX < map.currentRect[0] || roomX >= map.currentRect[2] || roomY < map.currentRect[1] ||
        roomY >= map.currentRect[3]) {
        return;
    }
    auto& rooms = m_discovered[m_currentMinimap][roomX];
    const auto known = rooms.find(roomY);
    if (!force && known != rooms.end()) {
        m_currentCount = known->second;
        return;
    }
    m_currentCount = CountRoom(roomX, roomY);
    rooms[roomY] = m_currentCount;
    FillRoom(roomX, roomY, m_currentCount);
}

MinimapComponent::RoomCount MinimapComponent::CountRoom(const int32_t x, const int32_t y) const {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || m_currentMinimap.IsNone() || !game->GetMapData().HasRoom(x, y)) return {};
    const ZArray<uint32_t>& ids = game->GetMapData().GetRoom(x, y).instanceIds;
    std::vector<uint32_t> list;
    for (uint32_t i = 0; i < ids.Count(); ++i) list.push_back(ids[i]);
    const GemCount count = CountCollectibles(list);
    return {count.collected, count.total};
}

GemCount MinimapComponent::CountCollectibles(const std::vector<uint32_t>& ids) {
    GemCount sum;
    for (const uint32_t id : ids) {
        const ZDefNode& instance = GetDefinitionFile(ZHashedString(InstanceFileName(id).c_str()));
        const ZDefNode record = GetStateStore()->Has(id) ? GetStateStore()->Get(id) : ZDefNode();
        GemCount one = CountGemEntity(instance, record);
        if (one.total > 0) LiveCollected(id, one.total, one.collected);
        sum.collected += one.collected;
        sum.total += one.total;
    }
    return sum;
}

GemCount MinimapComponent::CountCollection(const ZHashedString collection) {
    return CountCollectibles(m_tables.collectionEntities[collection]);
}

namespace {

// The collection a minimap counts toward; one without its own entry gathers
// under the none id, as the filing does.
ZHashedString CollectionOf(const MinimapTables& tables, const ZHashedString minimap) {
    const auto found = tables.minimapCollections.find(minimap);
    return found != tables.minimapCollections.end() ? found->second : ZHashedString();
}

}  // namespace

GemCount MinimapComponent::CountCurrentLocation() { return CountCollection(CollectionOf(m_tables, m_currentMinimap)); }

ZHashedString MinimapComponent::GetCurrentLocationTitleKey() const {
    const auto found = m_tables.collectionLocKeys.find(CollectionOf(m_tables, m_currentMinimap));
    return found != m_tables.collectionLocKeys.end() ? found->second : ZHashedString();
}

bool MinimapComponent::GetFixPosition(const ZHashedString name, float& x, float& y) const {
    const auto it = m_fixPositions.find(name);
    if (it == m_fixPositions.end()) return false;
    x = it->second.first;
    y = it->second.second;
    return true;
}

void MinimapComponent::LoadMapImages(const char* base, const char* overlay, const int32_t ox, const int32_t oy,
                                     int32_t w, int32_t h, int32_t px, int32_t py, const ZHashedString minimap) {
    if (minimap != m_currentMinimap) {
        LoadImage(m_base, base);
        LoadImage(m_overlay, overlay);
        if (w < 0 || h < 0 || px < 0 || py < 0) {
            w = m_base.GetWidth() / kCell - 2;
            h = m_base.GetHeight() / kCell - 2;
            px = 1;
            py = 1;
        }
    }
    m_originX = ox;
    m_originY = oy;
    m_width = w;
    m_height = h;
    m_placeX = px;
    m_placeY = py;
    SetCurrentMap(minimap);
}

void MinimapComponent::SetCurrentMap(const ZHashedString minimap) {
    if (minimap == m_currentMinimap) return;
    m_currentMinimap = minimap;
    std::fill(m_texels.begin(), m_texels.end(), kBlack);
    const auto found = m_discovered.find(minimap);
    if (found != m_discovered.end()) {
        for (const auto& [x, rows] : found->second) {
            for (const auto& [y, count] : rows) PaintCell(x, y, count);
        }
    }
    Upload();
}

void MinimapComponent::PaintCurrentMapRooms() {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    for (const auto& [x, column] : game->GetMapData().GetRooms()) {
        for (const auto& [y, room] : column) PaintCell(x, y, RoomCount{});
    }
}

void MinimapComponent::FillRoom(const int32_t x, const int32_t y, const RoomCount& count) {
    PaintCell(x, y, count);
    Upload();
}

// Paints the picture only: the rooms stay undiscovered, so the next repaint
// (a minimap change, or the room loader's next hand-in) shows the discovered
// rooms alone again.
void MinimapComponent::FillAllRooms() {
    if (m_currentMinimap.IsNone()) return;
    PaintCurrentMapRooms();
    Upload();
}

void MinimapComponent::PaintCell(const int32_t x, const int32_t y, const RoomCount& count) {
    const int64_t left = (int64_t(x) - m_originX + 1) * kCell;
    const int64_t top = (int64_t(y) - m_originY + 1) * kCell;
    // Cells far outside every picture touch nothing.
    if (left < -kCell || top < -kCell || left > kTextureSize + 4096 || top > kTextureSize + 4096) return;
    const int32_t cx = static_cast<int32_t>(left);
    const int32_t cy = static_cast<int32_t>(top);
    if (!IsDark(m_overlay, cx + 3, cy + 3) && IsDark(m_base, cx + 3, cy + 3)) {
        ZImage::Blit(m_base, cx, cy, m_overlay, cx, cy, 7, 7);
    }
    const auto put = [this](const int32_t tx, const int32_t ty, const uint32_t colour) {
        if (tx >= 0 && ty >= 0 && tx < kTextureSize && ty < kTextureSize) m_texels[ty * kTextureSize + tx] = colour;
    };
    for (int32_t dy = 0; dy < 7; ++dy) {
        for (int32_t dx = 0; dx < 7; ++dx) {
            const int32_t bx = cx + dx;
            const int32_t by = cy + dy;
            if (bx < 0 || by < 0 || bx >= m_base.GetWidth() || by >= m_base.GetHeight()) continue;
            put(bx, by, m_base.GetPixel(bx, by));
        }
    }
    if (count.collected < count.total) {
        static const int32_t kMarker[5][4] = {{2, 3, 5, 0}, {3, 2, 4, 1}, {3, 3, 5, 1}, {3, 4, 6, 1}, {4, 3, 5, 2}};
        for (const auto& m : kMarker) put(cx + m[0], cy + m[1], m_flash.GetPixel(m[2], m[3]));
    }
}

uint32_t MinimapComponent::GetTexel(const int32_t x, const int32_t y) const {
    if (x < 0 || y < 0 || x >= kTextureSize || y >= kTextureSize) return kBlack;
    return m_texels[y * kTextureSize + x];
}

void MinimapComponent::Upload() const {
    if (!m_hasTexture) return;
    ZTexture* texture = ZTextureMgr::GetInstance()->FindTexture(N().texture);
    int32_t pitch = 0;
    void* bits = nullptr;
    if (texture == nullptr || !texture->LockRect(pitch, bits) || bits == nullptr) return;
    if (pitch >= kTextureSize * 4) {
        for (int32_t y = 0; y < kTextureSize; ++y) {
            std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * pitch, &m_texels[y * kTextureSize],
                        kTextureSize * 4);
        }
    }
    texture->UnlockRect();
}

void LoadMinimapsFile(MinimapComponent& component, const ZArray<ZDefNode>& maps) {
    MinimapTables& tables = component.GetTables();
    tables.Clear();
    component.ClearFixPositions();
    ReadMinimapDefinitions(GetDefinitionFile(ZHashedString("Minimaps.zdd")), tables);
    for (uint32_t i = 0; i < maps.Count(); ++i) {
        const ZDefNode& mapNode = maps[i];
        if (!mapNode.HasAttribute(N().src)) continue;
        const ZString& src = mapNode.GetAttribute(N().src);
        const ZString& minimapName = mapNode.FindChild(N().metadata).FindChild(N().minimap).GetAttribute(N().name);
        MapData data;
        if (!ReadMapData(src.GetText(), data)) continue;
        std::vector<MapRoomEntities> rooms;
        for (const auto& [x, column] : data.GetRooms()) {
            for (const auto& [y, room] : column) {
                MapRoomEntities entry{x, y, {}};
                for (uint32_t k = 0; k < room.instanceIds.Count(); ++k) entry.entities.push_back(room.instanceIds[k]);
                rooms.push_back(static_cast<MapRoomEntities&&>(entry));
            }
        }
        std::vector<MapRegionRooms> regions;
        for (uint32_t a = 0; a < data.areas.Count(); ++a) {
            const MapArea& area = data.areas[a];
            const ZString& name = area.properties.FindChild(N().minimap).GetAttribute(N().name);
            regions.push_back({area.left, area.top, area.right - area.left, area.bottom - area.top,
                               name.IsEmpty() ? ZHashedString() : ZHashedString(name.GetText())});
        }
        FileMapCollections(tables, ZHashedString(src.GetText()),
                           minimapName.IsEmpty() ? ZHashedString() : ZHashedString(minimapName.GetText()), rooms,
                           regions);
    }
    // Loads every gem's instance file now, not in the middle of play.
    for (const auto& [collection, ids] : tables.collectionEntities) MinimapComponent::CountCollectibles(ids);
}

void ShowRoomMinimap(MinimapComponent& component, const RoomMinimap& minimap) {
    component.LoadMapImages(minimap.base.GetText(), minimap.overlay.GetText(), minimap.ox, minimap.oy, minimap.w,
                            minimap.h, minimap.px, minimap.py, ZHashedString(minimap.name.GetText()));
}

void ShowPlayerRoomMinimap(Player& player, const RoomMinimap& minimap) {
    if (MinimapComponent* component = GetComponent<MinimapComponent>(&player)) ShowRoomMinimap(*component, minimap);
}

void HandInRoomMinimap(MinimapComponent& component, const ZString& minimapName) {
    component.ResetCurrentMap();
    component.RequestRecount();
    ZArray<RoomMinimap> found;
    FindRoomMinimaps(GetDefinitionFile(ZHashedString("Minimaps.zdd")), minimapName, found);
    for (uint32_t i = 0; i < found.Count(); ++i) ShowRoomMinimap(component, found[i]);
}

MinimapComponent* FindPlayerMinimap() {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || game->GetPlayer() == nullptr) return nullptr;
    return GetComponent<MinimapComponent>(game->GetPlayer());
}

bool FillPlayerMinimapView(MinimapView& out) {
    const KorvanthGame* game = KorvanthGame::Get();
    const MinimapComponent* minimap = FindPlayerMinimap();
    const ZSpatialComponent* spatial = game != nullptr ? GetComponent<ZSpatialComponent>(game->GetPlayer()) : nullptr;
    if (minimap == nullptr || spatial == nullptr) return false;
    const MapData& map = game->GetMapData();
    out.hasPlayer = true;
    out.imageOriginColumn = minimap->GetOriginX();
    out.imageOriginRow = minimap->GetOriginY();
    // The full map frames the picture's room grid, which begins at the
    // minimap's own place cell, whatever area of the map the player is in.
    out.firstColumn = minimap->GetPlaceX();
    out.firstRow = minimap->GetPlaceY();
    out.width = minimap->GetWidth();
    out.height = minimap->GetHeight();
    out.countA = minimap->GetCurrentCount().collected;
    out.countB = minimap->GetCurrentCount().total;
    out.roomColumn = map.currentRect[0] - static_cast<int32_t>(std::floor(map.rectBounds[2] / kRoomPixelsX));
    out.roomRow = map.currentRect[1] - static_cast<int32_t>(std::floor(map.rectBounds[0] / kRoomPixelsY));
    out.top = map.rectBounds[0];
    out.bottom = map.rectBounds[1];
    out.left = map.rectBounds[2];
    out.right = map.rectBounds[3];
    out.x = spatial->GetPosition().x;
    out.y = spatial->GetPosition().y;
    return true;
}
