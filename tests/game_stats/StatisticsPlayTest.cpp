// Statistics counted while playing: the player's data values and deaths are
// read from its data component, and each change that counts (a death, the
// entered code, the game's own check) reports what the statistics earn.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "framework/ZPlatformServices.h"
#include "framework_game/RunScenarios.h"
#include "game/components/CoffeeComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/GhostFile.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"
#include "support/PlayHarness.h"

namespace {

// Keeps the ids reported, in order, in a list that outlives the object
// (shutdown frees the services).
class RecordingServices : public ZPlatformServices {
public:
    explicit RecordingServices(std::vector<std::string>* out) : m_out(out) {}
    void UnlockAchievement(ZHashedString id) override { m_out->emplace_back(id.GetText()); }

private:
    std::vector<std::string>* m_out;
};

bool Has(const std::vector<std::string>& ids, const char* id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void Set(Player& player, const char* name, const ZDatumEntry& value) {
    GetComponent<ZDataComponent>(&player)->SetDatum(ZHashedString(name), value);
}

}  // namespace

TEST(StatisticsPlay, ThePlayersDataValuesAreTheStatistics) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.room = {"################################", "#.P............................#",
                      "################################"};
        AchievementStats stats;
        bool randomized = false;
        setup.prepare = [&](Player& player) {
            ResetProgress(player);
            Set(player, "smcubes_total", ZDatumEntry::Int(7));
            Set(player, "smcubes_max", ZDatumEntry::Float(12.75f));  // a count kept as a number still counts
            Set(player, "bgcubes", ZDatumEntry::Bool(true));
            Set(player, "dreams", ZDatumEntry::String(ZString("9")));  // not a number: not held
            Set(player, "wongame", ZDatumEntry::Bool(true));
            Set(player, "clever", ZDatumEntry::Int(2));
            GetComponent<ZDataComponent>(&player)->AddDatum(ZHashedString("smelly"));  // no value yet
            SetPowerup(player, 0x60002, true);
            SetPowerup(player, 0x10003, true);
            SetDeathsCount(player, 4);
            RandomizerComponent* const randomizer = FindPlayerRandomizer();
            ASSERT_NE(randomizer, nullptr);
            randomized = randomizer->Setup(true, ZString("STATS"));
            CoffeeComponent* const coffee = GetComponent<CoffeeComponent>(&player);
            ASSERT_NE(coffee, nullptr);
            coffee->StartCoffee();
            stats = GatherAchievementStats(&player);
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_TRUE(stats.hasPlayer);
        EXPECT_TRUE(stats.hasData);
        EXPECT_EQ(stats.gemsTotal, 7);
        EXPECT_EQ(stats.gemsMax, 12);
        EXPECT_EQ(stats.hearts, 1);
        EXPECT_FALSE(stats.dreams.has_value());
        EXPECT_EQ(stats.deaths, 4);
        EXPECT_EQ(stats.wonGame, true);
        EXPECT_EQ(stats.clever, true);
        EXPECT_FALSE(stats.smelly.has_value());
        EXPECT_EQ(stats.enteredCode, false);
        EXPECT_EQ(stats.powerups, (std::vector<uint32_t>{0x60002})) << "only powerups with an achievement";
        EXPECT_TRUE(randomized) << "the shipped campaign randomizes";
        EXPECT_TRUE(stats.randomized);
        EXPECT_FLOAT_EQ(stats.caffeineSeconds, CoffeeComponent::kDuration);
        EXPECT_FALSE(GatherAchievementStats(nullptr).hasPlayer);
    });
}

