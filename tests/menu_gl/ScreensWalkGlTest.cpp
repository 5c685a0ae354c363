// The engine's screens as a player walks through them, on the SDL window
// (headless driver) and the GL device, driven by the fake keyboard: the
// splash, skipped with Enter; the title with its picture; the options hub and
// the about page; the exit question answered No; New Game; Escape's pause
// menu and its return to the title after Yes; and Exit after Yes. Each screen
// is read back and checked for its content where the layout puts it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "menu/AboutMenu.h"
#include "menu/ConfirmationMenu.h"
#include "menu/OptionsMenu.h"
#include "menu/PauseMenu.h"
#include "menu/TitleMenu.h"
#include "menu/ZCinematic.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "platform/window/keycodes.h"
#include "renderer/ZRenderer.h"
#include "support/MenuWalk.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

struct Shot : BackBufferShot {
    std::string name;

    int Brightest(const int32_t x, const int32_t y) const {
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return std::max({static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)});
    }
    // Pixels at least `level` bright inside a rectangle of menu units (1024 x
    // 768 over the 640 x 480 window).
    int CountBright(const float left, const float top, const float right, const float bottom,
                    const int level = 150) const {
        int count = 0;
        for (int32_t y = static_cast<int32_t>(top / 1.6f); y < static_cast<int32_t>(bottom / 1.6f); ++y)
            for (int32_t x = static_cast<int32_t>(left / 1.6f); x < static_cast<int32_t>(right / 1.6f); ++x)
                count += Brightest(x, y) >= level ? 1 : 0;
        return count;
    }
};

Shot Capture(const char* name) {
    Shot shot;
    shot.name = name;
    shot.Take();
    // KORV_SHOTS_DIR keeps every screen for a person to look at.
    if (const char* dir = std::getenv("KORV_SHOTS_DIR")) {
        ZRenderer::WriteBMP((std::string(dir) + "/" + name + ".bmp").c_str(), shot.pixels.data(), shot.width,
                            shot.height);
    }
    return shot;
}

using korvtest::AtRestOn;
using korvtest::Step;

float SplashTime() {
    const ZCinematicMgr* cinematics = GetCinematicMgr();
    return cinematics->GetPlayingCount() > 0 ? cinematics->GetRecords()[0]->cinematic->GetTime() : -1.0f;
}

// The rectangle of the top menu's item of that name, in menu units.
bool ItemBox(const char* name, float box[4]) {
    const ZMenu* menu = GetMenuMgr()->GetTopMenu();
    for (uint32_t i = 0; menu != nullptr && i < menu->GetItemCount(); ++i) {
        const ZMenuItem* item = menu->items[i];
        if (item->GetName() == ZHashedString(name)) {
            box[0] = item->left;
            box[1] = item->top;
            box[2] = item->left + item->width;
            box[3] = item->top + item->height;
            return true;
        }
    }
    return false;
}

