#include <gtest/gtest.h>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerData.h"
#include "game_world/GameFixture.h"
#include "renderer/ZImage.h"
#include "support/TempDir.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

// The shipped campaign's first map with a stand-in player: an entity with a
// place and the minimap component.
class MinimapTest : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        MountGamePackage();
        GetStateStore()->Clear();
        ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
        m_game->LoadCampaign(ZString("Caverns"));
        spatial = AddComponent<ZSpatialComponent>(&player);
        minimap = AddComponent<MinimapComponent>(&player);
        ASSERT_TRUE(base.LoadBMP("Minimap_Caverns_Base.bmp"));
    }
    void TearDown() override {
        DestroyStateStore();
        GameTest::TearDown();
    }

    // The room loader's part: load the room, hand the minimap in, take a step there.
    void EnterRoom(int32_t x, int32_t y) {
        m_game->GetMapData().currentRoomX = x;
        m_game->GetMapData().currentRoomY = y;
        m_game->LoadRoom();
        HandInRoomMinimap(*minimap, ZString(minimapName));
        spatial->current.position = ZVector3{100.0f, 100.0f, 0.0f};
        minimap->Update(1.0f / 60.0f, 2);
    }

    // Whether the cell of room (x, y) in the picture shows the base bitmap.
    bool CellShowsBase(int32_t x, int32_t y) const {
        const int32_t cx = (x - minimap->GetOriginX() + 1) * 6;
        const int32_t cy = (y - minimap->GetOriginY() + 1) * 6;
        for (int32_t dy = 0; dy < 7; ++dy) {
            for (int32_t dx = 0; dx < 7; ++dx) {
                if (dx >= 2 && dx <= 4 && dy >= 2 && dy <= 4) continue;  // where a marker may sit
                if (minimap->GetTexel(cx + dx, cy + dy) != base.GetPixel(cx + dx, cy + dy)) return false;
            }
        }
        return true;
    }
    bool CellIsBlack(int32_t x, int32_t y) const {
        const int32_t cx = (x - minimap->GetOriginX() + 1) * 6;
        const int32_t cy = (y - minimap->GetOriginY() + 1) * 6;
        // Inside the cell, away from the borders it shares.
        for (int32_t dy = 1; dy < 6; ++dy) {
            for (int32_t dx = 1; dx < 6; ++dx) {
                if (minimap->GetTexel(cx + dx, cy + dy) != MinimapComponent::kBlack) return false;
            }
        }
        return true;
    }
    bool HasMarker(int32_t x, int32_t y) const {
        const int32_t cx = (x - minimap->GetOriginX() + 1) * 6;
        const int32_t cy = (y - minimap->GetOriginY() + 1) * 6;
        return minimap->GetTexel(cx + 3, cy + 3) != base.GetPixel(cx + 3, cy + 3);
    }
    // A room of the map holding a gem, and the gem's id.
    bool FindGemRoom(int32_t& x, int32_t& y, uint32_t& gem) const {
        for (const auto& [rx, column] : m_game->GetMapData().GetRooms()) {
            for (const auto& [ry, room] : column) {
                for (uint32_t i = 0; i < room.instanceIds.Count(); ++i) {
                    if (MinimapComponent::CountCollectibles({room.instanceIds[i]}).total > 0) {
                        x = rx;
                        y = ry;
                        gem = room.instanceIds[i];
                        return true;
                    }
                }
            }
        }
        return false;
    }

    ZPlainEntity player;
    ZSpatialComponent* spatial = nullptr;
    MinimapComponent* minimap = nullptr;
    ZImage base;
    const char* minimapName = "Caverns";
};

}  // namespace

