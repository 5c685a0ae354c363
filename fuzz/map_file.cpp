// Map data files: any bytes read into the map records. Whatever was read
// must answer every tile query without reading outside the records.

#include <cstddef>
#include <cstdint>

#include "game/world/MapFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MapData map;
    ReadMapDataFromMemory(data, size, map, "fuzz.map");
    uint32_t sum = 0;
    for (const auto& column : map.GetRooms()) {
        for (const auto& room : column.second) {
            for (int32_t x = -1; x <= kRoomTilesX; x += 11) {
                for (int32_t y = -1; y <= kRoomTilesY; y += 7) {
                    sum += GetTileCollision(map, column.first, room.first, x, y, nullptr);
                    sum += static_cast<uint32_t>(GetTileAt(map, column.first, room.first, x, y, true).kind);
                }
            }
        }
    }
    for (uint32_t i = 0; i < map.areas.Count(); ++i) sum += map.areas[i].properties.children.Count();
    (void)sum;
    return 0;
}
