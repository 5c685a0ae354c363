#pragma once

#include <cstdint>
#include <map>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "game/world/MapRecords.h"

class PowerupHolder;

// The record of one map: the room grid (room X, then room Y, both signed and
// ordered), the areas, the palettes, the current room and the map-wide
// defaults that room loading starts each room from. The game holds one, the
// current map's; the campaign loader fills it.
class MapData {
public:
    using Column = std::map<int32_t, RoomData>;

    MapData() = default;
    ~MapData() { ClearPalettes(); }
    MapData(const MapData&) = delete;
    MapData& operator=(const MapData&) = delete;

    // Deletes every room and sets the current room to (0, 0).
    void ClearRooms();
    // Empties the palette list and the second further string. The palette
    // listener is told first, so nothing keeps pointing into the records.
    void ClearPalettes();
    using PaletteListener = void (*)(void* context);
    void SetPaletteListener(PaletteListener listener, void* context) {
        m_paletteListener = listener;
        m_paletteListenerContext = context;
    }
    // Everything back to a new record's values.
    void Clear();

    // The room, or a shared empty one (all cells zero) when it does not exist.
    const RoomData& GetRoom(int32_t x, int32_t y) const;
    bool HasRoom(int32_t x, int32_t y) const;
    // The room, created empty when missing.
    RoomData& GetOrAddRoom(int32_t x, int32_t y);
    uint32_t GetRoomColumnCount() const { return static_cast<uint32_t>(m_rooms.size()); }
    uint32_t GetRoomCount() const;
    const std::map<int32_t, Column>& GetRooms() const { return m_rooms; }

    // The area holding room (x, y) first in file order, or null.
    const MapArea* FindArea(int32_t x, int32_t y) const;

    ZArray<MapArea> areas;
    int32_t currentRect[4] = {0, 0, 0, 0};           // left, top, right, bottom (rooms)
    float rectBounds[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // top, bottom, left, right (pixels)
    ZHashedString names[2];
    int32_t currentRoomX = 0;
    int32_t currentRoomY = 0;
    uint8_t defaultColour[4] = {0, 0, 0, 255};
    uint8_t currentColour[4] = {0, 0, 0, 255};
    ZString defaultMusic;
    ZString defaultSprite;
    uint8_t defaultSafe = 0;
    uint8_t defaultUnderwater = 0;
    uint8_t defaultToxic = 0;
    uint8_t defaultSpeedrun = 0;
    uint8_t defaultSpeedrunActive = 0;
    ZString defaultSpeedrunName;
    uint8_t minimapBuild = 0;
    ZString defaultMinimapName;
    ZString furtherStrings[2];
    ZArray<PaletteData> palettes;  // indexed by a cell's palette index

private:
    std::map<int32_t, Column> m_rooms;
    PaletteListener m_paletteListener = nullptr;
    void* m_paletteListenerContext = nullptr;
};

// Moves tile coordinates outside 0..31 x 0..27 into the neighbouring rooms.
void NormalizeRoomTile(int32_t& roomX, int32_t& roomY, int32_t& tileX, int32_t& tileY);

// The cell of room (roomX, roomY) at the tile, from the foreground layer when
// foreground is set. The no-room cell for a missing room or a tile outside
// the room.
MapCell GetTileAt(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY, bool foreground);

// The collision class of the background cell, for tile coordinates inside
// the room; 0 for anything missing: no room, a tile outside the room, a
// palette, animation or custom tile that is not in the lists, a sheet tile
// outside the class grid. holder answers the powerups that pick a custom
// tile's variant (null before the player exists).
uint8_t GetTileCollisionInRoom(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY,
                               const PowerupHolder* holder);
// The same after moving the tile into the room that holds it.
uint8_t GetTileCollision(const MapData& map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY,
                         const PowerupHolder* holder);

// The sheet tile a cell shows first (kind 0 its own, kind 1 its animation's
// first frame, kind 2 the chosen variant of its custom tile); false when the
// cell names nothing that exists.
bool ResolveSheetTile(const MapData& map, const MapCell& cell, const PowerupHolder* holder, int32_t& column,
                      int32_t& row);

inline void OffsetRoom(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t& outX, int32_t& outY) {
    outX = x + dx;
    outY = y + dy;
}
