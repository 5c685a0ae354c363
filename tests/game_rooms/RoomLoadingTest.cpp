// Loading the current room: areas and their conditions, the edges handed to
// the world's collision, the instances placed in the rooms, and what happens
// to the previous room's entities.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "RoomTestSupport.h"
#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZStateStore.h"
#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/CollisionLineDef.h"
#include "game/world/KorvEntity.h"
#include "game/world/WorldEntity.h"
#include "game_world/GameFixture.h"

namespace {

// A map of one palette whose sheet row 0 has the classes 0 to 6 by column
// (column c is class c), with one two-frame animation.
class RoomLoadingTest : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        m_files = std::make_unique<roomtest::DefinitionFolder>();
        GetStateStore()->Clear();
        m_game->SetCampaign(roomtest::Markup("<Campaign ID='T'/>"));
        MapData& map = m_game->GetMapData();
        PaletteData palette;
        palette.collisionStride = 1;
        palette.collisionCount = 7;
        for (uint8_t c = 0; c < 7; ++c) palette.collision.PushBack(c);
        palette.uPerPixel = 1.0f / 64.0f;
        palette.vPerPixel = 1.0f / 64.0f;
        TileAnimation water;
        water.frames.PushBack(TileFrame{4, 0});
        water.frames.PushBack(TileFrame{5, 0});
        water.period = 1.0f;
        palette.animations.PushBack(water);
        map.palettes.PushBack(palette);
    }
    void TearDown() override {
        GetStateStore()->Clear();
        m_game->DeleteRetiredEntities();
        m_files.reset();
        GameTest::TearDown();
    }
    // Draws a room's background from text rows: a digit is the sheet tile of
    // that class, 'a' the animation, anything else nothing.
    void DrawRoom(int32_t x, int32_t y, const std::vector<std::string>& rows) {
        RoomData& room = m_game->GetMapData().GetOrAddRoom(x, y);
        for (MapCell& cell : room.background) cell = MapCell{-1, -1, kCellSheet, 0};
        for (MapCell& cell : room.foreground) cell = MapCell{-1, -1, kCellSheet, 0};
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                MapCell& cell = room.background[c * kRoomTilesY + r];
                const char ch = rows[r][c];
                if (ch >= '0' && ch <= '6') cell = MapCell{ch - '0', 0, kCellSheet, 0};
                if (ch == 'a') cell = MapCell{0, 0, kCellAnimated, 0};
            }
        }
    }
    std::unique_ptr<roomtest::DefinitionFolder> m_files;
};

TEST_F(RoomLoadingTest, AreasOverrideTheMapDefaultsInOrder) {
    MapData& map = m_game->GetMapData();
    map.defaultMusic = "cave";
    map.defaultSprite = "hero.bmp";
    map.defaultColour[0] = 9;
    DrawRoom(1, 0, {});
    MapArea wide;
    wide.left = 0, wide.top = 0, wide.right = 3, wide.bottom = 1;
    wide.kind = 1;
    wide.colour[0] = 50;
    wide.properties = roomtest::Markup("<P><BGMusic Name='wide'/><Minimap Name='All'/><Underwater Toxic='true'/></P>");
    MapArea small;
    small.left = 1, small.top = 0, small.right = 2, small.bottom = 1;
    small.kind = 0;  // keeps the colour of the area before
    small.colour[0] = 70;
    small.properties = roomtest::Markup("<P><BGMusic Name='small'/><Safe/></P>");
    map.areas.PushBack(wide);
    map.areas.PushBack(small);
    map.currentRoomX = 1;

    m_game->LoadRoom();
    const RoomConditions& c = m_game->GetRoomConditions();
    EXPECT_EQ(c.music, "small");
    EXPECT_EQ(c.sprite, "hero.bmp");
    EXPECT_EQ(c.minimapName, "All") << "a property the later area lacks keeps the earlier value";
    EXPECT_TRUE(c.safe);
    EXPECT_TRUE(c.underwater);
    EXPECT_TRUE(c.toxic);
    EXPECT_EQ(map.currentColour[0], 50);
    EXPECT_EQ(map.currentRect[0], 1);
    EXPECT_EQ(map.currentRect[2], 2);
    EXPECT_EQ(map.rectBounds[2], 0.0f);
    EXPECT_EQ(map.rectBounds[3], 256.0f);

    // Outside both areas: the defaults and the room alone.
    map.currentRoomX = 5;
    m_game->LoadRoom();
    EXPECT_EQ(m_game->GetRoomConditions().music, "cave");
    EXPECT_FALSE(m_game->GetRoomConditions().underwater);
    EXPECT_EQ(map.currentColour[0], 9);
    EXPECT_EQ(map.currentRect[0], 5);
    EXPECT_EQ(map.currentRect[2], 6);
}

