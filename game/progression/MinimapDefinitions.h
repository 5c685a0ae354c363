#pragma once

// The minimaps and gem collections of "Minimaps.zdd": which collection each
// minimap counts toward, the title key of each collection, and which
// collectible entities each collection holds (filed from the campaign's maps,
// room by room, with a map region's own minimap taking precedence over the
// map's). Gems are entities whose instance file has a "MapHelper" named "gem".

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"

struct MinimapTables {
    std::map<ZHashedString, ZHashedString> collectionLocKeys;    // collection id -> title key
    std::map<ZHashedString, ZHashedString> minimapCollections;   // minimap name -> collection id
    // map "Src" -> room X -> room Y -> the room's entity-instance ids
    std::map<ZHashedString, std::map<int32_t, std::map<int32_t, std::vector<uint32_t>>>> roomEntityLists;
    std::map<ZHashedString, std::vector<uint32_t>> collectionEntities;  // ids without repeats

    void Clear();
};

// One room of a map file as the collection builder sees it.
struct MapRoomEntities {
    int32_t x = 0;
    int32_t y = 0;
    std::vector<uint32_t> entities;
};

// A region of a map file: rooms x..x+width-1, y..y+height-1, and the minimap
// its metadata names (the none id when it names none).
struct MapRegionRooms {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    ZHashedString minimap;
};

// Fills the title keys and the minimaps' collections from the root of
// "Minimaps.zdd"; entries without their key attributes are left out.
void ReadMinimapDefinitions(const ZDefNode& root, MinimapTables& tables);

// Files one map's rooms: each room's entity list under src, then each region's
// rooms into its minimap's collection, and the rooms in no region into the
// map's minimap's collection. A minimap with no collection files under the
// none id.
void FileMapCollections(MinimapTables& tables, ZHashedString src, ZHashedString mapMinimap,
                        const std::vector<MapRoomEntities>& rooms, const std::vector<MapRegionRooms>& regions);

struct GemCount {
    int32_t collected = 0;
    int32_t total = 0;
};

// The count of one entity from its instance definition and its saved record:
// nothing for an entity that is no gem; else "Count" (1 when absent, never
// below 0) as the total, and collected from a "Delete" child with "Dead" true
// (the whole count) or a "Data" datum "MapHelperInvalidated" (an int held to
// the count, a true bool as 1).
GemCount CountGemEntity(const ZDefNode& instance, const ZDefNode& savedRecord);
