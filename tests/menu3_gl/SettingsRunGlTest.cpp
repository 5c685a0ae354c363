// The settings pages in whole runs on the SDL window (headless driver) and the
// GL device: the video page's confirmed values resize the window and the
// screen-sized targets; the brightness page's value reaches the final pass,
// checked on read-back pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "foundation/ZTimer.h"
#include "framework_game/RunScenarios.h"
#include "menu/BrightnessMenu.h"
#include "menu/ConfirmationMenu.h"
#include "menu/VideoMenu.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSpinner.h"
#include "platform/window/window.h"
#include "renderer/ZRenderer.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

void Send(const int32_t kind) {
    ZMenuEvent event;
    event.kind = kind;
    GetMenuMgr()->DispatchEvent(event, nullptr);
}

std::vector<uint32_t> Capture(int32_t& width, int32_t& height) {
    BackBufferShot shot;
    shot.Take();
    width = shot.width;
    height = shot.height;
    return std::move(shot.pixels);
}

int32_t IndexOf(const ZMenu* menu, const char* name) {
    for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
        if (menu->GetItem(static_cast<int32_t>(i))->GetName() == ZHashedString(name)) return static_cast<int32_t>(i);
    }
    return -1;
}

TEST(SettingsRunGl, ConfirmedVideoValuesResizeTheWindowAndTargets) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
        TestGame& game = *run.game;

        VideoMenu* menu = nullptr;
        int32_t backWidth = 0, backHeight = 0;
        platform::window::Rect client{};
        game.afterFrame = [&](TestGame& g, const int frame) {
            if (frame == 5) {
                ZArray<ZResolution> modes;
                modes.PushBack(ZResolution{640, 480});
                modes.PushBack(ZResolution{800, 600});
                g.SetScreenModes(modes);
                menu = static_cast<VideoMenu*>(g.CreateVideoMenu());
                GetMenuMgr()->OpenMenu(menu);
            }
            if (frame == 30) {
                menu->Select(IndexOf(menu, "Spinner_AvailRes"));
                Send(ZMenuEventKind::NavRight);
                Send(ZMenuEventKind::Cancel);
            }
            if (frame == 50) {
                auto* question = dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu());
                ASSERT_NE(question, nullptr);
                question->Select(0);
                Send(ZMenuEventKind::Accept);
            }
            if (frame == 150) {
                Capture(backWidth, backHeight);
                client = platform::window::GetWindowSystem()->GetClientRect();
            }
        };
        game.quitAfterFrames = 151;
        run.Run();

        EXPECT_EQ(backWidth, 800);
        EXPECT_EQ(backHeight, 600);
        EXPECT_EQ(client.right - client.left, 800);
        EXPECT_EQ(client.bottom - client.top, 600);
        EXPECT_EQ(game.m_widthWindowed, 800);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    });
}

TEST(SettingsRunGl, BrightnessReachesTheFinalPass) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
        TestGame& game = *run.game;

        BrightnessMenu* menu = nullptr;
        std::vector<uint32_t> before, after;
        int32_t w = 0, h = 0;
        game.afterFrame = [&](TestGame& g, const int frame) {
            if (frame == 5) {
                menu = static_cast<BrightnessMenu*>(g.CreateBrightnessMenu());
                GetMenuMgr()->OpenMenu(menu);
            }
            if (frame == 40) {
                before = Capture(w, h);
                for (ZMenuItem* item : menu->items) {
                    if (auto* row = dynamic_cast<ZMenuSpinner*>(item)) {
                        for (int i = 0; i < 20; ++i) row->Adjust(1);  // +1.00
                    }
                }
            }
            if (frame == 42) {
                after = Capture(w, h);
            }
        };
        game.quitAfterFrames = 43;
        run.Run();

        ASSERT_EQ(before.size(), after.size());
        ASSERT_FALSE(before.empty());
        EXPECT_NEAR(game.m_brightness, 1.0f, 1e-5f);
        // Away from the value's text (the lower part of the screen), every
        // channel becomes c^0.5; mid-tones are raised, black and white stay.
        int brighter = 0;
        for (int32_t y = 0; y < h * 3 / 4; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const size_t i = static_cast<size_t>(y) * w + x;
                for (const int shift : {16, 8, 0}) {
                    const int b = static_cast<int>(before[i] >> shift & 0xFF);
                    const int a = static_cast<int>(after[i] >> shift & 0xFF);
                    const double expected = 255.0 * std::sqrt(b / 255.0);
                    if (std::fabs(a - expected) > 4.0) {
                        ADD_FAILURE() << "pixel " << x << "," << y << " channel " << shift << ": " << b << " -> " << a
                                      << ", expected " << expected;
                        return;
                    }
                    brighter += (b > 20 && b < 235 && a > b) ? 1 : 0;
                }
            }
        }
        EXPECT_GT(brighter, 100) << "the picture has mid-tones that were raised";
    });
}

}  // namespace
}  // namespace gametest