TEST_F(RoomLoadingTest, ToxicWithoutWaterNeverReachesThePlayer) {
    DrawRoom(0, 0, {});
    MapArea area;
    area.right = 1, area.bottom = 1;
    area.properties = roomtest::Markup("<P><Speedrun Active='true' Name='Dash'/></P>");
    m_game->GetMapData().areas.PushBack(area);
    m_game->GetMapData().defaultToxic = 1;
    m_game->LoadRoom();
    EXPECT_FALSE(m_game->GetRoomConditions().toxic);
    EXPECT_TRUE(m_game->GetRoomConditions().speedrun);
    EXPECT_TRUE(m_game->GetRoomConditions().speedrunActive);
    EXPECT_EQ(m_game->GetRoomConditions().speedrunName, "Dash");
}

TEST_F(RoomLoadingTest, EdgesOfTheAreaBecomeNamedLinesOfTheWorld) {
    std::vector<std::string> rows(28, "");
    rows[20] = "....3333";
    rows[27] = std::string(32, '1');
    DrawRoom(0, 0, rows);
    m_game->LoadRoom();
    const std::vector<EdgeRecord>& edges = m_game->GetRoomEdges();
    // The platform's top, and the floor's top, bottom and ends.
    const std::vector<EdgeRecord> expected = {
        {0, 216, 256, 216, 1}, {32, 160, 64, 160, 3}, {256, 224, 0, 224, 1}, {0, 224, 0, 216, 1},
        {256, 216, 256, 224, 1}};
    EXPECT_EQ(edges, expected);

    WorldEntity* world = m_game->GetWorldEntity();
    ASSERT_NE(world, nullptr);
    ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(world);
    ASSERT_NE(collision, nullptr);
    EXPECT_EQ(collision->primitives.Count(), expected.size());
    auto* first = DynamicCast<CollisionLineDef>(collision->FindPrimitive(ZHashedString("LD_0").GetId()));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, 1);
    EXPECT_EQ(first->end, ZVector3(256.0f, 216.0f, 0.0f));
    EXPECT_NE(collision->FindPrimitive(ZHashedString("LD_4").GetId()), nullptr);

    // A second load replaces every line.
    DrawRoom(0, 0, {});
    m_game->LoadRoom();
    EXPECT_TRUE(m_game->GetRoomEdges().empty());
    EXPECT_EQ(collision->primitives.Count(), 0u);
}

TEST_F(RoomLoadingTest, ABoxFallsOntoTheFloorOfTheRoom) {
    std::vector<std::string> rows(28, "");
    rows[27] = std::string(32, '1');
    DrawRoom(0, 0, rows);
    m_game->LoadRoom();
    auto* faller = new KorvEntity();
    faller->CreateComponentsFromNode(roomtest::Markup(
        "<E><Spatial/><Collision><Primitive Type='Box'><Extents><Vector X='4' Y='4' Z='1'/></Extents></Primitive>"
        "</Collision></E>"));
    ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(faller);
    ASSERT_NE(spatial, nullptr);
    spatial->current.position = ZVector3(100.0f, 150.0f, 0.0f);
    spatial->current.velocity = ZVector3(0.0f, 600.0f, 0.0f);
    spatial->ResetInterpolation();
    for (int step = 0; step < 30; ++step) faller->PostUpdate(1.0f / 60.0f, 2);
    EXPECT_NEAR(spatial->current.position.y, 212.0f, 0.1f) << "resting on the floor's top at 216";
    delete faller;
}

