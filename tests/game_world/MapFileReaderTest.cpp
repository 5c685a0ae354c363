// The map data file and the palette side files: every version into the same
// records, the version warning, and damaged files.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/world/MapFileReader.h"
#include "game/world/MapSource.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "platform/window/window.h"

namespace {

// Writes little-endian fields by hand, so the fixtures below do not depend
// on the map builder's encoder.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(uint8_t v) {
        b.push_back(v);
        return *this;
    }
    Bytes& i32(int32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& f32(float v) {
        int32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        return i32(bits);
    }
    Bytes& str(const std::string& s) {
        i32(static_cast<int32_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& zeros(size_t n) {
        b.insert(b.end(), n, 0);
        return *this;
    }
};

// Installs a fake window system that records message boxes.
class BoxRecorder {
public:
    BoxRecorder() {
        auto fake = std::make_unique<platform::window::FakeWindowSystem>();
        m_fake = fake.get();
        platform::window::SetWindowSystem(std::move(fake));
    }
    ~BoxRecorder() { platform::window::SetWindowSystem(nullptr); }
    const std::vector<platform::window::FakeWindowSystem::BoxRecord>& Boxes() const { return m_fake->Boxes(); }

private:
    platform::window::FakeWindowSystem* m_fake;
};

// A map of two rooms with every kind of field set, for encoding at any version.
MapSource SampleMap() {
    MapSource map;
    map.currentRoom[0] = -1;
    map.currentRoom[1] = 2;
    for (int32_t r = 0; r < 2; ++r) {
        MapRoomSource room;
        room.x = r - 1;
        room.y = 2;
        MapPlacementSource p;
        p.names[0] = "Door";
        p.names[1] = "Kind";
        p.names[2] = "Third";
        p.id = 0xA0000000u + static_cast<uint32_t>(r);
        p.x = 12.5f;
        room.placements.push_back(p);
        p.id = 7;
        room.placements.push_back(p);
        for (int32_t i = 0; i < kRoomCells; ++i) {
            room.background[i] = MapCell{i % 17 - 1, -(i % 5), i % 4, (i * 3) % 4};
            room.foreground[i] = MapCell{i % 3, i % 11, 3 - i % 4, i % 2};
        }
        room.edges[0].kind = 2;
        room.edges[0].flags = 0x12;
        room.edges[0].nameA = "Overworld";
        room.edges[1].flags = 0x0F;
        room.edges[1].pointA[0] = -5;
        room.edges[1].pointA[1] = 6;
        room.edges[1].nameA = "A";
        room.edges[1].nameB = "B";
        room.edges[1].pointB[0] = 100;
        room.edges[1].pointB[1] = -200;
        room.edges[3].kind = 255;
        map.rooms.push_back(room);
    }
    MapAreaSource area;
    area.x = 4;
    area.y = 7;
    area.width = 1;
    area.height = 1;
    area.kind = 3;
    area.colour[0] = 16;
    area.colour[1] = 32;
    area.colour[2] = 48;
    area.colour[3] = 200;
    area.properties = "<BGMusic Name='deep'/><Underwater Toxic='true'/>";
    map.areas.push_back(area);
    MapAreaSource plain;
    plain.x = -1;
    plain.width = 2;
    plain.height = 3;
    map.areas.push_back(plain);
    return map;
}

bool ReadBytes(const std::vector<uint8_t>& bytes, MapData& map) {
    return ReadMapDataFromMemory(bytes.data(), bytes.size(), map, "test.map");
}

TEST(MapFileReader, EveryVersionReadsIntoTheSameRecords) {
    struct Version {
        uint8_t major, minor;
    };
    const Version versions[] = {{2, 0}, {2, 7}, {3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}};
    const MapSource source = SampleMap();
    for (const Version v : versions) {
        SCOPED_TRACE(std::to_string(v.major) + "." + std::to_string(v.minor));
        BoxRecorder boxes;
        MapSource versioned = source;
        versioned.major = v.major;
        versioned.minor = v.minor;
        MapData map;
        ASSERT_TRUE(ReadBytes(EncodeMap(versioned), map));
        EXPECT_EQ(boxes.Boxes().size(), v.major == 3 && v.minor == 4 ? 0u : 1u);
        EXPECT_EQ(map.currentRoomX, -1);
        EXPECT_EQ(map.currentRoomY, 2);
        ASSERT_EQ(map.GetRoomCount(), 2u);
        const bool palettes = MapVersionAtLeast(v.major, v.minor, 3, 2);
        for (const MapRoomSource& r : source.rooms) {
            ASSERT_TRUE(map.HasRoom(r.x, r.y));
            const RoomData& room = map.GetRoom(r.x, r.y);
            ASSERT_EQ(room.instanceIds.Count(), 2u);
            EXPECT_EQ(room.instanceIds[0], r.placements[0].id);
            EXPECT_EQ(room.instanceIds[1], 7u);
            for (int32_t i = 0; i < kRoomCells; ++i) {
                MapCell back = r.background[i];
                MapCell front = r.foreground[i];
                if (!palettes) back.palette = front.palette = 0;
                ASSERT_EQ(room.background[i], back) << i;
                ASSERT_EQ(room.foreground[i], front) << i;
            }
            EXPECT_EQ(room.edges[0].kind, 2u);
            EXPECT_TRUE(room.edges[0].hasNameA);
            EXPECT_EQ(room.edges[0].nameA, ZHashedString("Overworld"));
            EXPECT_FALSE(room.edges[0].hasPointA);
            EXPECT_FALSE(room.edges[0].hasPointB);
            EXPECT_EQ(room.edges[0].flagA, 1);
            EXPECT_EQ(room.edges[0].flagB, 1);
            EXPECT_TRUE(room.edges[1].hasPointA && room.edges[1].hasNameA && room.edges[1].hasNameB &&
                        room.edges[1].hasPointB);
            EXPECT_EQ(room.edges[1].pointAX, -5);
            EXPECT_EQ(room.edges[1].pointBY, -200);
            EXPECT_EQ(room.edges[1].nameB, ZHashedString("B"));
            EXPECT_EQ(room.edges[1].flagA, 0);
            EXPECT_EQ(room.edges[3].kind, 255u);
        }
        ASSERT_EQ(map.areas.Count(), 2u);
        const MapArea& area = map.areas[0];
        EXPECT_EQ(area.left, 4);
        EXPECT_EQ(area.top, 7);
        EXPECT_TRUE(area.Contains(4, 7));
        EXPECT_FALSE(area.Contains(5, 7));
        if (MapVersionAtLeast(v.major, v.minor, 3, 1)) {
            EXPECT_EQ(area.kind, 3);
            EXPECT_EQ(area.colour[3], 200);
            EXPECT_EQ(area.properties.FindChild(ZHashedString("BGMusic")).GetAttribute(ZHashedString("Name")),
                      "deep");
            EXPECT_EQ(area.properties.FindChild(ZHashedString("Underwater")).GetAttribute(ZHashedString("Toxic")),
                      "true");
        } else {
            EXPECT_EQ(area.kind, 0);
            EXPECT_EQ(area.colour[3], 255);
            EXPECT_TRUE(area.properties.IsEmpty());
        }
        EXPECT_EQ(map.areas[1].right, 1);
        EXPECT_EQ(map.areas[1].bottom, 3);
        EXPECT_TRUE(map.areas[1].properties.IsEmpty());
    }
}

TEST(MapFileReader, VersionWarningTextAndButtons) {
    BoxRecorder boxes;
    MapSource source = SampleMap();
    source.major = 2;
    source.minor = 5;
    MapData map;
    ASSERT_TRUE(ReadBytes(EncodeMap(source), map));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.Boxes()[0].text, "File version mismatch.\nExpected v3.4, got v2.5.\nMay not load properly.");
    EXPECT_EQ(boxes.Boxes()[0].flags & 0xF, platform::window::MB_OKCANCEL);
}

TEST(MapFileReader, HandMadeOldVersionFiles) {
    BoxRecorder boxes;
    // Version 2.1: one room with one placement (two names, no extras), 6-byte
    // cells, the 3072-byte block, one area without kind, colour or text.
    Bytes v2;
    v2.u8(2).u8(1).i32(3).i32(4).zeros(8).i32(1);
    v2.i32(3).i32(4).i32(1).str("a").str("b").i32(0x1234).f32(1.0f).f32(2.0f);
    for (int32_t i = 0; i < kRoomCells; ++i) v2.u8(i == 29 ? 0xFF : 1).u8(2).u8(0).u8(3).u8(4).u8(1);
    v2.u8(1).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0x10);
    v2.zeros(3072).i32(1).i32(3).i32(4).i32(2).i32(1);
    MapData map;
    ASSERT_TRUE(ReadBytes(v2.b, map));
    ASSERT_TRUE(map.HasRoom(3, 4));
    const RoomData& room = map.GetRoom(3, 4);
    ASSERT_EQ(room.instanceIds.Count(), 1u);
    EXPECT_EQ(room.instanceIds[0], 0x1234u);
    EXPECT_EQ(room.background[29], (MapCell{-1, 2, 0, 0}));
    EXPECT_EQ(room.foreground[0], (MapCell{3, 4, 1, 0}));
    EXPECT_EQ(room.edges[0].kind, 1u);
    EXPECT_EQ(room.edges[3].flagA, 1);
    ASSERT_EQ(map.areas.Count(), 1u);
    EXPECT_EQ(map.areas[0].right, 5);
    EXPECT_EQ(map.areas[0].colour[3], 255);

    // Version 3.1: areas carry kind, colour and text; cells are still 6 bytes.
    Bytes v31;
    v31.u8(3).u8(1).i32(0).i32(0).zeros(8).i32(1);
    v31.i32(0).i32(0).i32(0);
    for (int32_t i = 0; i < kRoomCells; ++i) v31.u8(5).u8(6).u8(0).u8(0).u8(0).u8(3);
    v31.zeros(8);
    v31.i32(1).i32(0).i32(0).i32(1).i32(1).u8(9).u8(1).u8(2).u8(3).u8(4).str("<Safe/>");
    ASSERT_TRUE(ReadBytes(v31.b, map));
    EXPECT_EQ(map.GetRoom(0, 0).background[5], (MapCell{5, 6, 0, 0}));
    ASSERT_EQ(map.areas.Count(), 1u);
    EXPECT_EQ(map.areas[0].kind, 9);
    EXPECT_EQ(map.areas[0].colour[0], 1);
    EXPECT_EQ(map.areas[0].colour[3], 4);
    EXPECT_NE(&map.areas[0].properties.FindChild(ZHashedString("Safe")), &ZDefNode::GetEmptyNode());
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST(MapFileReader, ARoomTwiceKeepsLastCellsAndBothIdLists) {
    MapSource source = SampleMap();
    source.rooms[1].x = source.rooms[0].x;
    source.rooms[1].background[0] = MapCell{9, 9, 0, 1};
    MapData map;
    ASSERT_TRUE(ReadBytes(EncodeMap(source), map));
    EXPECT_EQ(map.GetRoomCount(), 1u);
    const RoomData& room = map.GetRoom(source.rooms[0].x, 2);
    EXPECT_EQ(room.instanceIds.Count(), 4u);
    EXPECT_EQ(room.background[0], (MapCell{9, 9, 0, 1}));
}

TEST(MapFileReader, EveryTruncationStopsAndKeepsWholeRooms) {
    const std::vector<uint8_t> whole = EncodeMap(SampleMap());
    // One room block's length, to know how many rooms a prefix holds whole.
    MapSource one = SampleMap();
    one.rooms.resize(1);
    one.areas.clear();
    const size_t firstRoomEnd = EncodeMap(one).size() - 4;
    MapSource both = SampleMap();
    both.areas.clear();
    const size_t roomsEnd = EncodeMap(both).size() - 4;
    for (size_t n = 0; n < whole.size(); n += (n < 64 || n > whole.size() - 200) ? 1 : 97) {
        const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        MapData map;
        EXPECT_FALSE(ReadBytes(prefix, map)) << n;
        EXPECT_EQ(map.GetRoomCount(), n >= roomsEnd ? 2u : n >= firstRoomEnd ? 1u : 0u) << n;
        EXPECT_LE(map.areas.Count(), 1u) << n;
    }
}

TEST(MapFileReader, HostileCountsAndLengthsAreRefused) {
    struct Case {
        const char* what;
        Bytes bytes;
        uint32_t rooms;
        bool ok = false;
    };
    auto header = [](int32_t rooms) {
        Bytes b;
        b.u8(3).u8(4).i32(0).i32(0).zeros(8).i32(rooms);
        return b;
    };
    std::vector<Case> cases;
    cases.push_back({"huge room count, no rooms", header(0x7FFFFFFF), 0});
    // A room count of 0 or less means no rooms; the file is still whole.
    cases.push_back({"negative room count, then areas", header(-5).i32(0), 0, true});
    {
        Bytes b = header(1);
        b.i32(0).i32(0).i32(1).i32(-1);  // a 4 GB name
        cases.push_back({"string longer than the file", b, 0});
    }
    {
        Bytes b = header(1);
        b.i32(0).i32(0).i32(-3);
        cases.push_back({"negative placement count", b, 0});
    }
    {
        Bytes b = header(1);
        b.i32(0).i32(0).i32(0x40000000);
        cases.push_back({"placement count past the file", b, 0});
    }
    {
        Bytes b = header(0);
        b.i32(-1);
        cases.push_back({"negative area count", b, 0});
    }
    {
        Bytes b = header(0);
        b.i32(3).i32(0).i32(0).i32(1).i32(1).u8(0).u8(0).u8(0).u8(0).u8(0).i32(100);
        cases.push_back({"area text past the end", b, 0});
    }
    for (const Case& c : cases) {
        MapData map;
        EXPECT_EQ(ReadBytes(c.bytes.b, map), c.ok) << c.what;
        EXPECT_EQ(map.GetRoomCount(), c.rooms) << c.what;
    }
}

TEST(MapFileReader, EmptyNameLeavesTheMapAlone) {
    MapData map;
    map.GetOrAddRoom(1, 1);
    map.currentRoomX = 5;
    EXPECT_FALSE(ReadMapData("", map));
    EXPECT_FALSE(ReadMapData(nullptr, map));
    EXPECT_TRUE(map.HasRoom(1, 1));
    EXPECT_EQ(map.currentRoomX, 5);
}

TEST(PaletteFiles, CollisionGridIsColumnMajor) {
    Bytes b;
    b.u8(1).u8(0).i32(2).i32(3).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6);
    PaletteData palette;
    ASSERT_TRUE(ReadPaletteCollisionFromMemory(b.b.data(), b.b.size(), palette, "t.col"));
    EXPECT_EQ(palette.collisionStride, 2);
    EXPECT_EQ(palette.collisionCount, 3);
    EXPECT_EQ(palette.GetClass(0, 0), 1);
    EXPECT_EQ(palette.GetClass(0, 1), 2);
    EXPECT_EQ(palette.GetClass(2, 1), 6);
    EXPECT_EQ(palette.GetClass(3, 0), 0);
    EXPECT_EQ(palette.GetClass(0, 2), 0);
}

