// The player in a room through the real start-up: QuickStart into a Caverns
// room, the player falls to the floor, and the frame drawn with the player
// differs from the same frame drawn without it only around where the player
// stands. KORV_PLAYER_SHOTS names a folder for the pictures (docs/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/display/NoCRTShader.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "platform/sound/sound.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/TempDir.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

constexpr uint8_t kJumpKey = 45;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_PLAYER_SHOTS", name); }

// Where the player's middle shows in the window, in pixels from the top
// left: the 256 x 224 view around the game camera (y down) fills the game
// picture, which the flat display shows as large as fits, in the middle.
void ExpectedScreenPoint(const Player& player, const Shot& shot, float& x, float& y) {
    // The room's view is centred on the game camera, which follows the player.
    const ZVector3 centre = KorvanthGame::Get()->GetRoomViewCentre();
    const ZVector3 p = player.spatial->current.position;
    const float picX = (p.x - centre.x + 128.0f) / 256.0f;
    const float picY = (p.y - centre.y + 112.0f) / 224.0f;
    ZVector4 scalar, offset;
    NoCRTShader::ComputeBox(256.0f / 224.0f, static_cast<float>(shot.width) / static_cast<float>(shot.height),
                            scalar, offset);
    x = (picX - offset.x) / scalar.x * static_cast<float>(shot.width);
    y = (picY - offset.y) / scalar.y * static_cast<float>(shot.height);
}

class PlayerRoomGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
    }
    // 0.05 s a frame (three fixed steps) while time runs; none while frozen,
    // so two frames in a row draw the same world.
    void UpdateTiming() override {
        if (!frozen) clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        Player* player = GetPlayer();
        if (player == nullptr) return;
        if (drawnFrames == 1) crtCameraAtStart = GetCamera()->GetPosition();
        if (drawnFrames == kLanded) {
            crtCameraInPlay = GetCamera()->GetPosition();
            grounded = player->physics->grounded;
            standingX = player->spatial->current.position.x;
            standingY = player->spatial->current.position.y;
            frozen = true;
        } else if (drawnFrames == kLanded + 1) {
            withPlayer = Take();
            ExpectedScreenPoint(*player, withPlayer, expectedX, expectedY);
            player->renderable->SetRenderablesVisible(false);
        } else if (drawnFrames == kLanded + 2) {
            withoutPlayer = Take();
            player->renderable->SetRenderablesVisible(true);
            frozen = false;
            input->SetKey(kJumpKey, true);
        } else if (drawnFrames == kJumped) {
            input->SetKey(kJumpKey, false);
            jumpY = player->spatial->current.position.y;
            jumping = Take();
            RequestQuit();
        }
    }
    static constexpr int kLanded = 14;
    static constexpr int kJumped = kLanded + 6;
    os::fake::FakeClock* clock = nullptr;
    platform::input::FakeInputSystem* input = nullptr;
    bool frozen = false;
    int drawnFrames = 0;
    bool grounded = false;
    ZVector3 crtCameraAtStart;
    ZVector3 crtCameraInPlay;
    float standingX = 0.0f;
    float standingY = 0.0f;
    float jumpY = 0.0f;
    float expectedX = 0.0f;
    float expectedY = 0.0f;
    Shot withPlayer;
    Shot withoutPlayer;
    Shot jumping;
};

TEST(PlayerInRoomGl, ThePlayerFallsToTheFloorAndIsDrawnWhereItStands) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        platform::input::FakeInputSystem* const input =
            gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                     "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 512\r\n"
                                     "HeightWindowed: 448\r\nCRTSim: false\r\n");
        auto* game = new PlayerRoomGame();
        game->clock = &clock;
        game->input = input;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());

        // Tile (4, 5) of Caverns (2, 0) is in the air above the floor.
        ZBaseGame::Run(game, 0, 0, "QuickStart Korvanth.kdd Caverns 2 0 4 5", 1);

        Keep(game->withPlayer, "player-room.png");
        Keep(game->jumping, "player-jump.png");
        EXPECT_TRUE(game->grounded) << "on the floor after the fall";
        EXPECT_EQ(game->standingX, 32.0f) << "started on QuickStart's tile";
        EXPECT_GT(game->standingY, 40.0f) << "fell from the start tile";
        // The player's camera is the game picture's: the one framing the CRT stays.
        EXPECT_EQ(game->crtCameraInPlay.x, game->crtCameraAtStart.x);
        EXPECT_EQ(game->crtCameraInPlay.y, game->crtCameraAtStart.y);
        EXPECT_EQ(game->crtCameraInPlay.z, game->crtCameraAtStart.z);
        EXPECT_LT(game->jumpY, game->standingY - 8.0f) << "in the air after the jump";

        const Shot& with = game->withPlayer;
        const Shot& without = game->withoutPlayer;
        ASSERT_FALSE(with.pixels.empty());
        ASSERT_EQ(with.pixels.size(), without.pixels.size());
        // The pixels the player changes: some, all near its place.
        int32_t left = with.width, right = -1, top = with.height, bottom = -1;
        for (int32_t y = 0; y < with.height; ++y) {
            for (int32_t x = 0; x < with.width; ++x) {
                const size_t i = static_cast<size_t>(y) * with.width + x;
                if (with.pixels[i] == without.pixels[i]) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        ASSERT_GE(right, 0) << "the player changes no pixel: it is not drawn";
        // One sprite of 16 x 24 game pixels, twice as large in this window.
        EXPECT_LE(right - left, 2 * 16 + 4);
        EXPECT_LE(bottom - top, 2 * 24 + 4);
        const float midX = static_cast<float>(left + right) * 0.5f;
        const float midY = static_cast<float>(top + bottom) * 0.5f;
        EXPECT_NEAR(midX, game->expectedX, 24.0f) << left << ".." << right;
        EXPECT_NEAR(midY, game->expectedY, 32.0f) << top << ".." << bottom;

        ZBaseGame::DestroyInstance();
    });
}

}  // namespace