TEST_F(RoomLoadingTest, InstancesOfTheAreaAreMadeAndPlaced) {
    DrawRoom(0, 0, {});
    DrawRoom(1, 0, {});
    m_game->GetMapData().GetOrAddRoom(0, 0).instanceIds.PushBack(0x2A);
    m_game->GetMapData().GetOrAddRoom(1, 0).instanceIds.PushBack(0x2B);
    m_game->GetMapData().GetOrAddRoom(1, 0).instanceIds.PushBack(0x2C);
    MapArea area;
    area.right = 2, area.bottom = 1;
    m_game->GetMapData().areas.PushBack(area);
    m_files->Write("T_EntInst_0000002a.zdd",
                   "<Entity><GUID GUID='2a'/><Name Name='Door'/><Spatial><Position><Vector X='10' Y='20'/></Position>"
                   "</Spatial></Entity>");
    m_files->Write("T_EntInst_0000002b.zdd",
                   "<Entity><GUID GUID='2b'/><Spatial><Position><Vector X='30' Y='40'/></Position></Spatial></Entity>");
    // 0x2C has no file: it makes nothing and is dropped.
    EXPECT_EQ(m_game->GetInstanceFileName(0x2A), "T_EntInst_0000002a.zdd");

    m_game->LoadRoom();
    EXPECT_EQ(m_game->GetPendingInstanceIds().Count(), 3u);
    m_game->LoadEntityInstances(true);
    ASSERT_EQ(m_game->GetRoomEntities().size(), 1u) << "only the named one";
    EXPECT_EQ(m_game->GetPendingInstanceIds().Count(), 2u);
    m_game->LoadEntityInstances(false);
    EXPECT_EQ(m_game->GetRoomEntities().size(), 2u);
    EXPECT_EQ(m_game->GetPendingInstanceIds().Count(), 0u);
    int32_t rx = -1;
    int32_t ry = -1;
    EXPECT_TRUE(m_game->GetInstanceRoom(0x2B, rx, ry));
    EXPECT_EQ(rx, 1);
    EXPECT_EQ(ry, 0);
}

TEST_F(RoomLoadingTest, EntitiesOfAnotherRoomKeepTheirPlaceOnTheGrid) {
    DrawRoom(0, 0, {});
    DrawRoom(1, 0, {});
    m_game->GetMapData().GetOrAddRoom(1, 0).instanceIds.PushBack(0x51);
    MapArea area;
    area.right = 2, area.bottom = 1;
    m_game->GetMapData().areas.PushBack(area);
    m_files->Write("T_EntInst_00000051.zdd",
                   "<Entity><GUID GUID='51'/><Spatial><Position><Vector X='30' Y='40'/></Position></Spatial></Entity>");
    // First seen from room (1, 0): its home.
    m_game->GetMapData().currentRoomX = 1;
    m_game->LoadRoom();
    m_game->LoadEntityInstances(false);
    ASSERT_EQ(m_game->GetRoomEntities().size(), 1u);
    EXPECT_EQ(GetComponent<ZSpatialComponent>(m_game->GetRoomEntities()[0])->current.position.x, 30.0f);
    // From room (0, 0) the same entity stands one room to the right.
    m_game->GetMapData().currentRoomX = 0;
    m_game->LoadRoom();
    m_game->LoadEntityInstances(false);
    ASSERT_EQ(m_game->GetRoomEntities().size(), 1u);
    EXPECT_EQ(GetComponent<ZSpatialComponent>(m_game->GetRoomEntities()[0])->current.position.x, 286.0f);
}