TEST(ScreensWalkGl, SplashTitleOptionsAboutPauseAndExit) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.game->withSplash = true;
        run.game->frameSeconds = {0.05};
        run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
        TestGame& game = *run.game;
        platform::input::FakeInputSystem* input = run.input;

        std::vector<Shot> shots;
        std::vector<float> boxes;  // item boxes captured with the shots, 4 floats each
        uint8_t heldKey = 0;
        int waitFrames = 0;
        const auto press = [&](const uint8_t key) {
            input->SetKey(key, true);
            heldKey = key;
        };
        const auto shoot = [&](const char* name, std::initializer_list<const char*> items) {
            shots.push_back(Capture(name));
            for (const char* item : items) {
                float box[4] = {0, 0, 0, 0};
                EXPECT_TRUE(ItemBox(item, box)) << name << ": " << item;
                boxes.insert(boxes.end(), box, box + 4);
            }
        };
        const auto wait = [&](const int frames) { return [&waitFrames, frames] { return ++waitFrames > frames; }; };
        using namespace platform;
        const std::vector<Step> steps = {
            {"the ring at its brightest", [] { return SplashTime() >= 1.4f; }, [&] { shoot("splash_ring", {}); }},
            {"splash on screen", [] { return SplashTime() >= 2.6f; }, [&] { shoot("splash", {}); }},
            {"skip it", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"title, faded in", [&] { return AtRestOn<TitleMenu>() && wait(40)(); },
             [&] {
                 waitFrames = 0;
                 shoot("title", {"NewGame", "Options", "Exit"});
             }},
            {"down to Options", [] { return true; }, [&] { press(DIK_DOWN); }},
            {"open the options", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"options", [] { return AtRestOn<OptionsMenu>(); },
             [&] { shoot("options", {"Game", "Video", "Audio", "Controls", "Language", "About", "Back"}); }},
            {"up to About", [] { return true; }, [&] { press(DIK_UP); }},
            {"up to About", [] { return true; }, [&] { press(DIK_UP); }},
            {"open About", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"about", [] { return AtRestOn<AboutMenu>(); }, [&] { shoot("about", {"SiteButton"}); }},
            {"back to the options", [] { return true; }, [&] { press(DIK_ESCAPE); }},
            {"back to the title", [] { return AtRestOn<OptionsMenu>(); }, [&] { press(DIK_ESCAPE); }},
            {"down to Exit", [] { return AtRestOn<TitleMenu>(); }, [&] { press(DIK_DOWN); }},
            {"ask to exit", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"exit question", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { shoot("confirm_exit", {}); }},
            {"answer No", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"up to New Game", [] { return AtRestOn<TitleMenu>(); }, [&] { press(DIK_UP); }},
            {"up to New Game", [] { return true; }, [&] { press(DIK_UP); }},
            {"start", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"playing", [&] { return GetMenuMgr()->GetOpenMenuCount() == 0 && wait(5)(); },
             [&] {
                 waitFrames = 0;
                 shoot("playing", {});
                 press(DIK_ESCAPE);
             }},
            {"pause", [] { return AtRestOn<PauseMenu>(); }, [&] { shoot("pause", {"Resume", "Options", "Title"}); }},
            {"up to Title", [] { return true; }, [&] { press(DIK_UP); }},
            {"ask for the title", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"title again: up to Exit", [] { return AtRestOn<TitleMenu>(); }, [&] { press(DIK_UP); }},
            {"ask to exit", [] { return true; }, [&] { press(DIK_RETURN); }},
            {"to Yes", [] { return AtRestOn<ConfirmationMenu>(); }, [&] { press(DIK_LEFT); }},
            {"answer Yes", [] { return true; }, [&] { press(DIK_RETURN); }},
        };
        size_t next = 0;
        game.afterFrame = [&](TestGame&, int) {
            if (heldKey != 0) {
                input->SetKey(heldKey, false);
                heldKey = 0;
                return;
            }
            if (next < steps.size() && steps[next].ready()) {
                steps[next].act();
                ++next;
            }
        };
        game.quitAfterFrames = 3000;  // a safety net: Exit ends the run first
        run.Run();

        EXPECT_EQ(next, steps.size()) << "the walk stopped before: " << (next < steps.size() ? steps[next].what : "");
        EXPECT_LT(game.drawnFrames, 3000) << "Exit ended the run";
        EXPECT_EQ(CountLines(run.user.ReadLog(), "Shader Compilation Error"), 0);
        ASSERT_EQ(shots.size(), 8u);
        const auto shot = [&](const char* name) -> const Shot& {
            for (const Shot& s : shots) {
                if (s.name == name) return s;
            }
            return shots[0];
        };

        // The splash: first the ring, then the flat logo light the middle of a
        // black screen.
        EXPECT_GT(shot("splash_ring").CountBright(256, 192, 768, 576, 80), 300) << "the ring";
        const Shot& splash = shot("splash");
        EXPECT_GT(splash.CountBright(400, 300, 624, 468, 100), 500) << "the logo";
        for (const Shot* s : {&shot("splash_ring"), &splash}) {
            EXPECT_EQ(s->CountBright(0, 0, 120, 90, 30), 0) << s->name << ": a dark corner";
        }

        // The title: the picture above the buttons, each button's text in its box.
        size_t b = 0;
        const Shot& title = shot("title");
        EXPECT_GT(title.CountBright(256, 100, 768, 330, 120), 800) << "the title picture";
        for (int i = 0; i < 3; ++i, b += 4) {
            EXPECT_GT(title.CountBright(boxes[b], boxes[b + 1], boxes[b + 2], boxes[b + 3], 100), 20) << "title " << i;
        }
        // The options hub and the about page: every button's text.
        for (int i = 0; i < 7; ++i, b += 4) {
            EXPECT_GT(shot("options").CountBright(boxes[b], boxes[b + 1], boxes[b + 2], boxes[b + 3], 100), 20)
                << "options " << i;
        }
        const Shot& about = shot("about");
        EXPECT_GT(about.CountBright(boxes[b], boxes[b + 1], boxes[b + 2], boxes[b + 3], 100), 20) << "web page";
        b += 4;
        EXPECT_GT(about.CountBright(200, 140, 824, 240, 100), 50) << "the about text";
        // The exit question: its text and its two buttons.
        EXPECT_GT(shot("confirm_exit").CountBright(200, 300, 824, 360, 100), 50) << "the question";
        EXPECT_GT(shot("confirm_exit").CountBright(200, 410, 824, 470, 100), 50) << "Yes and No";
        // Playing: no menu and no trace of one left on the screen; the scene is even.
        const Shot& playing = shot("playing");
        const int first = playing.Brightest(0, 0);
        int uneven = 0;
        for (int32_t y = 0; y < playing.height; y += 4)
            for (int32_t x = 0; x < playing.width; x += 4) uneven += std::abs(playing.Brightest(x, y) - first) > 8 ? 1 : 0;
        EXPECT_EQ(uneven, 0) << "what the menus left behind";
        for (int i = 0; i < 3; ++i, b += 4) {
            EXPECT_GT(shot("pause").CountBright(boxes[b], boxes[b + 1], boxes[b + 2], boxes[b + 3], 100), 20)
                << "pause " << i;
        }
        if (::testing::Test::HasFailure()) {
            for (const Shot& shot : shots) {
                ZRenderer::WriteBMP(("walk_failure_" + shot.name + ".bmp").c_str(), shot.pixels.data(), shot.width,
                                    shot.height);
            }
        }
    });
}

}  // namespace
}  // namespace gametest