TEST_F(MinimapTest, RoomsShowAsTheyAreVisitedAndStayAcrossHandIns) {
    EXPECT_EQ(minimap->GetTexel(10, 10), MinimapComponent::kBlack);
    EnterRoom(0, 0);
    EXPECT_EQ(minimap->GetCurrentMinimap(), H("Caverns"));
    EXPECT_TRUE(CellShowsBase(0, 0));
    EXPECT_TRUE(CellIsBlack(1, 0)) << "not visited yet";

    EnterRoom(1, 0);
    EXPECT_TRUE(CellShowsBase(1, 0));
    EXPECT_TRUE(CellShowsBase(0, 0)) << "the new hand-in repaints the rooms found before";
    EXPECT_EQ(minimap->GetDiscovered().at(H("Caverns")).size(), 2u);

    // "reveal" paints every room of the current map without discovering it.
    EXPECT_TRUE(CellIsBlack(2, 0));
    minimap->FillAllRooms();
    EXPECT_TRUE(CellShowsBase(2, 0));
    EXPECT_EQ(minimap->GetDiscovered().at(H("Caverns")).size(), 2u) << "nothing was discovered";
    // The next hand-in repaints the discovered rooms alone.
    EnterRoom(1, 0);
    EXPECT_TRUE(CellIsBlack(2, 0)) << "a revealed room stays hidden once the picture is repainted";
    EXPECT_TRUE(CellShowsBase(0, 0));
    EXPECT_TRUE(CellShowsBase(1, 0));
    // Another map is not revealed when its minimap comes in.
    minimap->FillAllRooms();
    m_game->LoadCampaign(ZString("Sunken"));
    minimapName = "Sunken Halls";
    ASSERT_TRUE(base.LoadBMP("Minimap_SunkenHalls_Base.bmp"));
    EnterRoom(0, 0);
    EXPECT_TRUE(CellShowsBase(0, 0));
    bool farRoom = false;
    for (const auto& [x, column] : m_game->GetMapData().GetRooms()) {
        for (const auto& [y, room] : column) {
            if (x == 0 && y == 0) continue;
            EXPECT_TRUE(CellIsBlack(x, y)) << "Sunken (" << x << ", " << y << ") stays hidden";
            farRoom = true;
        }
    }
    EXPECT_TRUE(farRoom);
}

TEST_F(MinimapTest, ARoomCountsItsGemsAndShowsAMarkerUntilTheyAreCollected) {
    // The sunken halls hold gems.
    m_game->LoadCampaign(ZString("Sunken"));
    minimapName = "Sunken Halls";
    ASSERT_TRUE(base.LoadBMP("Minimap_SunkenHalls_Base.bmp"));
    int32_t x = 0;
    int32_t y = 0;
    uint32_t gem = 0;
    ASSERT_TRUE(FindGemRoom(x, y, gem));
    EnterRoom(x, y);
    const MinimapComponent::RoomCount count = minimap->GetCurrentCount();
    EXPECT_GT(count.total, 0);
    EXPECT_EQ(count.collected, 0);
    EXPECT_TRUE(HasMarker(x, y));

    // One taken: a step counts nothing new until the room loader asks for a recount.
    ZDefNode record;
    ZDefNode dead(H("Delete"));
    dead.SetAttribute(H("Dead"), ZString("true"));
    record.AddChild(dead);
    GetStateStore()->GetOrInsert(gem) = record;
    minimap->Update(1.0f / 60.0f, 2);
    EXPECT_EQ(minimap->GetCurrentCount().collected, 0);
    minimap->RequestRecount();
    minimap->Update(1.0f / 60.0f, 2);
    EXPECT_EQ(minimap->GetCurrentCount().collected, 1);
    EXPECT_EQ(minimap->GetDiscovered().at(H("Sunken Halls")).at(x).at(y).collected, 1);
    EXPECT_TRUE(HasMarker(x, y) == (count.total > 1));

    // All of them taken: no marker.
    const ZArray<uint32_t>& ids = m_game->GetMapData().GetRoom(x, y).instanceIds;
    for (uint32_t i = 0; i < ids.Count(); ++i) GetStateStore()->GetOrInsert(ids[i]) = record;
    minimap->RequestRecount();
    minimap->Update(1.0f / 60.0f, 2);
    EXPECT_EQ(minimap->GetCurrentCount().collected, count.total);
    EXPECT_FALSE(HasMarker(x, y));
    EXPECT_TRUE(CellShowsBase(x, y));

    // The collection of the map's minimap counts the same gem.
    LoadMinimapsFile(*minimap, m_game->GetMapList());
    const GemCount sunken = minimap->CountCollection(H("Sunken"));
    EXPECT_GT(sunken.total, count.total);
    EXPECT_EQ(sunken.collected, count.total);
    EXPECT_EQ(minimap->CountCollection(H("Crystals")).collected, 0);
}