// An area taller than one room, loaded from its top-left room: the rooms
// below lie one room height (224) down, their floors merged across the area,
// and what they place stands there too.
TEST_F(RoomLoadingTest, ATallAreaPutsItsLowerRoomsOneRoomHeightDown) {
    const struct {
        const char* what;
        int32_t width, height;  // rooms
    } cases[] = {{"1 x 2", 1, 2}, {"2 x 2", 2, 2}, {"1 x 3", 1, 3}};
    uint32_t id = 0x60;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MapData& map = m_game->GetMapData();
        map.ClearRooms();
        map.areas.Clear();
        std::vector<std::string> floor(28, "");
        floor[27] = std::string(32, '1');
        for (int32_t x = 0; x < c.width; ++x) {
            for (int32_t y = 0; y < c.height; ++y) DrawRoom(x, y, y == c.height - 1 ? floor : std::vector<std::string>{});
        }
        const int32_t lowest = c.height - 1;
        // A placement of its own each time: the one before left its state behind.
        ++id;
        map.GetOrAddRoom(c.width - 1, lowest).instanceIds.PushBack(id);
        char guid[16];
        std::snprintf(guid, sizeof guid, "%x", id);
        m_files->Write(std::string(m_game->GetInstanceFileName(id).GetText()),
                       std::string("<Entity><GUID GUID='") + guid +
                           "'/><Spatial><Position><Vector X='30' Y='40'/></Position></Spatial></Entity>");
        MapArea area;
        area.right = c.width, area.bottom = c.height;
        map.areas.PushBack(area);
        map.currentRoomX = 0;
        map.currentRoomY = 0;

        m_game->LoadRoom();
        m_game->LoadEntityInstances(false);
        EXPECT_EQ(map.rectBounds[0], 0.0f);
        EXPECT_EQ(map.rectBounds[1], 224.0f * c.height);
        EXPECT_EQ(map.rectBounds[3], 256.0f * c.width);
        // The lowest rooms' floor: its top 8 px above their bottom, one run
        // across the whole area, and its ends and underside.
        const int32_t top = 224 * lowest + 216;
        const int32_t bottom = 224 * c.height;
        const int32_t right = 256 * c.width;
        std::vector<EdgeRecord> expected = {{0, top, right, top, 1},
                                            {right, bottom, 0, bottom, 1},
                                            {0, bottom, 0, top, 1},
                                            {right, top, right, bottom, 1}};
        std::vector<EdgeRecord> edges = m_game->GetRoomEdges();
        const auto order = [](const EdgeRecord& a, const EdgeRecord& b) {
            return std::tie(a.y1, a.x1, a.y2, a.x2) < std::tie(b.y1, b.x1, b.y2, b.x2);
        };
        std::sort(edges.begin(), edges.end(), order);
        std::sort(expected.begin(), expected.end(), order);
        EXPECT_EQ(edges, expected);
        // The lowest right room's instance, seen from the top-left room.
        ASSERT_EQ(m_game->GetRoomEntities().size(), 1u);
        const ZVector3 at = GetComponent<ZSpatialComponent>(m_game->GetRoomEntities()[0])->current.position;
        EXPECT_EQ(at.x, 30.0f + 256.0f * (c.width - 1));
        EXPECT_EQ(at.y, 40.0f + 224.0f * lowest);
        m_game->DeleteRetiredEntities();
    }
}

// The entity whose event changes rooms must outlive its own event.
uint32_t gRoomChanges = 0;
bool ChangeRoomVerb(const ZHashedString* verb, const ZArray<ZString>&, uint32_t context, uint32_t) {
    if (verb == nullptr || *verb != ZHashedString("changeroom")) return false;
    ++gRoomChanges;
    KorvanthGame::Get()->LoadRoom();
    KorvanthGame::Get()->LoadEntityInstances(false);
    // Still alive: its event goes on after the room changed.
    auto* self = DynamicCast<ZEntity>(FindObjectByHandle(context));
    EXPECT_NE(self, nullptr);
    if (self != nullptr) {
        EXPECT_NE(GetComponent<ZDataComponent>(self), nullptr);
    }
    return true;
}

