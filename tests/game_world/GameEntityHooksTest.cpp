// The game's answers to the entity framework when the game is not running:
// before start-up sizes the window, and with no game object at all.

#include <gtest/gtest.h>

#include "GameFixture.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZLightMgr.h"
#include "game/world/GameEntityHooks.h"

using worldtest::GameTest;
using worldtest::RecordingVoice;

namespace {

class GameEntityHooksTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        InstallGameEntityHooks();
    }
    void TearDown() override {
        ClearGameEntityHooks();
        GameTest::TearDown();
    }
};

TEST_F(GameEntityHooksTest, AnswersFromAGameNotYetStarted) {
    // No window yet: the engine's size stands.
    int32_t width = 0;
    int32_t height = 0;
    GetGameScreenSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(GetGameFont(ZHashedString("Dialog")), nullptr) << "no fonts before start-up";
    EXPECT_EQ(ZLightMgr::Find(), &m_game->GetLightMgr());
    EXPECT_EQ(GetGameFrameTime(), 0.0f);

    ZDefNode campaign;
    campaign.name = ZHashedString("Campaign");
    campaign.SetAttribute(ZHashedString("ID"), "QXV");
    m_game->SetCampaign(campaign);
    EXPECT_EQ(GetGameDialogStringFile(), ZHashedString("QXV_Strings"));
}

TEST_F(GameEntityHooksTest, DialogEventsChirpOnTheGamesVoice) {
    RecordingVoice voice;
    m_game->SetVoice(&voice);
    for (const int32_t event : {0, 1, 2, 3, 5, 6}) ShowGameDialogText(event);
    EXPECT_EQ(voice.calls,
              (std::vector<std::string>{"stop DialogText", "play dialog_opt.zms 205 DialogAction",
                                        "play dialog.zms 200 DialogText", "stop DialogText"}));
    m_game->SetVoice(nullptr);
}

TEST_F(GameEntityHooksTest, WithoutAGameTheEngineAnswers) {
    ZBaseGame::DestroyInstance();
    int32_t width = 0;
    int32_t height = 0;
    GetGameScreenSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(GetGameFont(ZHashedString("Popup")), nullptr);
    EXPECT_EQ(ZLightMgr::Find(), nullptr);
    EXPECT_EQ(GetGameFrameTime(), 0.0f);
    EXPECT_EQ(GetGameDialogStringFile(), ZHashedString(""));
    ShowGameDialogText(5);  // nothing to play it on, and no crash
}

}  // namespace
