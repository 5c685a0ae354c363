// Script verbs in the running game, run from the player as an event would
// run them, acting on the parts of the game they hand over to.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "framework/ZPlatformServices.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"
#include "game_rooms/RoomTestSupport.h"
#include "support/PlayHarness.h"

namespace {

const std::vector<std::string> kRoom = {"################################", "#.P............................#",
                                        "################################"};

class RecordingServices : public ZPlatformServices {
public:
    explicit RecordingServices(std::vector<std::string>* out) : m_out(out) {}
    void UnlockAchievement(ZHashedString id) override { m_out->emplace_back(id.GetText()); }

private:
    std::vector<std::string>* m_out;
};

// "checkach" evaluates the achievements with its word as the trigger: outside
// the game's own campaign the code's achievement waits for "AnyCampaign".
TEST(ScriptPlay, CheckachEvaluatesTheAchievementsWithItsTrigger) {
    gametest::RunInChild([] {
        std::vector<std::string> plain, triggered;
        std::string code;
        playtest::PlaySetup setup;
        setup.room = kRoom;
        setup.prepare = [&](Player& player) {
            const char* id = GetAchievementId(kAchSecretQuest2).GetText();
            ASSERT_NE(id, nullptr);
            code = id;
            SetEnteredCode(player, true);
            KorvanthGame::Get()->SetCampaign(roomtest::Markup("<Campaign ID='Mod'/>"));
            SetPlatformServices(std::make_unique<RecordingServices>(&plain));
            RunCommandText("checkach", player.GetHandle(), 0);
            SetPlatformServices(std::make_unique<RecordingServices>(&triggered));
            RunCommandText("checkach anycampaign", player.GetHandle(), 0);
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(std::count(plain.begin(), plain.end(), code), 0);
        EXPECT_EQ(std::count(triggered.begin(), triggered.end(), code), 1);
    });
}

}  // namespace
