#include <gtest/gtest.h>

#include <string>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "foundation/ZStateStore.h"
#include "framework/ZLocMgr.h"
#include "game/display/DisplayState.h"
#include "game/player/PlayerDataHooks.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game_travel/TravelFixture.h"
#include "menu/ZCinematic.h"
#include "menu/ZCinematicMgr.h"

namespace {

ZHashedString H(const char* text) { return ZHashedString(text); }

constexpr uint32_t kBoots = 0x20002;
constexpr uint32_t kGloves = 0x30001;

// The player of a made (not running) game, with the campaign's collection
// tables, its strings, and the player standing in the Sunken halls' minimap.
class HooksTest : public traveltest::TravelTest {
protected:
    void SetUp() override {
        TravelTest::SetUp();
        ZLocMgr::GetInstance()->AddStringFile("KorvanthGame.txt");
        ZLocMgr::GetInstance()->SetDefaultPath(false);
        ASSERT_TRUE(game->OpenCampaignFile("Korvanth.kdd"));
        data = GetComponent<ZDataComponent>(player);
        speedrun = GetComponent<SpeedrunComponent>(player);
        minimap = GetComponent<MinimapComponent>(player);
        ASSERT_NE(data, nullptr);
        ASSERT_NE(speedrun, nullptr);
        ASSERT_NE(minimap, nullptr);
        LoadMinimapsFile(*minimap, game->GetMapList());
        minimap->SetCurrentMap(H("Sunken Halls"));
    }
    void TearDown() override {
        DestroyDisplayState();
        TravelTest::TearDown();
    }

    // Saved progress holds the boots and not the gloves.
    void HoldBootsOnly() {
        SetPowerup(*player, kBoots, true);
        SetPowerup(*player, kGloves, false);
    }

    ZDataComponent* data = nullptr;
    SpeedrunComponent* speedrun = nullptr;
    MinimapComponent* minimap = nullptr;
};

struct Answer {
    bool has = false;
    bool got = false;
    ZDatumEntry value;
};

Answer Ask(const ZDataComponent& data, const char* key) {
    Answer a;
    a.has = data.HasDatum(H(key));
    a.got = data.GetDatum(H(key), a.value);
    return a;
}

}  // namespace

TEST_F(HooksTest, OnACourseThePowerupKeysAreTheCoursesAndOffItTheSavedOnes) {
    HoldBootsOnly();
    struct Case {
        const char* what;
        bool onCourse;
        uint32_t granted;  // 0: nothing granted on the course
        const char* key;
        bool has;
        bool value;
    };
    const Case cases[] = {
        {"off the course the saved boots", false, 0, "Powerup_00020002", true, true},
        {"off the course a grant does not count", false, kGloves, "Powerup_00030001", true, false},
        {"on the course the saved boots do not count", true, 0, "Powerup_00020002", true, false},
        {"on the course the granted gloves count", true, kGloves, "Powerup_00030001", true, true},
        {"a powerup key never written is claimed on the course", true, 0, "Powerup_00090009", true, false},
    };
    for (const Case& c : cases) {
        speedrun->ResetRun();
        speedrun->SetCourseState(c.onCourse, false, H("Gallery"));
        if (c.granted != 0) speedrun->GrantCoursePowerup(c.granted);
        const Answer a = Ask(*data, c.key);
        EXPECT_EQ(a.has, c.has) << c.what;
        EXPECT_EQ(a.got, c.has) << c.what;
        EXPECT_EQ(a.value.type, kDatumBool) << c.what;
        EXPECT_EQ(a.value.value.boolValue, c.value) << c.what;
    }

    // Keys that only look like powerup keys stay the stored values'.
    speedrun->SetCourseState(true, false, H("Gallery"));
    for (const char* key : {"Powerup_0002000", "Powerup_000200020", "PowerupX00020002", "DeathsCount"}) {
        EXPECT_EQ(Ask(*data, key).has, data->GetValues().Contains(H(key))) << key;
    }
    EXPECT_TRUE(Ask(*data, "DeathsCount").got);
}

