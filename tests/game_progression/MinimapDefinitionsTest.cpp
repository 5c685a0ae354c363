#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "game/progression/MinimapDefinitions.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

ZDefNode Node(const char* name, std::initializer_list<std::pair<const char*, const char*>> attributes,
              std::initializer_list<ZDefNode> children = {}) {
    ZDefNode node(H(name));
    for (const auto& [key, value] : attributes) {
        node.SetAttribute(H(key), ZString(value));
    }
    for (const ZDefNode& child : children) {
        node.AddChild(child);
    }
    return node;
}

}  // namespace

TEST(MinimapDefinitions, EntriesWithoutTheirKeysAreLeftOut) {
    const ZDefNode root = Node("Root", {}, {
        Node("Collections", {}, {
            Node("Collection", {{"ID", "Caves"}, {"LocFile", "F"}, {"LocSection", "S"}, {"LocKey", "CavesTitle"}}),
            Node("Collection", {{"ID", "Untitled"}}),
            Node("Collection", {{"LocKey", "Orphan"}}),
        }),
        Node("Minimaps", {}, {
            Node("Minimap", {{"Name", "Cave Map"}, {"CollID", "Caves"}, {"OX", "1"}}),
            Node("Minimap", {{"Name", "Loose Map"}}),
        }),
    });
    MinimapTables tables;
    ReadMinimapDefinitions(root, tables);
    EXPECT_EQ(tables.collectionLocKeys, (std::map<ZHashedString, ZHashedString>{{H("Caves"), H("CavesTitle")}}));
    EXPECT_EQ(tables.minimapCollections, (std::map<ZHashedString, ZHashedString>{{H("Cave Map"), H("Caves")}}));

    MinimapTables empty;
    ReadMinimapDefinitions(ZDefNode::GetEmptyNode(), empty);
    EXPECT_TRUE(empty.collectionLocKeys.empty());
    EXPECT_TRUE(empty.minimapCollections.empty());
}

TEST(MinimapDefinitions, RegionsFileTheirRoomsUnderTheirOwnMinimap) {
    MinimapTables tables;
    tables.minimapCollections[H("World")] = H("Overworld Gems");
    tables.minimapCollections[H("Caves")] = H("Cave Gems");
    const std::vector<MapRoomEntities> rooms = {
        {0, 0, {1, 2}},
        {1, 0, {3}},
        {2, 0, {4, 1}},   // 1 again: counted once in its collection
        {5, 5, {9}},
        {-1, 3, {7}},
    };
    const std::vector<MapRegionRooms> regions = {
        {1, 0, 2, 1, H("Caves")},
        {2, 0, 1, 1, H("Caves")},   // overlaps the first: no repeats
        {5, 5, 1, 1, H("Unlisted")},  // a minimap with no collection
        {-1, 3, 1, 1, ZHashedString()},  // names none: its room is in a region but counts nowhere
    };
    FileMapCollections(tables, H("maps/world.map"), H("World"), rooms, regions);
    EXPECT_EQ(tables.collectionEntities[H("Overworld Gems")], (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(tables.collectionEntities[H("Cave Gems")], (std::vector<uint32_t>{3, 4, 1}));
    EXPECT_EQ(tables.collectionEntities[ZHashedString()], (std::vector<uint32_t>{9}));
    EXPECT_EQ(tables.roomEntityLists[H("maps/world.map")][2][0], (std::vector<uint32_t>{4, 1}));

    // A map without a minimap files only its regions.
    MinimapTables bare;
    FileMapCollections(bare, H("maps/other.map"), H(""), {{0, 0, {8}}}, {});
    EXPECT_TRUE(bare.collectionEntities.empty());
    EXPECT_EQ(bare.roomEntityLists[H("maps/other.map")][0][0], (std::vector<uint32_t>{8}));
}

TEST(MinimapDefinitions, AGemCountsFromItsHelperAndItsSavedRecord) {
    auto gem = [](const char* count) {
        return count == nullptr ? Node("Root", {}, {Node("MapHelper", {{"Name", "GEM"}})})
                                : Node("Root", {}, {Node("MapHelper", {{"Name", "gem"}, {"Count", count}})});
    };
    auto datum = [](const char* type, const char* value) {
        return Node("Record", {}, {Node("Data", {}, {Node("Datum", {{"Name", "mapHelperInvalidated"},
                                                                     {"Type", type}, {"Value", value}})})});
    };
    const ZDefNode none = Node("Record", {});
    struct Case {
        const char* what;
        ZDefNode instance;
        ZDefNode record;
        int32_t collected, total;
    };
    const Case cases[] = {
        {"no helper", Node("Root", {}), none, 0, 0},
        {"another helper", Node("Root", {}, {Node("MapHelper", {{"Name", "key"}})}), none, 0, 0},
        {"gem without count", gem(nullptr), none, 0, 1},
        {"dead gem of 5", gem("5"), Node("Record", {}, {Node("Delete", {{"Dead", "True"}})}), 5, 5},
        {"not dead", gem("5"), Node("Record", {}, {Node("Delete", {{"Dead", "false"}})}), 0, 5},
        {"int above the count", gem("5"), datum("int", "7"), 5, 5},
        {"int below the count", gem("5"), datum("int", "2"), 2, 5},
        {"true bool", gem("5"), datum("bool", "true"), 1, 5},
        {"false bool", gem("5"), datum("bool", "false"), 0, 5},
        {"negative count", gem("-3"), datum("bool", "true"), 0, 0},
    };
    for (const Case& c : cases) {
        const GemCount n = CountGemEntity(c.instance, c.record);
        EXPECT_EQ(n.collected, c.collected) << c.what;
        EXPECT_EQ(n.total, c.total) << c.what;
    }
}
