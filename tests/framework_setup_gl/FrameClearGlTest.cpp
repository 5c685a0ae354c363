// Every frame starts from cleared targets: nothing of an earlier frame shows
// (a closed console, text before "cls", the picture outside a new viewport).
// Whole runs on the SDL window (headless driver) and the GL device, read back.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "menu/ZMenuMgr.h"
#include "framework_game/RunScenarios.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenQuad.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

struct Shot : BackBufferShot {
    // Pixels that differ from the other shot's.
    int DifferentFrom(const Shot& other) const {
        if (other.pixels.size() != pixels.size()) {
            return static_cast<int>(pixels.size());
        }
        int count = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            count += (pixels[i] & 0x00FFFFFF) != (other.pixels[i] & 0x00FFFFFF);
        }
        return count;
    }
    // White pixels (text).
    int Bright() const {
        int count = 0;
        for (const uint32_t p : pixels) {
            count += (p & 0xFF) >= 200 && (p >> 8 & 0xFF) >= 200 && (p >> 16 & 0xFF) >= 200;
        }
        return count;
    }
    // Pixels other than opaque black (the default background) in x0..x1, all rows.
    int NonBlack(const int32_t x0, const int32_t x1) const {
        int count = 0;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = x0 < 0 ? 0 : x0; x < x1 && x < width; ++x) {
                if ((pixels[static_cast<size_t>(y) * width + x] & 0x00FFFFFF) != 0) ++count;
            }
        }
        return count;
    }
};

// Runs the game at 640 x 480 and calls script after every drawn frame until
// it answers false.
void RunScript(const std::function<bool(TestGame&, int)>& script) {
    GameRun run(platform::window::Backend::Sdl);
    UsePackagedGame(run);
    // Quick start: no splash animates behind the console, the screen stays still.
    run.Configure("QuickStart: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: "
                  "480\r\n");
    run.game->afterFrame = [&](TestGame& g, const int frame) {
        // An empty scene in which nothing covers the whole picture: no title
        // menu, and no pre-HUD picture (as when its effect is missing), so
        // whatever an earlier frame left would show.
        if (frame == 1) {
            GetMenuMgr()->CloseAll();
            if (g.GetPreHUDQuad() != nullptr) {
                g.GetPreHUDQuad()->visible = false;
            }
        }
        if (!script(g, frame)) {
            g.RequestQuit();
        }
    };
    run.game->quitAfterFrames = 100;
    run.Run();
    EXPECT_LT(run.game->drawnFrames, 100);
}

TEST(FrameClearGl, AClosedConsoleLeavesNothingBehind) {
    RunInChild([] {
        Shot before;
        Shot open;
        Shot closed;
        RunScript([&](TestGame& g, const int frame) {
            if (frame == 4) {
                before.Take();
                g.GetConsole().Toggle();
                g.GetConsole().Print("some text to leave behind");
            } else if (frame == 6) {
                open.Take();
                g.GetConsole().Toggle();
            } else if (frame == 8) {
                closed.Take();
                return false;
            }
            return true;
        });
        ASSERT_GT(before.width, 0);
        EXPECT_GT(open.DifferentFrom(before), 1000) << "the console showed";
        EXPECT_EQ(closed.DifferentFrom(before), 0) << "nothing of it is left";
    });
}

TEST(FrameClearGl, ClsLeavesOnlyTheNewText) {
    RunInChild([] {
        Shot before;
        Shot after;
        RunScript([&](TestGame& g, const int frame) {
            if (frame == 4) {
                g.GetConsole().Toggle();
                for (int i = 0; i < 12; ++i) {
                    g.GetConsole().Print("a long line of text that fills the width of the console, line after line");
                }
            } else if (frame == 6) {
                before.Take();
                g.ExecuteConsoleLine("cls");
            } else if (frame == 8) {
                after.Take();
                return false;
            }
            return true;
        });
        ASSERT_GT(before.width, 0);
        // Only the prompt is left of the text.
        EXPECT_LT(after.Bright(), before.Bright() / 4) << "before " << before.Bright() << ", after " << after.Bright();
    });
}

TEST(FrameClearGl, TheBarsOutsideTheViewportAreBackground) {
    RunInChild([] {
        Shot shot;
        RunScript([&](TestGame& g, const int frame) {
            if (frame == 2) {
                g.GetConsole().Toggle();
                for (int i = 0; i < 30; ++i) {
                    g.GetConsole().Print("wide text wide text wide text wide text wide text wide text wide text");
                }
            } else if (frame == 4) {
                // A square picture in a larger 4:3 window: bars left and right.
                g.GetConsole().Toggle();
                g.m_fixedAspectRatio = 1.0f;
                g.ExecuteConsoleLine("setres 800x600");
            } else if (frame == 7) {
                shot.Take();
                return false;
            }
            return true;
        });
        ASSERT_EQ(shot.width, 800);
        EXPECT_EQ(shot.NonBlack(0, 100), 0) << "left bar";
        EXPECT_EQ(shot.NonBlack(700, 800), 0) << "right bar";
    });
}

}  // namespace
}  // namespace gametest
