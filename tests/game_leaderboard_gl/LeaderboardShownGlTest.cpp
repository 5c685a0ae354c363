// The leaderboard as the game draws it: with a best run of the Gallery on
// file, the hall's board shows the personal-best row across the screen under
// the title, and on a course none of its texts meets the HUD that stays on
// screen under it (the course timer, the minimap and its prompt).
// KORV_MENU_SHOTS names a folder for the picture (docs/menus/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayState.h"
#include "game/menus/LeaderboardMenu.h"
#include "game/player/Player.h"
#include "game/progression/GhostFile.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"
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

int32_t Brightness(const uint32_t p) {
    return std::max({static_cast<int32_t>(p & 0xFF), static_cast<int32_t>((p >> 8) & 0xFF),
                     static_cast<int32_t>((p >> 16) & 0xFF)});
}

int32_t Difference(const uint32_t p, const uint32_t q) {
    int32_t sum = 0;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        sum +=
            std::abs(static_cast<int32_t>((p >> shift) & 0xFF) - static_cast<int32_t>((q >> shift) & 0xFF));
    }
    return sum;
}

// The HUD's pixels (where the shot with it differs from the shot without it)
// that lie within two pixels of the menu's text (bright in the shot without
// the HUD, where the scene behind the menu is dimmed).
int32_t HudMeetsMenu(const Shot& withHud, const Shot& withoutHud, int32_t* hudPixels, int32_t* menuPixels) {
    const int32_t w = withHud.width;
    const int32_t h = withHud.height;
    const auto at = [w](int32_t x, int32_t y) { return static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x); };
    std::vector<uint8_t> menu(withoutHud.pixels.size(), 0);
    *menuPixels = 0;
    for (size_t i = 0; i < menu.size(); ++i) {
        if (Brightness(withoutHud.pixels[i]) > 100) {
            menu[i] = 1;
            ++*menuPixels;
        }
    }
    *hudPixels = 0;
    int32_t meets = 0;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (Difference(withHud.pixels[at(x, y)], withoutHud.pixels[at(x, y)]) <= 48) continue;
            ++*hudPixels;
            bool near = false;
            for (int32_t dy = -2; dy <= 2 && !near; ++dy) {
                for (int32_t dx = -2; dx <= 2 && !near; ++dx) {
                    const int32_t nx = x + dx;
                    const int32_t ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < w && ny < h && menu[at(nx, ny)] != 0;
                }
            }
            if (near) ++meets;
        }
    }
    return meets;
}

// The HUD's text and the minimap (through its setting, as the options page
// switches it) on or off.
void ShowHud(const bool on) {
    KorvanthGame* game = KorvanthGame::Get();
    game->GetHUDFont()->visible = on;
    game->m_displaySettings.showMinimap = on;
    ApplyMinimapVisibility();
}

}  // namespace

// The board opened on the Gallery's course, through the CRT's tube or on the
// flat display; the CRT's picture is the one kept.
void ShowBoardOverTheHud(const bool crt) {
    gametest::RunInChild([crt] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = std::string("[Video]\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\nCRTSim: ") +
                       (crt ? "true" : "false") + "\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
        Shot before;
        Shot open;
        Shot openWithoutHud;
        Shot openAgain;
        bool listed = false;
        bool minimapShown = false;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 0) {
                // A best run of the course, as its commit writes it.
                std::vector<GhostFrame> frames(2);
                frames[1].time = 83.2567f;
                WriteGhostFile(GetGhostFilePath(ZHashedString("Gallery")), 83.2567f, 2, frames);
                // On the course, so that its timer shows as well.
                FindPlayerSpeedrun()->SetCourseState(true, true, ZHashedString("Gallery"));
            } else if (frame == 14) {
                before = Take();
            } else if (frame == 59) {
                auto* board = dynamic_cast<LeaderboardMenu*>(GetMenuMgr()->GetTopMenu());
                listed = board != nullptr && board->GetRows().size() == 1;
                minimapShown = GetDisplayState()->minimapQuads[0] != nullptr &&
                               GetDisplayState()->minimapQuads[0]->visible;
                open = Take();
                ShowHud(false);
            } else if (frame == 66) {
                openWithoutHud = Take();
                ShowHud(true);
            } else if (frame == 73) {
                openAgain = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "10 right\n5 -\n1 interact\n60 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(listed) << "the board opened the list with the run's row";
        if (const char* folder = std::getenv("KORV_MENU_SHOTS"); crt && folder != nullptr && *folder != '\0') {
            EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/leaderboard.png").c_str(),
                                           open.pixels.data(), open.width, open.height));
        }
        // The row's name at the left, its time at the right, on the row's band.
        const int32_t name = Brighter(before, open, 0.06f, 0.26f, 0.30f, 0.36f);
        const int32_t time = Brighter(before, open, 0.72f, 0.26f, 0.94f, 0.36f);
        const int32_t middle = Brighter(before, open, 0.35f, 0.26f, 0.65f, 0.36f);
        std::printf("row band: name %d, leader %d, time %d pixels brighter\n", name, middle, time);
        EXPECT_GT(name, 150);
        EXPECT_GT(time, 150);
        EXPECT_GT(middle, 20) << "the dot leader";

        // The HUD stays under the board; nothing of the board's text meets it.
        ASSERT_TRUE(minimapShown);
        ASSERT_LT(screenshot::Changed(open, openAgain, 0.0f, 0.0f, 1.0f, 1.0f), 20)
            << "the paused picture stands still";
        int32_t hud = 0;
        int32_t menu = 0;
        const int32_t meets = HudMeetsMenu(open, openWithoutHud, &hud, &menu);
        std::printf("HUD %d pixels, menu text %d pixels, %d of the HUD's by the menu's\n", hud, menu, meets);
        EXPECT_GT(hud, 300) << "the timer and the minimap show";
        EXPECT_GT(menu, 1000);
        EXPECT_EQ(meets, 0);
    });
}

