// The leaderboard as the game draws it: with a best run of the Gallery on
// file, the hall's board shows the personal-best row across the screen under
// the title. KORV_MENU_SHOTS names a folder for the picture (docs/menus/).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/menus/LeaderboardMenu.h"
#include "game/player/Player.h"
#include "game/progression/GhostFile.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

// Pixels of the first shot that are brighter in the second, inside a box
// given in fractions of the size; -1 for shots of different sizes.
int32_t Brighter(const Shot& a, const Shot& b, const float left, const float top, const float right,
                 const float bottom) {
    const auto sum = [](const uint32_t p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF); };
    return screenshot::CountInBox(a, b, left, top, right, bottom,
                                  [&](uint32_t p, uint32_t q) { return sum(q) > sum(p) + 120; });
}

}  // namespace

TEST(LeaderboardShownGl, ThePersonalBestRowSpansTheScreenUnderTheTitle) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
        Shot before;
        Shot open;
        bool listed = false;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 0) {
                // A best run of the course, as its commit writes it.
                std::vector<GhostFrame> frames(2);
                frames[1].time = 83.2567f;
                WriteGhostFile(GetGhostFilePath(ZHashedString("Gallery")), 83.2567f, 2, frames);
            } else if (frame == 14) {
                before = Take();
            } else if (frame == 59) {
                auto* board = dynamic_cast<LeaderboardMenu*>(GetMenuMgr()->GetTopMenu());
                listed = board != nullptr && board->GetRows().size() == 1;
                open = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "10 right\n5 -\n1 interact\n44 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(listed) << "the board opened the list with the run's row";
        if (const char* folder = std::getenv("KORV_MENU_SHOTS"); folder != nullptr && *folder != '\0') {
            EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/leaderboard.png").c_str(), open.pixels.data(),
                                           open.width, open.height));
        }
        // The row's name at the left, its time at the right, on the row's band.
        const int32_t name = Brighter(before, open, 0.06f, 0.14f, 0.30f, 0.24f);
        const int32_t time = Brighter(before, open, 0.72f, 0.14f, 0.94f, 0.24f);
        const int32_t middle = Brighter(before, open, 0.35f, 0.14f, 0.65f, 0.24f);
        std::printf("row band: name %d, leader %d, time %d pixels brighter\n", name, middle, time);
        EXPECT_GT(name, 150);
        EXPECT_GT(time, 150);
        EXPECT_GT(middle, 20) << "the dot leader";
    });
}
