// The player's course powerups and status screens played through the real
// start-up with fake input, on the campaign's Gallery course.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

constexpr uint32_t kBoots = 0x20002;

bool Played(const playtest::PlayResult& r) {
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.framesWithoutOneStep, 0) << "one fixed step a frame";
    return r.error.empty() && r.started && !r.samples.empty();
}

// The Gallery's hall (on the course, its timer stopped), the player a little
// left of the start line.
PlaySetup GalleryHall() {
    PlaySetup setup;
    setup.quickStart = PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 22, 24);
    return setup;
}

struct CourseFrame {
    bool onCourse = false;
    int32_t maxJumps = 0;
    int32_t jumpsLeft = 0;
    bool boots = false;         // the player's powerup query
    bool savedBoots = false;    // the same, ignoring the course
    std::string map;
    int32_t gems = -1;       // the player's "smcubes_loc_coll"
    int32_t gemsTotal = -1;  // and "smcubes_loc_total"
};

CourseFrame ReadCourse(Player& player) {
    CourseFrame f;
    const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player);
    f.onCourse = speedrun != nullptr && speedrun->IsOnCourse();
    f.maxJumps = player.physics->maxJumps;
    f.jumpsLeft = player.physics->jumpsLeft;
    f.boots = HasPowerup(player, kBoots, false);
    f.savedBoots = HasPowerup(player, kBoots, true);
    f.map = KorvanthGame::Get()->GetCurrentMapName().GetText();
    const ZDataComponent* const data = GetComponent<ZDataComponent>(&player);
    ZDatumEntry entry;
    if (data->GetDatum(ZHashedString("smcubes_loc_coll"), entry)) f.gems = entry.value.intValue;
    if (data->GetDatum(ZHashedString("smcubes_loc_total"), entry)) f.gemsTotal = entry.value.intValue;
    return f;
}

}  // namespace

TEST(HooksPlay, TheStartLinesDoubleJumpCountsOnTheCourseAndIsGoneOffIt) {
    gametest::RunInChild([] {
        PlaySetup setup = GalleryHall();
        std::vector<CourseFrame> frames;
        setup.afterFrame = [&frames](Player& p, int32_t) { frames.push_back(ReadCourse(p)); };
        // Over the start line, a jump and a second one in the air, then back
        // west to the hall's door and out of it.
        const auto r = RunPlay(setup,
                               "10 -\n"
                               "45 right\n"
                               "20 -\n"
                               "20 jump\n"
                               "4 -\n"
                               "1 jump\n"
                               "40 -\n"
                               "200 left\n"
                               "1 up\n"
                               "90 -\n");
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(frames.size(), 431u);

        EXPECT_TRUE(frames[5].onCourse) << "the hall is part of the course";
        EXPECT_FALSE(frames[5].boots);
        EXPECT_EQ(frames[5].maxJumps, 1);
        EXPECT_GT(frames[5].gemsTotal, 2) << "the Gallery's collection, filed at the start";
        EXPECT_EQ(frames[5].gems, 0);
        // The walk to the start line took the two gems on the way.
        EXPECT_EQ(frames[74].gems, 2);
        EXPECT_EQ(frames[74].gemsTotal, frames[5].gemsTotal);

        // The start line granted the boots for the run, not for the save.
        const CourseFrame& granted = frames[74];
        EXPECT_TRUE(granted.boots);
        EXPECT_FALSE(granted.savedBoots);
        EXPECT_EQ(granted.maxJumps, 2);
        EXPECT_EQ(granted.jumpsLeft, 2);

        // Both jumps are taken: the second one in the air.
        EXPECT_EQ(frames[76].jumpsLeft, 1) << "after the first jump";
        EXPECT_FALSE(r.samples[98].grounded) << "still in the air";
        EXPECT_EQ(frames[98].jumpsLeft, 1);
        EXPECT_EQ(frames[99].jumpsLeft, 0) << "after the jump in the air";
        EXPECT_LT(r.samples[100].velocity.y * r.samples[98].velocity.y, 0.0f)
            << "the second jump turned the fall into a rise";

        // Out of the door, off the course: the boots are gone.
        const CourseFrame& out = frames.back();
        EXPECT_FALSE(out.onCourse);
        EXPECT_NE(out.map, "Speedrun Maps");
        EXPECT_FALSE(out.boots);
        EXPECT_EQ(out.maxJumps, 1);
    });
}