TEST(LeaderboardShownGl, ThePersonalBestRowSpansTheScreenUnderTheTitleClearOfTheHud) {
    ShowBoardOverTheHud(true);
}

TEST(LeaderboardShownGl, OnTheFlatDisplayTheBoardIsClearOfTheHudToo) { ShowBoardOverTheHud(false); }

// On a wide window the flat display's picture stands between black bars; the
// selected row's band, as wide as the menu's canvas and more, stays on the
// picture and leaves the bars black.
TEST(LeaderboardShownGl, OnAWideWindowTheRowsBandStaysOnThePicture) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
        Shot before;
        Shot open;
        bool listed = false;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame == 0) {
                std::vector<GhostFrame> frames(2);
                frames[1].time = 83.2567f;
                WriteGhostFile(GetGhostFilePath(ZHashedString("Gallery")), 83.2567f, 2, frames);
                KorvanthGame::Get()->ExecuteConsoleLine("setres 1280x720");
            } else if (frame == 14) {
                before = Take();
            } else if (frame == 59) {
                auto* board = dynamic_cast<LeaderboardMenu*>(GetMenuMgr()->GetTopMenu());
                listed = board != nullptr && board->GetRows().size() == 1 &&
                         board->GetSelectedItem() == board->GetItem(LeaderboardMenu::kFirstRow);
                open = Take();
            }
        };
        const auto r = playtest::RunPlay(setup, "10 right\n5 -\n1 interact\n60 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        ASSERT_TRUE(listed) << "the board opened with its row selected";
        ASSERT_EQ(before.width, 1280);
        ASSERT_EQ(open.width, before.width);
        // The picture's columns: those with anything but black before the board.
        int32_t pictureLeft = before.width;
        int32_t pictureRight = -1;
        for (int32_t y = 0; y < before.height; ++y) {
            for (int32_t x = 0; x < before.width; ++x) {
                if (Brightness(before.pixels[static_cast<size_t>(y * before.width + x)]) > 8) {
                    pictureLeft = std::min(pictureLeft, x);
                    pictureRight = std::max(pictureRight, x);
                }
            }
        }
        std::printf("picture from x %d to %d\n", pictureLeft, pictureRight);
        ASSERT_GT(pictureLeft, 40) << "black bars at the sides";
        ASSERT_LT(pictureRight, before.width - 40);
        int32_t lit = 0;
        int32_t litLeft = open.width;
        int32_t litRight = -1;
        for (int32_t y = 0; y < open.height; ++y) {
            for (int32_t x = 0; x < open.width; ++x) {
                if (x >= pictureLeft - 1 && x <= pictureRight + 1) continue;
                if (Brightness(open.pixels[static_cast<size_t>(y * open.width + x)]) > 8) {
                    ++lit;
                    litLeft = std::min(litLeft, x);
                    litRight = std::max(litRight, x);
                }
            }
        }
        EXPECT_EQ(lit, 0) << "the bars show the board from x " << litLeft << " to " << litRight;
    });
}