TEST_F(HooksTest, WritesOnACourseGoToTheSavedProgressAndTheCourseKeepsItsOwn) {
    speedrun->SetCourseState(true, false, H("Gallery"));
    speedrun->GrantCoursePowerup(kBoots);
    ASSERT_TRUE(data->SetDatum(PowerupKey(kBoots), ZDatumEntry::Bool(false)));
    ASSERT_TRUE(data->SetDatum(PowerupKey(kGloves), ZDatumEntry::Bool(true)));
    EXPECT_TRUE(Ask(*data, "Powerup_00020002").value.value.boolValue) << "the course's grant";
    EXPECT_FALSE(Ask(*data, "Powerup_00030001").value.value.boolValue) << "not granted on the course";

    speedrun->SetCourseState(false, false, H("Gallery"));
    EXPECT_FALSE(Ask(*data, "Powerup_00020002").value.value.boolValue);
    EXPECT_TRUE(Ask(*data, "Powerup_00030001").value.value.boolValue) << "written into the saved progress";

    // The saved state holds the stored values only.
    speedrun->SetCourseState(true, false, H("Gallery"));
    speedrun->GrantCoursePowerup(kBoots);
    ZDefNode saved;
    data->SaveInto(saved);
    ZDefNode::ChildIterator datums(saved.FindChild(H("Data")), H("Datum"));
    bool sawBoots = false;
    while (const ZDefNode* datum = datums.Next()) {
        if (!datum->GetAttribute(H("Name")).EqualsNoCase("Powerup_00020002")) continue;
        sawBoots = true;
        EXPECT_EQ(datum->GetAttribute(H("Value")), "false");
    }
    EXPECT_TRUE(sawBoots);
}

TEST_F(HooksTest, HasPowerupHonoursTheCourseUnlessAskedToIgnoreIt) {
    HoldBootsOnly();
    struct Case {
        const char* what;
        bool onCourse;
        uint32_t granted;
        uint32_t id;
        bool ignoreCourse;
        bool held;
    };
    const Case cases[] = {
        {"off the course: saved", false, 0, kBoots, false, true},
        {"off the course: saved, ignoring the course", false, 0, kBoots, true, true},
        {"off the course: a grant is no powerup", false, kGloves, kGloves, false, false},
        {"on the course: saved but not granted", true, 0, kBoots, false, false},
        {"on the course: saved, ignoring the course", true, 0, kBoots, true, true},
        {"on the course: granted", true, kGloves, kGloves, false, true},
        {"on the course: granted, ignoring the course", true, kGloves, kGloves, true, false},
    };
    for (const Case& c : cases) {
        speedrun->ResetRun();
        speedrun->SetCourseState(c.onCourse, false, H("Gallery"));
        if (c.granted != 0) speedrun->GrantCoursePowerup(c.granted);
        EXPECT_EQ(HasPowerup(*player, c.id, c.ignoreCourse), c.held) << c.what;
    }
}

TEST_F(HooksTest, EnteringAndLeavingACourseRecomputesTheAbilities) {
    HoldBootsOnly();
    ASSERT_EQ(player->physics->maxJumps, 2);
    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_EQ(player->physics->maxJumps, 1) << "the saved boots stay outside the course";
    // A course's grant (its start line) takes effect at once, and the
    // timer's start keeps it.
    speedrun->GrantCoursePowerup(kGloves);
    EXPECT_TRUE(player->physics->wallJumping) << "granted on the course";
    speedrun->SetCourseState(true, true, H("Gallery"));
    EXPECT_TRUE(player->physics->wallJumping) << "the timer starts";
    speedrun->ClearCoursePowerups();
    EXPECT_FALSE(player->physics->wallJumping) << "the course's set emptied";
    speedrun->GrantCoursePowerup(kGloves);
    speedrun->SetCourseState(false, false, H("Gallery"));
    EXPECT_EQ(player->physics->maxJumps, 2);
    EXPECT_FALSE(player->physics->wallJumping);
}

