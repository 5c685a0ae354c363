// The things as the game draws them: the elder's dialog box shows its text
// and its choices on the screen, and the door's prompt shows above the door.
// KORV_THINGS_SHOTS names a folder for the pictures (docs/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZRenderableComponent.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/components/DoorComponent.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/SceneOverlays.h"
#include "game/player/Player.h"
#include "game/player/PlayerStatus.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;
using screenshot::Changed;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_THINGS_SHOTS", name); }

// Whether the scene's dialog backdrop is drawn.
bool BackdropShown() {
    ZEntity* const backdrop = FindGameSceneObject(ZHashedString("Dialog Backdrop"));
    const auto* renderables = GetComponent<ZRenderableComponent>(backdrop);
    if (renderables == nullptr) return false;
    for (const auto& node : renderables->renderables) {
        if (node.value != nullptr && node.value->visible) return true;
    }
    return false;
}

playtest::PlaySetup Workshop(const int32_t tileX) {
    playtest::PlaySetup setup;
    setup.gl = true;
    setup.display = true;
    setup.config = "[Video]\r\nCRTSim: false\r\n";
    setup.quickStart = playtest::PlaySetup::QuickStart();
    setup.quickStart->map = "Workshop";
    setup.quickStart->tileX = tileX;
    setup.quickStart->tileY = 24;
    return setup;
}

}  // namespace

TEST(ThingsShownGl, TheDialogBoxShowsAtTheTopOfTheScreen) {
    gametest::RunInChild([] {
        playtest::PlaySetup talk = Workshop(7);
        Shot before;
        Shot talking;
        bool boxBefore = true;
        bool boxTalking = false;
        talk.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 19) {
                before = Take();
                boxBefore = BackdropShown();
            }
            if (frame == 79) {
                talking = Take();
                boxTalking = BackdropShown();
            }
        };
        const auto r = playtest::RunPlay(talk, "20 -\n1 interact\n60 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        Keep(talking, "things-dialog.png");
        // The player stands in the lower half, so the box sits at the top.
        EXPECT_GT(Changed(before, talking, 0.0f, 0.0f, 1.0f, 0.4f), 300) << "the text and its choices";
        // Drawn at the game picture's scale, the first line reaches across
        // most of the screen (in window pixels it would stop at a third).
        EXPECT_GT(Changed(before, talking, 0.6f, 0.0f, 1.0f, 0.4f), 50) << "text at the picture's scale";
        EXPECT_FALSE(boxBefore) << "no box behind no text";
        EXPECT_TRUE(boxTalking) << "the text stands on its box";
    });
}

TEST(ThingsShownGl, TheDoorsPromptShowsWhilePromptsAreOn) {
    gametest::RunInChild([] {
        playtest::PlaySetup door = Workshop(25);
        Shot prompted;
        Shot plain;
        bool placed = false;
        door.afterFrame = [&](Player& p, const int32_t frame) {
            if (frame == 19) {
                prompted = Take();
                float x = 0.0f;
                float y = 0.0f;
                placed = GetComponent<DoorComponent>(&p)->GetPromptPosition(x, y);
                KorvanthGame::Get()->m_showInteractPrompts = false;
            } else if (frame == 21) {
                plain = Take();
            }
        };
        const auto r = playtest::RunPlay(door, "22 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        Keep(prompted, "things-door.png");
        EXPECT_TRUE(placed) << "the player stands at the door";
        // The player stands still: the prompt is all that differs.
        EXPECT_GT(Changed(prompted, plain, 0.0f, 0.0f, 1.0f, 1.0f), 20) << "the prompt's text";

        // The prompt reads "Up" (the first key of Enter), in the HUD font's
        // six rows, the window showing the 256 x 224 frame whole. The p is a
        // lower-case p: its bowl closes on the baseline's row and its stem
        // goes on into the row below, so that it reads neither as a P nor
        // as an F.
        ASSERT_EQ(prompted.width, 640);
        ASSERT_EQ(prompted.height, 480);
        int32_t left = prompted.width;
        int32_t top = prompted.height;
        for (int32_t y = 0; y < prompted.height; ++y) {
            for (int32_t x = 0; x < prompted.width; ++x) {
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(prompted.width) + static_cast<size_t>(x);
                if (prompted.pixels[i] != plain.pixels[i]) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                }
            }
        }
        ASSERT_LT(left, prompted.width) << "no prompt";
        const auto inked = [&](const float column, const float row) {
            // The middle of a frame pixel, counted from the U's top left.
            const auto x = static_cast<int32_t>(static_cast<float>(left) + (column + 0.5f) * 640.0f / 256.0f);
            const auto y = static_cast<int32_t>(static_cast<float>(top) + (row + 0.5f) * 480.0f / 224.0f);
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(prompted.width) + static_cast<size_t>(x);
            return prompted.pixels[i] != plain.pixels[i];
        };
        // U: columns 0 to 2, rows 0 to 4; p: columns 4 to 6, rows 1 to 5.
        EXPECT_TRUE(inked(0.0f, 4.0f)) << "the U's bottom";
        EXPECT_TRUE(inked(4.0f, 4.0f) && inked(5.0f, 4.0f)) << "the p's bowl closes on the baseline's row";
        EXPECT_TRUE(inked(6.0f, 3.0f)) << "the p's bowl is round down to it";
        EXPECT_TRUE(inked(4.0f, 5.0f)) << "the p's stem below the baseline";
        EXPECT_FALSE(inked(5.0f, 5.0f)) << "and only its stem";
    });
}

// The script verb "fullmaphack" shows the full map's pictures over the room
// once the map's minimap pictures are loaded.
TEST(ThingsShownGl, FullmaphackShowsTheFullMap) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 1, 0, 4, 24);
        Shot plain;
        Shot mapped;
        bool available = false;
        bool shown = false;
        setup.afterFrame = [&](Player& p, const int32_t frame) {
            if (frame == 19) {
                plain = Take();
                available = IsFullMapAvailable();
                RunCommandText("fullmaphack", p.GetHandle(), 0);
                SceneOverlays* overlays = PeekDisplayState()->GetChain()->GetOverlays();
                shown = overlays->GetRenderable(SceneOverlays::kFullMapContent).visible &&
                        overlays->GetRenderable(SceneOverlays::kFullMapIndicator).visible;
            } else if (frame == 21) {
                mapped = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "22 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(available) << "the halls' minimap pictures are loaded";
        EXPECT_TRUE(shown);
        // The player stands still: the map's pictures are what changed.
        EXPECT_GT(Changed(plain, mapped, 0.0f, 0.0f, 1.0f, 1.0f), 1000) << "the full map over the room";
    });
}