TEST_F(RoomLoadingTest, ARoomChangeFromAnEntitysOwnEventKeepsItUntilTheNextStep) {
    DrawRoom(0, 0, {});
    m_game->GetMapData().GetOrAddRoom(0, 0).instanceIds.PushBack(0x77);
    m_files->Write("T_EntInst_00000077.zdd",
                   "<Entity><GUID GUID='77'/><Data><Datum Name='Hits' Type='Int' Value='2'/></Data></Entity>");
    RegisterCommandHandler(ChangeRoomVerb);
    m_game->LoadRoom();
    m_game->LoadEntityInstances(false);
    ASSERT_EQ(m_game->GetRoomEntities().size(), 1u);
    KorvEntity* door = m_game->GetRoomEntities()[0];
    const uint32_t handle = door->GetHandle();

    RunCommandText("changeroom", handle, 0);
    EXPECT_EQ(gRoomChanges, 1u);
    EXPECT_EQ(m_game->GetRetiredEntityCount(), 1u);
    EXPECT_EQ(FindObjectByHandle(handle), door) << "kept while its event may still run";
    EXPECT_TRUE(GetStateStore()->Has(0x77)) << "saved as it left";
    EXPECT_EQ(m_game->GetRoomEntities().size(), 1u) << "the room's new instance";

    m_game->FixedUpdate();
    EXPECT_EQ(m_game->GetRetiredEntityCount(), 0u);
    EXPECT_EQ(FindObjectByHandle(handle), nullptr);
    ClearCommandHandlers();
}

// A teleport without a wipe from an entity's "OnFullyLoaded": the room is
// left while its instances are still being made.
bool TeleportOnLoadVerb(const ZHashedString* verb, const ZArray<ZString>&, uint32_t, uint32_t) {
    if (verb == nullptr || *verb != ZHashedString("teleportnow")) return false;
    KorvanthGame* const game = KorvanthGame::Get();
    game->GetMapData().currentRoomX = 1;
    game->LoadRoom();
    game->LoadEntityInstances(false);
    return true;
}

TEST_F(RoomLoadingTest, ARoomLoadedWhileItsEntitiesAreMadeLeavesOnlyTheNewRoom) {
    DrawRoom(0, 0, {});
    DrawRoom(1, 0, {});
    RoomData& first = m_game->GetMapData().GetOrAddRoom(0, 0);
    for (const uint32_t id : {0x61u, 0x62u, 0x63u}) first.instanceIds.PushBack(id);
    m_game->GetMapData().GetOrAddRoom(1, 0).instanceIds.PushBack(0x70);
    m_files->Write("T_EntInst_00000061.zdd",
                   "<Entity><GUID GUID='61'/><Script><OnFullyLoaded><Action Text='teleportnow'/></OnFullyLoaded>"
                   "</Script></Entity>");
    for (const char* id : {"62", "63", "70"}) {
        m_files->Write(std::string("T_EntInst_000000") + id + ".zdd",
                       std::string("<Entity><GUID GUID='") + id + "'/></Entity>");
    }
    RegisterCommandHandler(TeleportOnLoadVerb);
    m_game->LoadRoom();
    m_game->LoadEntityInstances(false);

    EXPECT_EQ(m_game->GetMapData().currentRoomX, 1);
    ASSERT_EQ(m_game->GetRoomEntities().size(), 1u) << "the new room's entity alone";
    EXPECT_EQ(GetComponent<ZGUIDComponent>(m_game->GetRoomEntities()[0])->guid, 0x70u);
    EXPECT_EQ(m_game->GetPendingInstanceIds().Count(), 0u);
    EXPECT_EQ(m_game->GetRetiredEntityCount(), 1u) << "the teleporter went with the room it left";
    EXPECT_TRUE(GetStateStore()->Has(0x61)) << "saved as it left";
    m_game->FixedUpdate();
    EXPECT_EQ(m_game->GetRetiredEntityCount(), 0u);
    ClearCommandHandlers();
}

TEST_F(RoomLoadingTest, NewPalettesFirstClearTheAnimatedLayers) {
    DrawRoom(0, 0, {"aa", "a"});
    m_game->LoadRoom();
    DynWorldEntity* dyn = m_game->GetDynWorldEntity();
    ASSERT_NE(dyn, nullptr);
    AnimatedTileLayerMesh* mesh = dyn->GetCurrentMesh(false);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetRecords().Count(), 3u);
    EXPECT_NE(mesh->GetRecords()[0].animation, nullptr);
    m_game->GetMapData().ClearPalettes();
    EXPECT_EQ(mesh->GetRecords().Count(), 0u) << "no record points at a freed palette";
}

}  // namespace
