// A whole run of the engine on the fake window and input devices: a
// confirmation menu opened in the middle of the game is driven by the
// "Menus" controls from the keyboard, by the mouse (hover and click) and by
// a pad, pauses the game while it is open and answers its owner.

#include <gtest/gtest.h>

#include <vector>

#include "framework_game/RunScenarios.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/window/keycodes.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

struct Answers {
    int yes = 0;
    int no = 0;
};

// One scripted step: before the frame after `frame`, do `action`.
struct Step {
    int frame;
    enum Action { Open, KeyDown, KeyUp, MoveTo, ButtonDown, ButtonUp, Pad, Record } action;
    int arg = 0;
    int arg2 = 0;
};

TEST(MenuRun, ConfirmationDrivenByKeyboardMousePad) {
    RunInChild([] {
        GameRun run;
        UsePackagedGame(run);
        run.Configure(
            "\r\n[Input]\r\nController: Test Pad\r\n"
            "[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
        TestGame& game = *run.game;
        // A pad is plugged in from the start, at rest.
        platform::input::FakeInputSystem::JoystickDesc pad;
        pad.isXInput = true;
        pad.name = "Test Pad";
        run.input->AttachJoystick(pad);
        run.input->SetPad(0, platform::input::Gamepad());

        Answers answers;
        std::vector<int> selections;  // the top menu's selection at each Record
        std::vector<bool> pausedAt;   // IsGamePaused at each Record
        // Menu units to the window's client pixels on a 640 x 480 window
        // (1024 x 768 units over 640 x 480 pixels).
        const auto pixel = [](const float units) { return static_cast<int>(units / 1.6f); };
        const int yesX = pixel(320.0f), noX = pixel(704.0f), rowY = pixel(440.0f);
        const Step steps[] = {
            {12, Step::Open},
            // During the opening transition the controls do nothing.
            {13, Step::KeyDown, platform::DIK_LEFT},
            {14, Step::KeyUp, platform::DIK_LEFT},
            {15, Step::Record},
            // At rest: Left moves from "No" to "Yes".
            {40, Step::KeyDown, platform::DIK_LEFT},
            {41, Step::KeyUp, platform::DIK_LEFT},
            {42, Step::Record},
            // Hovering over "No" selects it; a click on "Yes" answers yes.
            {42, Step::MoveTo, noX, rowY},
            {44, Step::Record},
            {44, Step::MoveTo, yesX, rowY},
            {45, Step::ButtonDown},
            {46, Step::ButtonUp},
            {47, Step::Record},
            // Closed after its 0.25 s closing transition; the game runs again.
            {70, Step::Record},
            // A second question, answered with the pad: left, then A.
            {72, Step::Open},
            {100, Step::Pad, 0x0004},
            {101, Step::Pad, 0},
            {102, Step::Record},
            {103, Step::Pad, 0x1000},
            {104, Step::Pad, 0},
            {130, Step::Record},
        };
        game.afterFrame = [&](TestGame& g, const int frame) {
            for (const Step& s : steps) {
                if (s.frame != frame) continue;
                switch (s.action) {
                    case Step::Open: {
                        auto* menu = static_cast<ConfirmationMenu*>(g.CreateConfirmationMenu(false));
                        menu->context = &answers;
                        menu->yesCallback = [](void* c) { ++static_cast<Answers*>(c)->yes; };
                        menu->noCallback = [](void* c) { ++static_cast<Answers*>(c)->no; };
                        menu->SetDescription(ZString("Leave the game?"));
                        GetMenuMgr()->OpenMenu(menu);
                        break;
                    }
                    case Step::KeyDown: run.input->SetKey(static_cast<uint8_t>(s.arg), true); break;
                    case Step::KeyUp: run.input->SetKey(static_cast<uint8_t>(s.arg), false); break;
                    case Step::MoveTo: {
                        platform::window::WindowSystem* windows = platform::window::GetWindowSystem();
                        const platform::window::Point origin = windows->ScreenToClient(platform::window::Point{0, 0});
                        windows->SetCursorPos(s.arg - origin.x, s.arg2 - origin.y);
                        run.input->MoveMouse(1, 0);  // the mouse is the device in use
                        break;
                    }
                    case Step::ButtonDown: run.input->SetMouseButton(0, true); break;
                    case Step::ButtonUp: run.input->SetMouseButton(0, false); break;
                    case Step::Pad: {
                        platform::input::Gamepad pad;
                        pad.wButtons = static_cast<uint16_t>(s.arg);
                        run.input->SetPad(0, pad);
                        break;
                    }
                    case Step::Record: {
                        ZMenu* top = GetMenuMgr()->GetTopMenu();
                        selections.push_back(top != nullptr ? top->selectedIndex : -9);
                        pausedAt.push_back(g.IsGamePaused());
                        break;
                    }
                }
            }
        };
        game.quitAfterFrames = 131;
        run.Run();

        EXPECT_EQ(selections, (std::vector<int>{1, 0, 1, 0, -9, 0, -9}));
        EXPECT_EQ(pausedAt, (std::vector<bool>{true, true, true, true, false, true, false}));
        EXPECT_EQ(answers.yes, 2);
        EXPECT_EQ(answers.no, 0);
    });
}

}  // namespace
}  // namespace gametest

namespace gametest {
namespace {

// Quitting while the start-up splash plays: the run ends at once, the splash
// is ended and freed, and no title menu is built for a program on its way out.
TEST(MenuRun, QuitDuringTheSplashBuildsNoTitle) {
    struct Case {
        const char* how;
        TestGame::QuitBy quitBy;
    };
    const Case cases[] = {{"quit request", TestGame::QuitBy::Request}, {"Exit", TestGame::QuitBy::Exit}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        RunInChild([&] {
            class CountingTitles : public PackagedGame {
            public:
                ZMenu* CreateTitleMenu(const int32_t argument) override {
                    ++titles;
                    return PackagedGame::CreateTitleMenu(argument);
                }
                int titles = 0;
            };
            GameRun run;
            delete run.game;
            auto* game = new CountingTitles();
            run.game = game;
            game->clock = &run.clock;
            game->withSplash = true;
            game->quitBy = c.quitBy;
            run.Configure("");
            bool splashSeen = false;
            game->afterFrame = [&](TestGame&, int) {
                splashSeen = splashSeen || GetCinematicMgr()->IsPlaying(ZHashedString("Intro Splash Cinematic"));
            };
            game->quitAfterFrames = 5;
            run.Run();
            EXPECT_TRUE(splashSeen);
            EXPECT_EQ(game->shutdowns, 1);
            EXPECT_EQ(game->titles, 0);
        });
    }
}

}  // namespace
}  // namespace gametest
