// Room grid, tile queries and tile metadata.

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "foundation/ZDefinitionFile.h"
#include "game/world/MapData.h"
#include "game/world/MapFileReader.h"
#include "game/world/TileMetadata.h"

namespace {

class Powerups : public PowerupHolder {
public:
    explicit Powerups(std::set<uint32_t> held) : m_held(std::move(held)) {}
    bool HasPowerup(uint32_t id) const override { return m_held.count(id) != 0; }

private:
    std::set<uint32_t> m_held;
};

MapCell Cell(int32_t column, int32_t row, int32_t kind, int32_t palette) { return MapCell{column, row, kind, palette}; }

// One room (3, -2) with one palette: a 4 x 2 class grid, one animation, one
// custom tile whose variant 1 shows with the red aura, and a second custom
// tile with a single variant.
struct Fixture {
    MapData map;

    Fixture() {
        PaletteData palette;
        palette.collisionStride = 2;
        palette.collisionCount = 4;
        // Column-major: class = 10 * column + row + 1.
        for (int32_t c = 0; c < 4; ++c) {
            for (int32_t r = 0; r < 2; ++r) palette.collision.PushBack(static_cast<uint8_t>(10 * c + r + 1));
        }
        TileAnimation animation;
        animation.frames.PushBack(TileFrame{2, 1});
        animation.frames.PushBack(TileFrame{3, 0});
        palette.animations.PushBack(animation);
        CustomTile ghost;
        ParsePropertyMarkup("<Ghost Aura='red'/>", ghost.properties);
        ghost.variants.PushBack(CustomTileVariant{"Solid", "", {}, 1, 1});
        ghost.variants.PushBack(CustomTileVariant{"Open", "", {}, 0, 0});
        palette.customTiles.PushBack(ghost);
        CustomTile single;
        ParsePropertyMarkup("<NoClimb/>", single.properties);
        single.variants.PushBack(CustomTileVariant{"Only", "", {}, 3, 1});
        palette.customTiles.PushBack(single);
        map.palettes.PushBack(palette);

        RoomData& room = map.GetOrAddRoom(3, -2);
        auto at = [](int32_t x, int32_t y) { return x * kRoomTilesY + y; };
        room.background[at(0, 0)] = Cell(1, 0, kCellSheet, 0);
        room.background[at(31, 27)] = Cell(3, 1, kCellSheet, 0);
        room.background[at(1, 0)] = Cell(0, 0, kCellAnimated, 0);
        room.background[at(2, 0)] = Cell(0, 0, kCellCustom, 0);
        room.background[at(3, 0)] = Cell(1, 0, kCellCustom, 0);
        room.background[at(4, 0)] = Cell(-1, -1, kCellNone, 0);
        room.background[at(5, 0)] = Cell(1, 0, kCellSheet, 7);      // no such palette
        room.background[at(6, 0)] = Cell(5, 0, kCellAnimated, 0);   // no such animation
        room.background[at(7, 0)] = Cell(-3, 0, kCellCustom, 0);    // negative index
        room.background[at(8, 0)] = Cell(9, 0, kCellSheet, 0);      // outside the class grid
        room.background[at(9, 0)] = Cell(-2, 1, kCellSheet, 0);     // negative sheet column
        room.background[at(10, 0)] = Cell(2, 1, 5, 0);             // unknown kind: tile (0, 0)
        room.foreground[at(0, 0)] = Cell(3, 0, kCellSheet, 0);
    }
};

TEST(MapQueries, NormalizeRoomTileMovesIntoNeighbouringRooms) {
    struct Case {
        int32_t room[2];
        int32_t tile[2];
        int32_t wantRoom[2];
        int32_t wantTile[2];
    };
    const Case cases[] = {
        {{5, 5}, {-1, 28}, {4, 6}, {31, 0}},
        {{5, 5}, {-33, 0}, {3, 5}, {31, 0}},
        {{0, 0}, {31, 27}, {0, 0}, {31, 27}},
        {{0, 0}, {32, -28}, {1, -1}, {0, 0}},
        {{0, 0}, {-32, 56}, {-1, 2}, {0, 0}},
        {{0, 0}, {95, -1}, {2, -1}, {31, 27}},
    };
    for (const Case& c : cases) {
        int32_t rx = c.room[0], ry = c.room[1], tx = c.tile[0], ty = c.tile[1];
        NormalizeRoomTile(rx, ry, tx, ty);
        EXPECT_EQ(rx, c.wantRoom[0]) << c.tile[0] << "," << c.tile[1];
        EXPECT_EQ(ry, c.wantRoom[1]) << c.tile[0] << "," << c.tile[1];
        EXPECT_EQ(tx, c.wantTile[0]) << c.tile[0] << "," << c.tile[1];
        EXPECT_EQ(ty, c.wantTile[1]) << c.tile[0] << "," << c.tile[1];
    }
}

TEST(MapQueries, NormalizeRoomTileSaturatesFarRooms) {
    int32_t rx = INT_MAX, ry = INT_MIN, tx = INT_MAX, ty = INT_MIN;
    NormalizeRoomTile(rx, ry, tx, ty);
    EXPECT_EQ(rx, INT_MAX);
    EXPECT_EQ(ry, INT_MIN);
    EXPECT_GE(tx, 0);
    EXPECT_LT(tx, kRoomTilesX);
    EXPECT_GE(ty, 0);
    EXPECT_LT(ty, kRoomTilesY);
}

TEST(MapQueries, GetTileAtAnswersCellsOrTheNoRoomCell) {
    Fixture f;
    struct Case {
        int32_t room[2];
        int32_t tile[2];
        bool foreground;
        MapCell want;
    };
    const Case cases[] = {
        {{3, -2}, {0, 0}, false, Cell(1, 0, kCellSheet, 0)},
        {{3, -2}, {0, 0}, true, Cell(3, 0, kCellSheet, 0)},
        {{3, -2}, {31, 27}, false, Cell(3, 1, kCellSheet, 0)},
        {{3, -2}, {20, 20}, false, Cell(0, 0, 0, 0)},  // an unset cell of an existing room
        {{3, -1}, {0, 0}, false, MapCell::NoRoom()},   // missing room
        {{4, -2}, {0, 0}, true, MapCell::NoRoom()},
        {{3, -2}, {32, 0}, false, MapCell::NoRoom()},  // outside the room
        {{3, -2}, {0, 28}, false, MapCell::NoRoom()},
        {{3, -2}, {-1, 0}, false, MapCell::NoRoom()},
        {{3, -2}, {0, INT_MIN}, false, MapCell::NoRoom()},
    };
    for (const Case& c : cases) {
        const MapCell cell = GetTileAt(f.map, c.room[0], c.room[1], c.tile[0], c.tile[1], c.foreground);
        EXPECT_EQ(cell, c.want) << c.room[0] << "," << c.room[1] << " tile " << c.tile[0] << "," << c.tile[1];
    }
}

TEST(MapQueries, CollisionClassesByCellKindAndEveryMissingIndexGivesZero) {
    Fixture f;
    const Powerups none({});
    const Powerups red({0x10001});
    struct Case {
        const char* what;
        int32_t tile[2];
        const PowerupHolder* holder;
        uint8_t want;
    };
    const Case cases[] = {
        {"sheet tile (1, 0)", {0, 0}, nullptr, 11},
        {"sheet tile (3, 1)", {31, 27}, nullptr, 32},
        {"animation: first frame (2, 1)", {1, 0}, nullptr, 22},
        {"custom tile, no player: variant 0 (1, 1)", {2, 0}, nullptr, 12},
        {"custom tile, player without aura", {2, 0}, &none, 12},
        {"custom tile, red aura: variant 1 (0, 0)", {2, 0}, &red, 1},
        {"custom tile with one variant", {3, 0}, nullptr, 32},
        {"no tile", {4, 0}, nullptr, 0},
        {"palette index out of range", {5, 0}, nullptr, 0},
        {"animation index out of range", {6, 0}, nullptr, 0},
        {"negative custom index", {7, 0}, nullptr, 0},
        {"sheet column past the grid", {8, 0}, nullptr, 0},
        {"negative sheet column", {9, 0}, nullptr, 0},
        {"unknown kind reads tile (0, 0)", {10, 0}, nullptr, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetTileCollisionInRoom(f.map, 3, -2, c.tile[0], c.tile[1], c.holder), c.want) << c.what;
    }
    EXPECT_EQ(GetTileCollisionInRoom(f.map, 9, 9, 0, 0, nullptr), 0) << "missing room";
    EXPECT_EQ(GetTileCollisionInRoom(f.map, 3, -2, 40, 0, nullptr), 0) << "tile outside the room";
    // The normalising form finds (0, 0) of room (3, -2) from room (2, -2).
    EXPECT_EQ(GetTileCollision(f.map, 2, -2, 32, 0, nullptr), 11);
    EXPECT_EQ(GetTileCollision(f.map, 3, -1, 31, -1, nullptr), 32);
}

TEST(MapQueries, MissingRoomsReadAsTheSharedEmptyRoom) {
    Fixture f;
    EXPECT_FALSE(f.map.HasRoom(0, 0));
    const RoomData& a = f.map.GetRoom(0, 0);
    const RoomData& b = f.map.GetRoom(3, 5);
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(a.background[0], Cell(0, 0, 0, 0));
    EXPECT_TRUE(a.instanceIds.IsEmpty());
    EXPECT_TRUE(f.map.HasRoom(3, -2));
    f.map.ClearRooms();
    EXPECT_FALSE(f.map.HasRoom(3, -2));
    EXPECT_EQ(f.map.GetRoomCount(), 0u);
}

TEST(MapQueries, AreasHoldTheirRoomsRightAndBottomExclusive) {
    MapArea area;
    area.left = 4;
    area.top = 7;
    area.right = 5;
    area.bottom = 8;
    EXPECT_TRUE(area.Contains(4, 7));
    EXPECT_FALSE(area.Contains(5, 7));
    EXPECT_FALSE(area.Contains(4, 8));
    EXPECT_FALSE(area.Contains(3, 7));
}

TEST(TileMetadata, VariantFromAuraNoClimbAndNoEffects) {
    const Powerups red({0x10001});
    const Powerups blueAndYellow({0x10002, 0x10004});
    struct Case {
        const char* markup;
        const PowerupHolder* holder;
        int32_t want;
    };
    const Case cases[] = {
        {"", nullptr, 0},
        {"<Ghost Aura='red'/>", nullptr, 0},
        {"<Ghost Aura='red'/>", &red, 1},
        {"<Ghost Aura='Red'/>", &red, 0},  // colours are exact
        {"<Ghost Aura='blue'/>", &red, 0},
        {"<Ghost Aura='yellow'/>", &blueAndYellow, 1},
        {"<Ghost Aura='green'/>", &blueAndYellow, 0},
        {"<Ghost/>", &red, 0},
        {"<NoClimb/><Ghost Aura='blue'/>", &red, 1},
        {"<NoClimb/>", nullptr, 1},
        {"<NoEffects/>", nullptr, 1},
        {"<Ghost Aura='purple'/><NoEffects/>", &red, 1},
    };
    for (const Case& c : cases) {
        ZDefNode metadata;
        ParsePropertyMarkup(c.markup, metadata);
        EXPECT_EQ(EvaluateTileVariant(metadata, c.holder), c.want) << c.markup;
    }
}

TEST(TileMetadata, AuraNames) {
    EXPECT_EQ(AuraPowerupId("red"), 0x10001u);
    EXPECT_EQ(AuraPowerupId("blue"), 0x10002u);
    EXPECT_EQ(AuraPowerupId("green"), 0x10003u);
    EXPECT_EQ(AuraPowerupId("yellow"), 0x10004u);
    EXPECT_EQ(AuraPowerupId("RED"), 0u);
    EXPECT_EQ(AuraPowerupId(""), 0u);
}

TEST(TileMetadata, CustomTileWithoutVariantsNamesNoTile) {
    CustomTile tile;
    int32_t column = 5, row = 5;
    EXPECT_FALSE(EvaluateTileMetadata(tile, nullptr, column, row));
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 0);
}

}  // namespace