TEST_F(HooksTest, TheMinimapAnswersTheCountAndTitleOfTheCollectionThePlayerIsIn) {
    const GemCount sunken = minimap->CountCollection(H("Sunken"));
    ASSERT_GT(sunken.total, 1);
    ASSERT_NE(minimap->CountCollection(H("Spire")).total, sunken.total) << "the test tells collections apart";

    const Answer total = Ask(*data, "smcubes_loc_total");
    EXPECT_FALSE(total.has) << "only the course claims keys";
    ASSERT_TRUE(total.got);
    EXPECT_EQ(total.value.type, kDatumInt);
    EXPECT_EQ(total.value.value.intValue, sunken.total);
    EXPECT_EQ(Ask(*data, "smcubes_loc_coll").value.value.intValue, 0);
    const Answer title = Ask(*data, "loc_title");
    ASSERT_TRUE(title.got);
    EXPECT_EQ(title.value.type, kDatumString);
    EXPECT_STREQ(title.value.value.string.GetText(), "      Sunken Halls");

    // A gem of the collection taken: the count follows the saved state.
    uint32_t gem = 0;
    for (const uint32_t id : minimap->GetTables().collectionEntities.at(H("Sunken"))) {
        if (MinimapComponent::CountCollectibles({id}).total == 1) gem = id;
    }
    ASSERT_NE(gem, 0u);
    ZDefNode dead(H("Delete"));
    dead.SetAttribute(H("Dead"), ZString("true"));
    GetStateStore()->GetOrInsert(gem).AddChild(dead);
    EXPECT_EQ(Ask(*data, "smcubes_loc_coll").value.value.intValue, 1);

    // On a course the minimap still answers; elsewhere it answers for that place.
    speedrun->SetCourseState(true, false, H("Gallery"));
    EXPECT_EQ(Ask(*data, "smcubes_loc_coll").value.value.intValue, 1);
    minimap->SetCurrentMap(H("Arcadian Spire"));
    EXPECT_EQ(Ask(*data, "smcubes_loc_total").value.value.intValue, minimap->CountCollection(H("Spire")).total);
    EXPECT_STREQ(Ask(*data, "loc_title").value.value.string.GetText(), "     Arcadian Spire");
}

TEST(LocationTitle, IsCentredInTwentyFourColumns) {
    struct Case {
        std::string title;
        size_t spaces;
    };
    const Case cases[] = {
        {std::string(30, 'x'), 0}, {std::string(24, 'x'), 0}, {std::string(23, 'x'), 0},
        {std::string(11, 'x'), 6}, {std::string(10, 'x'), 7}, {"", 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentreLocationTitle(c.title.c_str()), std::string(c.spaces, ' ') + c.title) << c.title.size();
    }
    EXPECT_EQ(CentreLocationTitle(nullptr), std::string(12, ' '));
}

TEST_F(HooksTest, ANewRunForgetsTheDiscoveredRooms) {
    ZDefNode saved(H("Minimap"));
    ZDefNode discovered(H("Discovered"));
    discovered.SetAttribute(H("MapID"), ZString("Sunken Halls"));
    ZDefNode room(H("Room"));
    room.SetAttribute(H("X"), ZString("2"));
    room.SetAttribute(H("Y"), ZString("1"));
    discovered.AddChild(room);
    saved.AddChild(discovered);
    saved.SetAttribute(H("Version"), ZString("2"));
    minimap->ReadDefinition(saved);
    minimap->SetCurrentMap(H("Caverns"));
    ASSERT_FALSE(minimap->GetDiscovered().empty());

    ResetProgress(*player);
    EXPECT_TRUE(minimap->GetDiscovered().empty());
    EXPECT_TRUE(minimap->GetCurrentMinimap().IsNone());
    EXPECT_EQ(minimap->GetTexel(20, 20), MinimapComponent::kBlack);
}

TEST_F(HooksTest, TheFullMapPromptShowsOnlyBesideAShownMinimapDuringPlay) {
    struct Case {
        const char* what;
        bool minimap;
        bool setting;
        bool dialog;
        bool door;
        bool shown;
    };
    const Case cases[] = {
        {"in play beside the minimap", true, true, false, false, true},
        {"a map without a minimap", false, true, false, false, false},
        {"the minimap switched off", true, false, false, false, false},
        {"a dialog open", true, true, true, false, false},
        {"a door transition playing", true, true, false, true, false},
    };
    for (const Case& c : cases) {
        DisplayState* const display = GetDisplayState();
        display->minimapAvailable = c.minimap;
        display->Settings().showMinimap = c.setting;
        GetComponent<ZDialogConsumerComponent>(player)->provider = c.dialog ? player->GetHandle() : 0;
        GetCinematicMgr()->StopAll();
        if (c.door) {
            auto* const door = new ZCinematic();
            door->duration = 5.0f;
            GetCinematicMgr()->Play(door, H("Door Transition"), 0);
        }
        EXPECT_EQ(minimap->IsPromptShown(), c.shown) << c.what;
    }
    GetComponent<ZDialogConsumerComponent>(player)->provider = 0;
}