TEST(PaletteFiles, DamagedCollisionFilesLeaveAnEmptyGrid) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", Bytes{}});
    cases.push_back({"short header", Bytes{}.u8(1).u8(0).i32(2)});
    cases.push_back({"negative stride", Bytes{}.u8(1).u8(0).i32(-2).i32(-3).u8(1)});
    cases.push_back({"product overflows 32 bits", Bytes{}.u8(1).u8(0).i32(0x10000).i32(0x10000).u8(1)});
    cases.push_back({"one byte short", Bytes{}.u8(1).u8(0).i32(2).i32(2).u8(1).u8(2).u8(3)});
    for (const Case& c : cases) {
        PaletteData palette;
        palette.collision.PushBack(9);
        palette.collisionStride = palette.collisionCount = 1;
        EXPECT_FALSE(ReadPaletteCollisionFromMemory(c.bytes.b.data(), c.bytes.b.size(), palette, "t.col")) << c.what;
        EXPECT_TRUE(palette.collision.IsEmpty()) << c.what;
        EXPECT_EQ(palette.GetClass(0, 0), 0) << c.what;
    }
}

TEST(PaletteFiles, CustomTilesAndAnimationsRoundTripAndStopWhenCut) {
    CustomTilesSource custom;
    custom.tiles.push_back(CustomTileSource{"Ghost", "<Ghost Aura='blue'/>", {{"A", "", 1, 2}, {"B", "<X/>", 3, 4}}});
    custom.tiles.push_back(CustomTileSource{"Plain", "", {}});
    AnimationsSource animations;
    animations.animations.push_back(AnimationSource{"Water", {{4, 0}, {0, 1}}, 0.8f, 1});
    animations.animations.push_back(AnimationSource{"Still", {}, 1.0f, 0});
    const std::vector<uint8_t> customBytes = EncodeCustomTiles(custom);
    const std::vector<uint8_t> animationBytes = EncodeAnimations(animations);

    PaletteData palette;
    ASSERT_TRUE(ReadPaletteCustomTilesFromMemory(customBytes.data(), customBytes.size(), palette, "t.cus"));
    ASSERT_EQ(palette.customTiles.Count(), 2u);
    EXPECT_EQ(palette.customTiles[0].name, "Ghost");
    ASSERT_EQ(palette.customTiles[0].variants.Count(), 2u);
    EXPECT_EQ(palette.customTiles[0].variants[1].column, 3);
    EXPECT_EQ(palette.customTiles[0].variants[1].row, 4);
    EXPECT_EQ(palette.customTiles[0].properties.FindChild(ZHashedString("Ghost")).GetAttribute(ZHashedString("Aura")),
              "blue");
    ASSERT_TRUE(ReadPaletteAnimationsFromMemory(animationBytes.data(), animationBytes.size(), palette, 4, "t.ani"));
    ASSERT_EQ(palette.animations.Count(), 2u);
    EXPECT_EQ(palette.animations[0].frames.Count(), 2u);
    EXPECT_EQ(palette.animations[0].frames[1], (TileFrame{0, 1}));
    EXPECT_FLOAT_EQ(palette.animations[0].period, 0.8f);
    EXPECT_EQ(palette.animations[0].randomPhase, 1);
    EXPECT_EQ(palette.animations[1].paletteIndex, 4u);

    // Cut anywhere: only whole records stay, and fewer than all.
    for (size_t n = 0; n < customBytes.size(); ++n) {
        PaletteData cut;
        EXPECT_FALSE(ReadPaletteCustomTilesFromMemory(customBytes.data(), n, cut, "t.cus")) << n;
        EXPECT_LT(cut.customTiles.Count(), 2u) << n;
    }
    for (size_t n = 0; n < animationBytes.size(); ++n) {
        PaletteData cut;
        EXPECT_FALSE(ReadPaletteAnimationsFromMemory(animationBytes.data(), n, cut, 0, "t.ani")) << n;
        EXPECT_LT(cut.animations.Count(), 2u) << n;
    }
}

TEST(PaletteFiles, HostileRecordCounts) {
    const Bytes cases[] = {
        Bytes{}.u8(1).u8(0).i32(0x7FFFFFFF),
        Bytes{}.u8(1).u8(0).i32(-1),
        Bytes{}.u8(1).u8(0).i32(1).str("n").i32(0x7FFFFFFF),
        Bytes{}.u8(1).u8(0).i32(1).str("n").str("").i32(-4),
    };
    for (const Bytes& c : cases) {
        PaletteData palette;
        EXPECT_FALSE(ReadPaletteAnimationsFromMemory(c.b.data(), c.b.size(), palette, 0, "t.ani"));
        EXPECT_FALSE(ReadPaletteCustomTilesFromMemory(c.b.data(), c.b.size(), palette, "t.cus"));
        EXPECT_TRUE(palette.animations.IsEmpty());
        EXPECT_TRUE(palette.customTiles.IsEmpty());
    }
}

}  // namespace
