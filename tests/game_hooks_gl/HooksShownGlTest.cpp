// The full map's input prompt as the game draws it beside the minimap, on the
// campaign's Gallery course. KORV_HOOKS_SHOTS names a folder for the pictures
// (the prompt in play, the full-map screen and the course's status screen).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayState.h"
#include "game/display/MinimapBackTexture.h"
#include "game/player/Player.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;
using screenshot::Changed;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_HOOKS_SHOTS", name); }

playtest::PlaySetup GalleryHall() {
    playtest::PlaySetup setup;
    setup.gl = true;
    setup.display = true;
    setup.config = "[Video]\r\nCRTSim: false\r\n";
    setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 22, 24);
    return setup;
}

}  // namespace

TEST(HooksShownGl, TheFullMapsPromptShowsBesideTheMinimapInPlay) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = GalleryHall();
        Shot prompted;
        Shot plain;
        Shot fullMap;
        Shot status;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 19) {
                prompted = Take();
                // As on a map without a minimap: the prompt goes, the picture stays.
                GetDisplayState()->minimapAvailable = false;
            } else if (frame == 21) {
                plain = Take();
                GetDisplayState()->minimapAvailable = true;
            } else if (frame == 39) {
                fullMap = Take();
            } else if (frame == 80) {
                status = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "22 -\n1 map\n17 -\n1 escape\n10 -\n1 status\n29 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        Keep(prompted, "hooks-prompt.png");
        Keep(fullMap, "hooks-fullmap.png");
        Keep(status, "hooks-course-status.png");
        // The player stands still: only the prompt differs, at the top, and
        // an open screen hides it.
        EXPECT_GT(Changed(prompted, plain, 0.0f, 0.0f, 1.0f, 0.2f), 10) << "the prompt's text";
        EXPECT_EQ(Changed(prompted, plain, 0.0f, 0.2f, 1.0f, 1.0f), 0);
        // Beside the minimap, not on it: nothing of the prompt lies on the
        // plate (its frame included), which fills the window's 256 x 224 frame
        // from (200, 16) to (240, 48).
        using Plate = MinimapBackTexture;
        EXPECT_EQ(Changed(prompted, plain, Plate::kLeft / 256.0f, (224.0f - Plate::kBottom - Plate::kHeight) / 224.0f,
                          (Plate::kLeft + Plate::kWidth) / 256.0f, (224.0f - Plate::kBottom) / 224.0f),
                  0)
            << "the prompt covers the minimap's plate";
    });
}
