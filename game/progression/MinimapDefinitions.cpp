#include "game/progression/MinimapDefinitions.h"

#include <algorithm>

#include "foundation/ZString.h"

namespace {

const ZHashedString kCollections("Collections");
const ZHashedString kCollection("Collection");
const ZHashedString kMinimaps("Minimaps");
const ZHashedString kMinimap("Minimap");
const ZHashedString kId("ID");
const ZHashedString kLocKey("LocKey");
const ZHashedString kName("Name");
const ZHashedString kCollId("CollID");
const ZHashedString kMapHelper("MapHelper");
const ZHashedString kCount("Count");
const ZHashedString kDelete("Delete");
const ZHashedString kDead("Dead");
const ZHashedString kData("Data");
const ZHashedString kDatum("Datum");
const ZHashedString kType("Type");
const ZHashedString kValue("Value");

bool IsNamed(const ZHashedString name) { return name != ZHashedString() && name != ZHashedString(""); }

void AppendUnique(std::vector<uint32_t>& list, const std::vector<uint32_t>& ids) {
    for (const uint32_t id : ids) {
        if (std::find(list.begin(), list.end(), id) == list.end()) {
            list.push_back(id);
        }
    }
}

}  // namespace

void MinimapTables::Clear() {
    collectionLocKeys.clear();
    minimapCollections.clear();
    roomEntityLists.clear();
    collectionEntities.clear();
}

void ReadMinimapDefinitions(const ZDefNode& root, MinimapTables& tables) {
    ZDefNode::ChildIterator collections(root.FindChild(kCollections), kCollection);
    while (const ZDefNode* c = collections.Next()) {
        if (c->HasAttribute(kId) && c->HasAttribute(kLocKey)) {
            tables.collectionLocKeys[ZHashedString(c->GetAttribute(kId).GetText())] =
                ZHashedString(c->GetAttribute(kLocKey).GetText());
        }
    }
    ZDefNode::ChildIterator minimaps(root.FindChild(kMinimaps), kMinimap);
    while (const ZDefNode* m = minimaps.Next()) {
        if (m->HasAttribute(kName) && m->HasAttribute(kCollId)) {
            tables.minimapCollections[ZHashedString(m->GetAttribute(kName).GetText())] =
                ZHashedString(m->GetAttribute(kCollId).GetText());
        }
    }
}

void FileMapCollections(MinimapTables& tables, const ZHashedString src, const ZHashedString mapMinimap,
                        const std::vector<MapRoomEntities>& rooms, const std::vector<MapRegionRooms>& regions) {
    auto& byX = tables.roomEntityLists[src];
    for (const MapRoomEntities& room : rooms) {
        byX[room.x][room.y] = room.entities;
    }
    auto roomInRegion = [](const MapRoomEntities& room, const MapRegionRooms& r) {
        return room.x >= r.x && room.y >= r.y && int64_t(room.x) < int64_t(r.x) + r.width &&
               int64_t(room.y) < int64_t(r.y) + r.height;
    };
    for (const MapRegionRooms& region : regions) {
        if (!IsNamed(region.minimap)) {
            continue;
        }
        // Walk the rooms the map has rather than the rectangle, which may be huge.
        std::vector<uint32_t>& list = tables.collectionEntities[tables.minimapCollections[region.minimap]];
        for (const auto& [x, column] : byX) {
            for (const auto& [y, ids] : column) {
                if (roomInRegion(MapRoomEntities{x, y, {}}, region)) {
                    AppendUnique(list, ids);
                }
            }
        }
    }
    if (!IsNamed(mapMinimap)) {
        return;
    }
    std::vector<uint32_t>& list = tables.collectionEntities[tables.minimapCollections[mapMinimap]];
    for (const MapRoomEntities& room : rooms) {
        const bool inRegion = std::any_of(regions.begin(), regions.end(), [&](const MapRegionRooms& r) {
            return roomInRegion(room, r);
        });
        if (!inRegion) {
            AppendUnique(list, room.entities);
        }
    }
}

GemCount CountGemEntity(const ZDefNode& instance, const ZDefNode& savedRecord) {
    const ZDefNode& helper = instance.FindChild(kMapHelper);
    if (!helper.GetAttribute(kName).EqualsNoCase("gem")) {
        return {};
    }
    GemCount result;
    result.total = helper.HasAttribute(kCount) ? std::max(0, helper.GetAttribute(kCount).ToInt()) : 1;
    for (const ZDefNode& child : savedRecord.children) {
        if (child.name == kDelete && child.GetAttribute(kDead).EqualsNoCase("true")) {
            result.collected += result.total;
        } else if (child.name == kData) {
            ZDefNode::ChildIterator data(child, kDatum);
            while (const ZDefNode* datum = data.Next()) {
                if (!datum->GetAttribute(kName).EqualsNoCase("MapHelperInvalidated")) {
                    continue;
                }
                const ZString& type = datum->GetAttribute(kType);
                if (type.EqualsNoCase("int")) {
                    result.collected = std::min(datum->GetAttribute(kValue).ToInt(), result.total);
                } else if (type.EqualsNoCase("bool") && datum->GetAttribute(kValue).ToBool()) {
                    result.collected = std::min(result.total, 1);
                }
            }
        }
    }
    return result;
}
