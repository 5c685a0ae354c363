#include "game/world/MapData.h"

#include <algorithm>
#include <cstdint>

#include "game/world/TileMetadata.h"

uint8_t PaletteData::GetClass(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column >= collisionCount || row >= collisionStride) return 0;
    const uint64_t index = static_cast<uint64_t>(collisionStride) * static_cast<uint64_t>(column) +
                           static_cast<uint64_t>(row);
    return index < collision.Count() ? collision[static_cast<uint32_t>(index)] : 0;
}

void ClearPaletteData(PaletteData& palette) {
    palette.animations.Clear();
    palette.customTiles.Clear();
    palette.depthForces.Clear();
}

void MapData::ClearRooms() {
    m_rooms.clear();
    currentRoomX = 0;
    currentRoomY = 0;
}

void MapData::ClearPalettes() {
    if (m_paletteListener != nullptr) m_paletteListener(m_paletteListenerContext);
    furtherStrings[1] = "";
    for (uint32_t i = 0; i < palettes.Count(); ++i) palettes[i].collision.Clear();
    palettes.Clear();
}

void MapData::Clear() {
    ClearPalettes();
    ClearRooms();
    areas.Clear();
    for (int32_t& v : currentRect) v = 0;
    for (float& v : rectBounds) v = 0.0f;
    names[0] = ZHashedString::None();
    names[1] = ZHashedString::None();
    const uint8_t opaqueBlack[4] = {0, 0, 0, 255};
    for (int i = 0; i < 4; ++i) {
        defaultColour[i] = opaqueBlack[i];
        currentColour[i] = opaqueBlack[i];
    }
    defaultMusic = "";
    defaultSprite = "";
    defaultSafe = defaultUnderwater = defaultToxic = defaultSpeedrun = defaultSpeedrunActive = 0;
    defaultSpeedrunName = "";
    minimapBuild = 0;
    defaultMinimapName = "";
    furtherStrings[0] = "";
}

const RoomData& MapData::GetRoom(int32_t x, int32_t y) const {
    // One shared empty room, made on first use, so a missing room reads as
    // all-zero cells without an allocation per query.
    static const RoomData* const kEmptyRoom = new RoomData();
    const auto column = m_rooms.find(x);
    if (column == m_rooms.end()) return *kEmptyRoom;
    const auto room = column->second.find(y);
    return room == column->second.end() ? *kEmptyRoom : room->second;
}

bool MapData::HasRoom(int32_t x, int32_t y) const {
    const auto column = m_rooms.find(x);
    return column != m_rooms.end() && column->second.count(y) != 0;
}

RoomData& MapData::GetOrAddRoom(int32_t x, int32_t y) { return m_rooms[x][y]; }

uint32_t MapData::GetRoomCount() const {
    uint32_t n = 0;
    for (const auto& column : m_rooms) n += static_cast<uint32_t>(column.second.size());
    return n;
}

const MapArea* MapData::FindArea(int32_t x, int32_t y) const {
    for (uint32_t i = 0; i < areas.Count(); ++i) {
        if (areas[i].Contains(x, y)) return &areas[i];
    }
    return nullptr;
}

void NormalizeRoomTile(int32_t& roomX, int32_t& roomY, int32_t& tileX, int32_t& tileY) {
    // Whole rooms at once, so a far-off tile costs no loop; the result equals
    // stepping one room at a time.
    auto wrap = [](int32_t& room, int32_t& tile, int32_t size) {
        if (tile >= 0 && tile < size) return;
        int64_t rooms = tile / size;
        if (tile % size < 0) --rooms;
        // Far-off rooms saturate rather than wrap around.
        room = static_cast<int32_t>(std::clamp<int64_t>(int64_t{room} + rooms, INT32_MIN, INT32_MAX));
        tile = static_cast<int32_t>(int64_t{tile} - rooms * size);
    };
    wrap(roomX, tileX, kRoomTilesX);
    wrap(roomY, tileY, kRoomTilesY);
}

MapCell GetTileAt(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY, bool foreground) {
    if (!map.HasRoom(roomX, roomY)) return MapCell::NoRoom();
    if (tileX < 0 || tileX >= kRoomTilesX || tileY < 0 || tileY >= kRoomTilesY) return MapCell::NoRoom();
    const RoomData& room = map.GetRoom(roomX, roomY);
    const int32_t index = tileX * kRoomTilesY + tileY;
    return foreground ? room.foreground[index] : room.background[index];
}

bool ResolveSheetTile(const MapData& map, const MapCell& cell, const PowerupHolder* holder, int32_t& column,
                      int32_t& row) {
    column = 0;
    row = 0;
    if (cell.column == -1 || cell.row == -1) return false;
    if (cell.palette < 0 || static_cast<uint32_t>(cell.palette) >= map.palettes.Count()) return false;
    const PaletteData& palette = map.palettes[static_cast<uint32_t>(cell.palette)];
    switch (cell.kind) {
    case kCellSheet:
        column = cell.column;
        row = cell.row;
        return true;
    case kCellAnimated: {
        if (cell.column < 0 || static_cast<uint32_t>(cell.column) >= palette.animations.Count()) return false;
        const TileAnimation& animation = palette.animations[static_cast<uint32_t>(cell.column)];
        if (animation.frames.IsEmpty()) return false;
        column = animation.frames[0].column;
        row = animation.frames[0].row;
        return true;
    }
    case kCellCustom:
        if (cell.column < 0 || static_cast<uint32_t>(cell.column) >= palette.customTiles.Count()) return false;
        return EvaluateTileMetadata(palette.customTiles[static_cast<uint32_t>(cell.column)], holder, column, row);
    default:
        return true;  // (0, 0)
    }
}

uint8_t GetTileCollisionInRoom(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY,
                               const PowerupHolder* holder) {
    const MapCell cell = GetTileAt(map, roomX, roomY, tileX, tileY, false);
    int32_t column = 0;
    int32_t row = 0;
    if (!ResolveSheetTile(map, cell, holder, column, row)) return 0;
    return map.palettes[static_cast<uint32_t>(cell.palette)].GetClass(column, row);
}

uint8_t GetTileCollision(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY,
                         const PowerupHolder* holder) {
    NormalizeRoomTile(roomX, roomY, tileX, tileY);
    return GetTileCollisionInRoom(map, roomX, roomY, tileX, tileY, holder);
}