TEST_F(MinimapTest, TheDiscoveredRoomsAreSavedAndRestored) {
    ZDefNode empty;
    minimap->SaveInto(empty);
    const ZDefNode& saved = empty.FindChild(H("Minimap"));
    EXPECT_EQ(saved.GetAttribute(H("Version")), "2");
    EXPECT_EQ(saved.children.Count(), 0u);

    EnterRoom(0, 0);
    EnterRoom(1, 0);
    ZDefNode parent;
    minimap->SaveInto(parent);
    ZPlainEntity other;
    MinimapComponent* restored = AddComponent<MinimapComponent>(&other);
    restored->ReadDefinition(parent.FindChild(H("Minimap")));
    EXPECT_EQ(restored->GetDiscovered(), minimap->GetDiscovered());
    EXPECT_EQ(restored->GetVersion(), 2);

    // An older save gains the ice world's room, unless its gem is gone.
    ZDefNode old(H("Minimap"));
    old.SetAttribute(H("Version"), ZString("1"));
    ZPlainEntity third;
    MinimapComponent* older = AddComponent<MinimapComponent>(&third);
    older->ReadDefinition(old);
    ASSERT_EQ(older->GetDiscovered().count(H("Ice World")), 1u);
    EXPECT_EQ(older->GetDiscovered().at(H("Ice World")).at(0).at(0), (MinimapComponent::RoomCount{1, 1}));
    // Its gem taken already (the saved record says it is dead): nothing is added.
    ZDefNode taken;
    ZDefNode dead(H("Delete"));
    dead.SetAttribute(H("Dead"), ZString("true"));
    taken.AddChild(dead);
    GetStateStore()->GetOrInsert(0x5c2877c3u) = taken;
    ZPlainEntity fourth;
    MinimapComponent* gone = AddComponent<MinimapComponent>(&fourth);
    gone->ReadDefinition(old);
    EXPECT_EQ(gone->GetDiscovered().count(H("Ice World")), 0u);
}

TEST_F(MinimapTest, CellsSitOnTheirRoomsAndFarRoomsPaintNothing) {
    // Room (OX, OY) paints from (6, 6) to (12, 12); a room far off the picture paints nothing.
    minimap->LoadMapImages("Minimap_Caverns_Base.bmp", "Minimap_Caverns_Overlay.bmp", 0, 0, -1, 5, 1, 1, H("Caverns"));
    EXPECT_EQ(minimap->GetWidth(), base.GetWidth() / 6 - 2);
    EXPECT_EQ(minimap->GetPlaceX(), 1);
    minimap->FillRoom(0, 0, {});
    EXPECT_EQ(minimap->GetTexel(6, 6), base.GetPixel(6, 6));
    EXPECT_EQ(minimap->GetTexel(12, 12), base.GetPixel(12, 12));
    minimap->FillRoom(1000000, -1000000, {1, 2});
    minimap->FillRoom(-2147483647, 2147483647, {1, 2});
    EXPECT_EQ(minimap->GetTexel(13, 13), MinimapComponent::kBlack);
}

// A room the base picture leaves dark but the overlay draws shows from its
// first fill on and stays in the base picture; a room of the base keeps its
// own look whatever the overlay holds there.
TEST_F(MinimapTest, AnOverlayOnlyRoomJoinsTheBaseOnItsFirstFill) {
    // Rooms (0, 0) .. (2, 0) of a 5 x 3 cell picture: the base draws (0, 0)
    // only; the overlay draws (0, 0) in another colour and (1, 0); (2, 0) is
    // in neither.
    korvtest::TempDir folder;
    const uint32_t baseColour = 0xFF2040C0u;
    const uint32_t overlayColour = 0xFF40A060u;
    const auto cell = [](const int32_t x) { return (x + 1) * 6; };
    ZImage picture;
    ASSERT_TRUE(picture.Create(30, 18, 4, 32));
    for (int32_t y = 0; y < 18; ++y) {
        for (int32_t x = 0; x < 30; ++x) picture.SetPixel(x, y, 0xFF000000u);
    }
    const auto paint = [&picture, &cell](const int32_t room, const uint32_t colour) {
        for (int32_t dy = 0; dy < 7; ++dy) {
            for (int32_t dx = 0; dx < 7; ++dx) picture.SetPixel(cell(room) + dx, 6 + dy, colour);
        }
    };
    paint(0, baseColour);
    ASSERT_TRUE(WriteBMPFile(picture, folder.File("fixture_base.bmp").c_str()));
    paint(0, overlayColour);
    paint(1, overlayColour);
    ASSERT_TRUE(WriteBMPFile(picture, folder.File("fixture_overlay.bmp").c_str()));
    ZStreamMgr::GetInstance()->AddDirectorySource(folder.Path().string().c_str());

    minimap->LoadMapImages("fixture_base.bmp", "fixture_overlay.bmp", 0, 0, -1, -1, -1, -1, H("Fixture"));
    const ZImage& merged = minimap->GetBaseImage();
    ASSERT_EQ(merged.GetWidth(), 30);
    EXPECT_EQ(minimap->GetTexel(cell(1) + 3, 9), MinimapComponent::kBlack);
    EXPECT_EQ(merged.GetPixel(cell(1) + 3, 9), 0xFF000000u) << "nothing merged before the fill";

    for (const int32_t room : {0, 1, 2}) minimap->FillRoom(room, 0, {});
    for (int32_t dy = 0; dy < 7; ++dy) {
        for (int32_t dx = 0; dx < 7; ++dx) {
            const int32_t x = cell(1) + dx;
            const int32_t y = 6 + dy;
            EXPECT_EQ(minimap->GetTexel(x, y), overlayColour) << x << ", " << y;
            EXPECT_EQ(merged.GetPixel(x, y), overlayColour) << x << ", " << y;
        }
    }
    EXPECT_EQ(minimap->GetTexel(cell(0) + 3, 9), baseColour) << "the base's room keeps its look";
    EXPECT_EQ(merged.GetPixel(cell(0) + 3, 9), baseColour);
    EXPECT_EQ(minimap->GetTexel(cell(2) + 3, 9), 0xFF000000u) << "a room in neither stays dark";
}

