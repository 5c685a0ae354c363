// A menu drawn by the engine on the SDL window (headless driver) and the GL
// device: the read-back shows the dark backdrop over the scene, the underlay
// panel around the items, each item's text where the layout puts it, and the
// selected item brighter than the others.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZRenderer.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

using Shot = BackBufferShot;

struct PixelRect {
    int32_t left, top, right, bottom;  // right and bottom excluded
};

// Menu units to pixels on the 640 x 480 window (1.6 units a pixel), shrunk
// by `inset` pixels on each side.
PixelRect ToPixels(const float left, const float top, const float width, const float height, const int32_t inset) {
    return PixelRect{static_cast<int32_t>(left / 1.6f) + inset, static_cast<int32_t>(top / 1.6f) + inset,
                     static_cast<int32_t>((left + width) / 1.6f) - inset,
                     static_cast<int32_t>((top + height) / 1.6f) - inset};
}

int Channel(const uint32_t p, const int shift) { return static_cast<int>(p >> shift & 0xFF); }
int Brightest(const uint32_t p) { return std::max({Channel(p, 16), Channel(p, 8), Channel(p, 0)}); }

// The brightest channel of any pixel inside the rectangle.
int MaxInside(const Shot& shot, const PixelRect& r) {
    int best = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) best = std::max(best, Brightest(shot.At(x, y)));
    return best;
}

// Pixels inside the rectangle whose brightest channel is at least `level`.
int CountAtLeast(const Shot& shot, const PixelRect& r, const int level) {
    int count = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) count += Brightest(shot.At(x, y)) >= level ? 1 : 0;
    return count;
}

TEST(MenuRunGl, MenuDrawsBackdropUnderlayAndItems) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.Configure("\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
        TestGame& game = *run.game;

        Shot before, after;
        ZMenu* menu = nullptr;
        struct ItemBox {
            float left, top, width, height;
        };
        std::vector<ItemBox> boxes;
        ItemBox panel{};
        game.afterFrame = [&](TestGame& g, const int frame) {
            if (frame == 8) {
                before.Take();
                menu = new ZMenu();
                const char* texts[] = {"Resume", "Options", "Quit"};
                for (int i = 0; i < 3; ++i) {
                    menu->AddItem(ZMenuItem::Create(ZString(texts[i]), 512.0f, 280.0f + 120.0f * i, 0, 1.0f));
                }
                menu->Arrange(80.0f, 64.0f);
                GetMenuMgr()->OpenMenu(menu);
            }
            if (frame == 12 && g.GetMenuFont() != nullptr) {
                menu->Select(1);
            }
            if (frame == 40) {
                for (const ZMenuItem* item : menu->items) boxes.push_back({item->left, item->top, item->width, item->height});
                const ZMenuUnderlay* u = menu->underlays[0];
                panel = {u->left, u->top, u->width, u->height};
                after.Take();
            }
        };
        game.quitAfterFrames = 41;
        run.Run();

        ASSERT_EQ(after.width, 640);
        ASSERT_EQ(after.height, 480);
        ASSERT_EQ(boxes.size(), 3u);
        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_EQ(CountLines(log, "Shader Compilation Error"), 0);

        // The backdrop darkens the scene far from the panel.
        const PixelRect corner{0, 0, 40, 40};
        EXPECT_LT(MaxInside(after, corner) + 10, std::max(MaxInside(before, corner), 40))
            << "the scene behind the menu is darker";

        // Every item's text lies inside its rectangle: bright pixels there,
        // none in the gaps between the rows.
        for (size_t i = 0; i < boxes.size(); ++i) {
            const ItemBox& b = boxes[i];
            EXPECT_GT(b.width, 50.0f) << "item " << i << " has a measured text";
            EXPECT_GT(CountAtLeast(after, ToPixels(b.left, b.top, b.width, b.height, 0), 100), 30) << "item " << i;
        }
        for (size_t i = 0; i + 1 < boxes.size(); ++i) {
            const float gapTop = boxes[i].top + boxes[i].height * 1.25f;
            const float gapBottom = boxes[i + 1].top - boxes[i + 1].height * 0.25f;
            ASSERT_LT(gapTop + 3.2f, gapBottom);
            EXPECT_EQ(CountAtLeast(after, ToPixels(400, gapTop, 224, gapBottom - gapTop, 1), 100), 0)
                << "between items " << i << " and " << i + 1;
        }
        // The selected item is white, the others grey.
        const int selected = MaxInside(after, ToPixels(boxes[1].left, boxes[1].top, boxes[1].width, boxes[1].height, 0));
        const int other = MaxInside(after, ToPixels(boxes[0].left, boxes[0].top, boxes[0].width, boxes[0].height, 0));
        EXPECT_GE(selected, 240);
        EXPECT_LE(other, 170);
        EXPECT_GE(other, 90);
        // The selected item's glow lights the space around its text; the others' stays dark.
        const auto ring = [&](const ItemBox& b) {
            return MaxInside(after, ToPixels(b.left - b.width * 0.2f, b.top + b.height * 1.05f, b.width * 1.4f,
                                             b.height * 0.15f, 0));
        };
        EXPECT_GT(ring(boxes[1]), ring(boxes[0]) + 20);

        // The panel: its inside differs from the backdrop outside it.
        const PixelRect inside = ToPixels(panel.left + 20, panel.top + 20, 40, 30, 0);
        const PixelRect outside = ToPixels(panel.left - 60, panel.top + 20, 40, 30, 0);
        EXPECT_NE(after.At(inside.left, inside.top), after.At(outside.left, outside.top));
        if (::testing::Test::HasFailure()) {
            ZRenderer::WriteBMP("menu_run_failure.bmp", after.pixels.data(), after.width, after.height);
        }
    });
}

}  // namespace
}  // namespace gametest
