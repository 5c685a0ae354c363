// The speedrun ghost as the game draws it: a raced run's ghost stands beside
// the player on the course, and the course timer counts at the top left.
// KORV_GHOST_SHOTS names a folder for the picture (docs/speedrun-ghost.png).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "entity/ZAnimComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game/progression/Ghost.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game/world/TileLayerMesh.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;
using screenshot::Changed;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_GHOST_SHOTS", name); }

// The quad an entity's sprite draws with, or null.
const ZRenderable* SpriteQuadOf(ZEntity* entity) {
    ZRenderableComponent* const renderables = GetComponent<ZRenderableComponent>(entity);
    if (renderables == nullptr) return nullptr;
    auto* const sprite = dynamic_cast<SpriteSheetSwitcher*>(renderables->GetRenderable(ZHashedString()));
    return sprite != nullptr ? sprite->GetSource() : nullptr;
}

}  // namespace

TEST(GhostShownGl, TheRacedGhostStandsBesideThePlayerUnderTheTimer) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        // On the course.
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 15, 3, 4, 24);
        // The raced run stands a little ahead of the player, facing back at it.
        setup.prepare = [](Player& p) {
            const ZVector3 at = GetComponent<ZSpatialComponent>(&p)->current.position;
            GhostFrame frame;
            frame.roomX = 15;
            frame.roomY = 3;
            frame.x = at.x + 36.0f;
            frame.y = at.y;
            frame.facing = 1;
            std::vector<GhostFrame> frames{frame, frame};
            frames[1].time = 60.0f;
            ASSERT_TRUE(WriteGhostFile(GetGhostFilePath(ZHashedString("Leaderboard Ghost")), 60.0f, 0, frames));
            SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&p);
            // A QuickStart leaves the clock stopped; it runs as after the start line.
            speedrun->SetCourseState(true, true, speedrun->GetCourse());
            speedrun->RaceLeaderboardGhost(true);
            speedrun->ResetRun();
        };
        Shot raced;
        Shot hidden;
        Shot later;
        const ZRenderable* quads[3] = {nullptr, nullptr, nullptr};  // the game's, the player's, the ghost's
        setup.afterFrame = [&](Player& p, const int32_t frame) {
            if (frame == 40) {
                raced = Take();
                quads[0] = KorvanthGame::Get()->GetSpriteQuad();
                quads[1] = SpriteQuadOf(&p);
                quads[2] = SpriteQuadOf(GetComponent<SpeedrunComponent>(&p)->GetGhost());
                GetComponent<SpeedrunComponent>(&p)->SetRace({});
                // The room's placed things stop their own animations (a gem's
                // sparkle), so that what moves below the timer is the ghost.
                for (KorvEntity* entity : KorvanthGame::Get()->GetRoomEntities()) {
                    if (ZAnimComponent* anim = GetComponent<ZAnimComponent>(entity)) anim->playing = 0;
                }
            } else if (frame == 41) {
                hidden = Take();
            } else if (frame == 71) {
                later = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "72 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(r.started);
        Keep(raced, "speedrun-ghost.png");
        // One quad for both sprites: the game's.
        EXPECT_NE(quads[0], nullptr);
        EXPECT_EQ(quads[1], quads[0]) << "the player's sprite";
        EXPECT_EQ(quads[2], quads[0]) << "the ghost's sprite";
        // Below the timer's line only the ghost went away.
        EXPECT_GT(Changed(raced, hidden, 0.0f, 0.2f, 1.0f, 1.0f), 200) << "the ghost";
        // Half a second later the player stands as it stood; the timer's
        // digits moved on.
        EXPECT_GT(Changed(hidden, later, 0.0f, 0.0f, 0.5f, 0.2f), 10) << "the timer";
        EXPECT_EQ(Changed(hidden, later, 0.0f, 0.2f, 1.0f, 1.0f), 0) << "nothing else moves";
    });
}