// A course's best time read from its ghost file counts the course at once; a
// course looked at without one is entered without a time and counts nothing.
TEST(StatisticsPlay, AGhostFilesBestTimeCountsItsCourse) {
    gametest::RunInChild([] {
        std::vector<std::string> reported;
        std::vector<std::string> afterFirstLook;
        int32_t coursesAfterFirstLook = -1;
        int32_t coursesAfterFile = -1;
        float time = 0.0f;
        playtest::PlaySetup setup;
        setup.room = {"################################", "#.P............................#",
                      "################################"};
        setup.prepare = [&](Player& player) {
            ResetProgress(player);
            SetPlatformServices(std::make_unique<RecordingServices>(&reported));
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player);
            ASSERT_NE(speedrun, nullptr);
            EXPECT_LT(speedrun->ReadGhostBestTime(ZHashedString("Gallery")), 0.0f);
            afterFirstLook = reported;
            coursesAfterFirstLook = GatherAchievementStats(&player).speedrunCourses;
            GhostFrame last;
            last.time = 40.0f;
            ASSERT_TRUE(WriteGhostFile(GetGhostFilePath(ZHashedString("Dreamscape")), 40.0f, 0, {GhostFrame{}, last}));
            time = speedrun->ReadGhostBestTime(ZHashedString("Dreamscape"));
            coursesAfterFile = GatherAchievementStats(&player).speedrunCourses;
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_FALSE(Has(afterFirstLook, "ACH_SPEEDRUN_1"));
        EXPECT_EQ(coursesAfterFirstLook, 0);
        EXPECT_FLOAT_EQ(time, 40.0f);
        EXPECT_EQ(coursesAfterFile, 1);
        EXPECT_TRUE(Has(reported, "ACH_SPEEDRUN_1")) << "reported as the file's time was taken";
    });
}

TEST(StatisticsPlay, DyingOnSpikesEarnsTheDeathAchievement) {
    gametest::RunInChild([] {
        std::vector<std::string> reported;
        std::vector<std::string> beforeDeath;
        bool sawDeath = false;
        playtest::PlaySetup setup;
        setup.room = {
            "################################",
            "#..............................#",
            "#..P...........................#",
            "######.........................#",
            "#.....^^^^^^^^.................#",
            "################################",
        };
        setup.prepare = [&](Player& player) {
            ResetProgress(player);
            SetPlatformServices(std::make_unique<RecordingServices>(&reported));
            // The campaign of the game's own data is the one whose achievements count.
            ASSERT_TRUE(KorvanthGame::Get()->GetCampaignPrefix() == "QXV_");
            SetPowerup(player, 0x20002, true);
        };
        setup.afterFrame = [&](Player& player, int32_t) {
            if (!sawDeath && player.IsDead()) {
                sawDeath = true;
                EXPECT_TRUE(Has(reported, "ACH_DIED")) << "reported as the death was counted";
                EXPECT_TRUE(Has(reported, "ACH_PU_BOOTS"));
                EXPECT_EQ(std::count(beforeDeath.begin(), beforeDeath.end(), "ACH_DIED"), 0);
            }
            if (!sawDeath) beforeDeath = reported;
        };
        const auto r = playtest::RunPlay(setup, "40 right\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_TRUE(sawDeath);
    });
}

TEST(StatisticsPlay, TheEnteredCodeCountsInEveryCampaignAndTheGameAndScriptsCheckOnRequest) {
    gametest::RunInChild([] {
        std::vector<std::string> reported;
        std::vector<std::string> afterCode;
        std::vector<std::string> afterCheck;
        std::vector<std::string> afterScript;
        std::vector<std::string> afterScriptCode;
        bool checkAnswer = true;
        playtest::PlaySetup setup;
        setup.room = {"################################", "#.P............................#",
                      "################################"};
        setup.prepare = [&](Player& player) {
            KorvanthGame* game = KorvanthGame::Get();
            ResetProgress(player);
            SetPlatformServices(std::make_unique<RecordingServices>(&reported));
            // Another campaign: only the code counts, and only through its own trigger.
            ZDefNode other;
            other.name = ZHashedString("Campaign");
            other.SetAttribute(ZHashedString("ID"), ZString("Other"));
            game->SetCampaign(other);
            ASSERT_TRUE(game->GetCampaignPrefix() == "Other_");
            Set(player, "wongame", ZDatumEntry::Bool(true));
            SetEnteredCode(player, true);
            afterCode = reported;
            checkAnswer = game->CheckAchievements();
            afterCheck = reported;
            // The script verb: its word is the trigger.
            reported.clear();
            RunCommandText("checkach", player.GetHandle(), 0);
            afterScript = reported;
            RunCommandText("checkach anycampaign", player.GetHandle(), 0);
            afterScriptCode = reported;
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(afterCode, (std::vector<std::string>{"ACH_SECRETQUEST_2"}));
        EXPECT_EQ(afterCheck, afterCode) << "outside the campaign the check earns nothing more";
        EXPECT_FALSE(checkAnswer) << "no speedrun ghost check without a speedrun record";
        EXPECT_TRUE(afterScript.empty());
        EXPECT_EQ(afterScriptCode, (std::vector<std::string>{"ACH_SECRETQUEST_2"}));
    });
}