TEST_F(MinimapTest, ALiveGemsOwnDatumHasTheLastWordOverItsSavedRecord) {
    m_game->LoadCampaign(ZString("Sunken"));
    int32_t x = 0;
    int32_t y = 0;
    uint32_t gem = 0;
    ASSERT_TRUE(FindGemRoom(x, y, gem));
    const int32_t total = MinimapComponent::CountCollectibles({gem}).total;
    ASSERT_GT(total, 0);
    // Saved as taken.
    ZDefNode dead(H("Delete"));
    dead.SetAttribute(H("Dead"), ZString("true"));
    GetStateStore()->GetOrInsert(gem).AddChild(dead);
    ASSERT_EQ(MinimapComponent::CountCollectibles({gem}).collected, total);

    ZPlainEntity live;
    AddComponent<ZGUIDComponent>(&live)->guid = gem;
    ZDataComponent* const data = AddComponent<ZDataComponent>(&live);
    m_game->GetEntityList().PushBack(&live);
    struct Case {
        const char* what;
        ZDatumEntry datum;
        int32_t collected;
    };
    const Case cases[] = {
        {"none taken", ZDatumEntry::Int(0), 0},
        {"a number above the count", ZDatumEntry::Int(total + 5), total},
        {"a negative number", ZDatumEntry::Int(-3), 0},
        {"false", ZDatumEntry::Bool(false), 0},
        {"true", ZDatumEntry::Bool(true), 1},
        {"a kind that says nothing", ZDatumEntry::Float(0.0f), total},
    };
    for (const Case& c : cases) {
        data->SetDatum(H("MapHelperInvalidated"), c.datum);
        EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, c.collected) << c.what;
        EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).total, total) << c.what;
    }
    // Taken in this room and not saved yet: its delete component says so.
    GetStateStore()->GetOrInsert(gem) = ZDefNode();
    data->ClearData();
    EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, 0);
    AddComponent<ZDeleteComponent>(&live)->deleteMode = 3;
    EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, total) << "taken for good";
    data->SetDatum(H("MapHelperInvalidated"), ZDatumEntry::Int(0));
    EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, 0) << "the datum has the last word";
    GetComponent<ZDeleteComponent>(&live)->deleteMode = 1;
    data->ClearData();
    EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, 0) << "a plain delete takes nothing";
    GetStateStore()->GetOrInsert(gem).AddChild(dead);

    // Another entity's datum is not this gem's.
    AddComponent<ZGUIDComponent>(&live)->guid = gem + 1;
    data->SetDatum(H("MapHelperInvalidated"), ZDatumEntry::Int(0));
    EXPECT_EQ(MinimapComponent::CountCollectibles({gem}).collected, total);
    m_game->GetEntityList().Clear();
}

TEST_F(MinimapTest, ACampaignStartForgetsTheFixPositionsOfTheOneBefore) {
    minimap->SetFixPosition(H("Gate"), 40.0f, 80.0f);
    float x = 0.0f;
    float y = 0.0f;
    ASSERT_TRUE(minimap->GetFixPosition(H("Gate"), x, y));
    LoadMinimapsFile(*minimap, m_game->GetMapList());
    EXPECT_FALSE(minimap->GetFixPosition(H("Gate"), x, y));
    EXPECT_FALSE(minimap->GetTables().minimapCollections.empty()) << "the tables are filled again";
}