TEST(HooksPlay, TheStatusScreenIsTheCoursesOnACourseAndTheOrdinaryOneElsewhere) {
    struct Case {
        const char* name;
        bool onCourse;
        const char* title;
        int32_t rows;
        int32_t width;
    };
    const Case cases[] = {{"on the course", true, "COURSE\n", 7, 18}, {"elsewhere", false, "STATUS\n", 10, 15}};
    for (const Case& c : cases) {
        // A pad starts the game afresh: each run in a process of its own.
        gametest::RunInChild([&c] {
            PlaySetup setup = GalleryHall();
            if (!c.onCourse) {
                setup.quickStart->map = "Caverns";
                setup.quickStart->roomX = 2;
                setup.quickStart->roomY = 0;
                // On the floor left of the pit (the flooded passage below
                // drowns a player without the suit).
                setup.quickStart->tileX = 6;
                setup.quickStart->tileY = 24;
            }
            struct Frame {
                bool open = false;
                std::string text;
                int32_t rows = 0;
                int32_t minimumRows = 0;
                int32_t width = 0;
            };
            std::vector<Frame> frames;
            setup.afterFrame = [&frames](Player& p, int32_t) {
                Frame f;
                const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&p);
                const ZDialogProviderComponent* const provider = consumer->ResolveProvider();
                f.open = consumer->provider != 0;
                f.text = consumer->text.GetText();
                if (provider != nullptr) {
                    f.rows = provider->rows;
                    f.minimumRows = provider->minimumRows;
                    f.width = provider->boxWidth;
                }
                frames.push_back(f);
            };
            const auto r = RunPlay(setup, "10 -\n1 pad-back\n20 -\n1 pad-b\n10 -\n");
            ASSERT_TRUE(Played(r)) << c.name;
            ASSERT_EQ(frames.size(), 42u) << c.name;
            EXPECT_FALSE(frames[9].open) << c.name;
            ASSERT_TRUE(frames[10].open) << c.name;
            EXPECT_EQ(frames[10].text.rfind(c.title, 0), 0u) << c.name << ": " << frames[10].text;
            EXPECT_EQ(frames[10].rows, c.rows) << c.name;
            EXPECT_EQ(frames[10].minimumRows, c.rows) << c.name;
            EXPECT_EQ(frames[10].width, c.width) << c.name;
            EXPECT_TRUE(frames[30].open) << c.name;
            EXPECT_FALSE(frames[31].open) << c.name << ": the pad's cancel closes it";
        });
    }
}

// The status screen counts the heart pieces: none before the first is taken
// (the count does not exist yet), one after walking over the spire's top
// floor piece (in its strongroom), in the text the screen shows.
TEST(HooksPlay, TheStatusScreenCountsTheHeartPiecesTaken) {
    gametest::RunInChild([] {
        // Inside the strongroom, left of the piece at (120, 196) on the
        // spire's top floor.
        PlaySetup setup;
        setup.quickStart = PlaySetup::QuickStartAt("Spire", 2, 0, 13, 24);
        std::vector<std::string> texts;
        int32_t hearts = -1;
        setup.afterFrame = [&](Player& p, int32_t) {
            const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&p);
            texts.emplace_back(consumer->provider != 0 ? consumer->text.GetText() : "");
            ZDatumEntry entry;
            if (GetComponent<ZDataComponent>(&p)->GetDatum(ZHashedString("bgcubes"), entry)) {
                hearts = entry.value.intValue;
            }
        };
        const auto r = RunPlay(setup, "10 -\n1 status\n10 -\n1 escape\n10 -\n50 right\n20 -\n1 status\n10 -\n");
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(texts.size(), 113u);
        EXPECT_NE(texts[15].find("STATUS"), std::string::npos) << texts[15];
        EXPECT_NE(texts[15].find("Hearts 0 of 6"), std::string::npos) << texts[15];
        EXPECT_EQ(texts[25], "") << "escape closed it";
        EXPECT_NE(texts[105].find("Hearts 1 of 6"), std::string::npos) << texts[105];
        EXPECT_EQ(hearts, 1);
        for (const auto& s : r.samples) ASSERT_EQ(s.deaths, 0);
    });
}
