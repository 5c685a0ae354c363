// Each achievement's condition, evaluated from tables of statistics: which
// ids a set of statistics earns, in the campaign that counts ("QXV_") and
// in others, with and without the entered-code trigger.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/world/GameStatistics.h"

namespace {

std::vector<std::string> Earned(const AchievementStats& stats, const char* trigger = "",
                                const char* prefix = "QXV_") {
    std::vector<std::string> ids;
    for (const Achievement a : EvaluateAchievements(stats, trigger, ZString(prefix))) {
        ids.emplace_back(GetAchievementId(a).GetText());
    }
    return ids;
}

// A player with a data component and nothing in it.
AchievementStats WithData() {
    AchievementStats stats;
    stats.hasPlayer = true;
    stats.hasData = true;
    return stats;
}

struct Case {
    const char* name;
    AchievementStats stats;
    std::vector<std::string> earned;
};

AchievementStats With(void (*edit)(AchievementStats&)) {
    AchievementStats stats = WithData();
    edit(stats);
    return stats;
}

}  // namespace

TEST(Achievements, EachConditionFromATableOfStatistics) {
    const Case cases[] = {
        {"nothing held earns nothing", WithData(), {}},
        {"a quarter of the gems", With([](AchievementStats& s) { s.gemsTotal = 1; s.gemsMax = 4; }),
         {"ACH_GEMS_1", "ACH_GEMS_2"}},
        {"one gem of many", With([](AchievementStats& s) { s.gemsTotal = 1; s.gemsMax = 1000; }), {"ACH_GEMS_1"}},
        {"half the gems", With([](AchievementStats& s) { s.gemsTotal = 64; s.gemsMax = 128; }),
         {"ACH_GEMS_1", "ACH_GEMS_2", "ACH_GEMS_3"}},
        {"three quarters", With([](AchievementStats& s) { s.gemsTotal = 3; s.gemsMax = 4; }),
         {"ACH_GEMS_1", "ACH_GEMS_2", "ACH_GEMS_3", "ACH_GEMS_4"}},
        {"every gem", With([](AchievementStats& s) { s.gemsTotal = 128; s.gemsMax = 128; }),
         {"ACH_GEMS_1", "ACH_GEMS_2", "ACH_GEMS_3", "ACH_GEMS_4", "ACH_GEMS_5"}},
        {"no gems", With([](AchievementStats& s) { s.gemsTotal = 0; s.gemsMax = 128; }), {}},
        {"no maximum held", With([](AchievementStats& s) { s.gemsTotal = 128; }), {}},
        {"no total held", With([](AchievementStats& s) { s.gemsMax = 128; }), {}},
        {"0 of 0 is not a number", With([](AchievementStats& s) { s.gemsTotal = 0; s.gemsMax = 0; }), {}},
        {"some of 0 is infinite", With([](AchievementStats& s) { s.gemsTotal = 3; s.gemsMax = 0; }),
         {"ACH_GEMS_1", "ACH_GEMS_2", "ACH_GEMS_3", "ACH_GEMS_4", "ACH_GEMS_5"}},
        {"five hearts", With([](AchievementStats& s) { s.hearts = 5; }), {}},
        {"six hearts", With([](AchievementStats& s) { s.hearts = 6; }), {"ACH_HEARTS"}},
        {"four dreams", With([](AchievementStats& s) { s.dreams = 4; }), {"ACH_DREAMS_1", "ACH_DREAMS_2"}},
        {"nine dreams", With([](AchievementStats& s) { s.dreams = 9; }),
         {"ACH_DREAMS_1", "ACH_DREAMS_2", "ACH_DREAMS_3", "ACH_DREAMS_4", "ACH_DREAMS_5"}},
        {"one death", With([](AchievementStats& s) { s.deaths = 1; }), {"ACH_DIED"}},
        {"no death", With([](AchievementStats& s) { s.deaths = 0; }), {}},
        {"won", With([](AchievementStats& s) { s.wonGame = true; }), {"ACH_WONGAME"}},
        {"won a randomized run", With([](AchievementStats& s) { s.wonGame = true; s.randomized = true; }),
         {"ACH_WONGAME", "ACH_WONGAME_RANDO"}},
        {"randomized, not won", With([](AchievementStats& s) { s.wonGame = false; s.randomized = true; }), {}},
        {"the three secrets",
         With([](AchievementStats& s) { s.clever = true; s.enteredCode = true; s.smelly = true; }),
         {"ACH_SECRETQUEST_1", "ACH_SECRETQUEST_2", "ACH_SECRETQUEST_3"}},
        {"flags held false",
         With([](AchievementStats& s) { s.clever = false; s.enteredCode = false; s.smelly = false; }), {}},
        {"every powerup",
         With([](AchievementStats& s) {
             s.powerups = {0x10001, 0x10002, 0x10003, 0x10004, 0x20001, 0x20002, 0x20003, 0x30001,
                           0x40001, 0x50001, 0x60001, 0x60002, 0x70001, 0x80001, 0x80002, 0x90001};
         }),
         {"ACH_PU_AURARED", "ACH_PU_AURABLUE", "ACH_PU_BOOTS", "ACH_PU_GLOVES", "ACH_PU_BADGE", "ACH_PU_SNORKEL",
          "ACH_PU_TOXICSUIT", "ACH_PU_KEY", "ACH_PU_PENDANT", "ACH_PU_MASK", "ACH_PU_ARCPASS", "ACH_PU_STYXPASS"}},
        {"powerups without an achievement",
         With([](AchievementStats& s) { s.powerups = {0x10003, 0x10004, 0x20001, 0x20003}; }), {}},
        {"one speedrun course", With([](AchievementStats& s) { s.speedrunCourses = 1; }), {"ACH_SPEEDRUN_1"}},
        {"four courses", With([](AchievementStats& s) { s.speedrunCourses = 4; }), {"ACH_SPEEDRUN_1"}},
        {"five courses", With([](AchievementStats& s) { s.speedrunCourses = 5; }),
         {"ACH_SPEEDRUN_1", "ACH_SPEEDRUN_2"}},
        {"caffeinated", With([](AchievementStats& s) { s.caffeineSeconds = 0.5f; }), {"ACH_PU_COFFEE"}},
        {"the coffee has worn off", With([](AchievementStats& s) { s.caffeineSeconds = 0.0f; }), {}},
        {"without a data component only speedrun and coffee count",
         With([](AchievementStats& s) {
             s.hasData = false;
             s.deaths = 3;
             s.speedrunCourses = 5;
             s.caffeineSeconds = 1.0f;
         }),
         {"ACH_SPEEDRUN_1", "ACH_SPEEDRUN_2", "ACH_PU_COFFEE"}},
        {"without a player nothing counts",
         With([](AchievementStats& s) {
             s.hasPlayer = false;
             s.deaths = 3;
             s.speedrunCourses = 5;
         }),
         {}},
        {"everything at once, in evaluation order",
         With([](AchievementStats& s) {
             s.gemsTotal = 1;
             s.gemsMax = 2;
             s.hearts = 6;
             s.dreams = 1;
             s.powerups = {0x80002};
             s.deaths = 2;
             s.wonGame = true;
             s.randomized = true;
             s.smelly = true;
             s.speedrunCourses = 1;
             s.caffeineSeconds = 3.0f;
         }),
         {"ACH_GEMS_1", "ACH_GEMS_2", "ACH_GEMS_3", "ACH_HEARTS", "ACH_DREAMS_1", "ACH_PU_STYXPASS", "ACH_DIED",
          "ACH_WONGAME", "ACH_WONGAME_RANDO", "ACH_SECRETQUEST_3", "ACH_SPEEDRUN_1", "ACH_PU_COFFEE"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Earned(c.stats), c.earned) << c.name;
    }
}

TEST(Achievements, OnlyTheEnteredCodeCountsOutsideTheCampaign) {
    AchievementStats stats = WithData();
    stats.enteredCode = true;
    stats.deaths = 5;
    stats.speedrunCourses = 5;
    struct Row {
        const char* trigger;
        const char* prefix;
        std::vector<std::string> earned;
    };
    const Row rows[] = {
        {"", "QXV_", {"ACH_DIED", "ACH_SECRETQUEST_2", "ACH_SPEEDRUN_1", "ACH_SPEEDRUN_2"}},
        // The trigger's own step, then the campaign's rows (where the code counts again).
        {"AnyCampaign", "QXV_", {"ACH_SECRETQUEST_2", "ACH_DIED", "ACH_SECRETQUEST_2", "ACH_SPEEDRUN_1",
                                 "ACH_SPEEDRUN_2"}},
        {"anycampaign", "Main_", {"ACH_SECRETQUEST_2"}},
        {"ANYCAMPAIGN", "", {"ACH_SECRETQUEST_2"}},
        {"", "Main_", {}},
        {"", "", {}},
        {"", "QXV_2_", {}},
        {"", "qxv_", {}},
        {"AnyCampaignX", "Main_", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Earned(stats, row.trigger, row.prefix), row.earned)
            << "trigger \"" << row.trigger << "\", prefix \"" << row.prefix << "\"";
    }
    // The code's own step needs the flag, and a data component to hold it.
    stats.enteredCode = false;
    EXPECT_TRUE(Earned(stats, "AnyCampaign", "Main_").empty());
    stats.enteredCode = true;
    stats.hasData = false;
    EXPECT_TRUE(Earned(stats, "AnyCampaign", "Main_").empty());
}
