// The game's answers to the entity framework when the game is not running:
// before start-up sizes the window, and with no game object at all.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "entity/ZEntity.h"
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

// Counts the deletions of its kind, to see who lets the game's entities go.
struct CountedEntity : ZEntity {
    static inline int deleted = 0;
    ~CountedEntity() override { ++deleted; }
};

TEST_F(GameEntityHooksTest, SpawnedEntitiesBelongToTheGameUntilTheRoomChanges) {
    CountedEntity::deleted = 0;
    auto* const first = new CountedEntity();
    auto* const second = new CountedEntity();
    AddGameSpawnedEntity(first);
    AddGameSpawnedEntity(second);
    EXPECT_EQ(CountedEntity::deleted, 0) << "the game keeps what spawners make";
    EXPECT_EQ(m_game->GetSpawnedEntities(), (std::vector<ZEntity*>{first, second}));

    // A room change retires them (they may be inside their own event now)
    // and the next fixed step deletes them.
    m_game->LoadRoom();
    EXPECT_TRUE(m_game->GetSpawnedEntities().empty());
    EXPECT_EQ(CountedEntity::deleted, 0);
    m_game->DeleteRetiredEntities();
    EXPECT_EQ(CountedEntity::deleted, 2);
}

TEST_F(GameEntityHooksTest, SceneObjectsAreTheGamesNamedBackdrops) {
    auto* const backdrop = new ZEntity();
    m_game->SetBackdrop(ZHashedString("Dialog Backdrop"), backdrop);
    EXPECT_EQ(FindGameSceneObject(ZHashedString("Dialog Backdrop")), backdrop);
    EXPECT_EQ(FindGameSceneObject(ZHashedString("Popup Backdrop")), nullptr);
    m_game->SetBackdrop(ZHashedString("Dialog Backdrop"), nullptr);
    EXPECT_EQ(FindGameSceneObject(ZHashedString("Dialog Backdrop")), nullptr);
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
