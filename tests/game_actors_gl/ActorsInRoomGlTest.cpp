// The CRT reference backdrop and placed actors drawn through the real game:
// QuickStart into a Caverns room with the game's display, then the frame is
// drawn with and without the CRT reference showing, and with a placed block
// centred on its position. KORV_ACTORS_SHOTS names a folder for the pictures
// (docs/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/components/CRTRef.h"
#include "game/display/KorvanthDisplay.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "platform/sound/sound.h"
#include "renderer/ZRenderer.h"
#include "support/GamePackages.h"
#include "support/TempDir.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

void Keep(const Shot& shot, const char* name) { screenshot::Keep(shot, "KORV_ACTORS_SHOTS", name); }

uint32_t At(const Shot& shot, const int32_t x, const int32_t y) {
    return shot.pixels[static_cast<size_t>(y) * shot.width + x];
}

// Where picture positions show in the window, read off the reference
// picture itself: its eight bars are 32 picture pixels wide, and below them
// (from y 160) four rows of colour swatches 16 high. Screen = a + b * picture.
struct Mapping {
    float ax = 0, bx = 0, ay = 0, by = 0;
    bool ok = false;
    float X(const float x) const { return ax + bx * x; }
    float Y(const float y) const { return ay + by * y; }
};
std::vector<int32_t> Changes(const Shot& shot, const int32_t x0, const int32_t y0, const int32_t dx, const int32_t dy,
                             const int32_t steps) {
    std::vector<int32_t> at;
    for (int32_t i = 1; i < steps; ++i) {
        if (At(shot, x0 + dx * i, y0 + dy * i) != At(shot, x0 + dx * (i - 1), y0 + dy * (i - 1))) at.push_back(i);
    }
    return at;
}
Mapping ReadMapping(const Shot& shot) {
    Mapping m;
    // Across a row below the centre cross, clear of the minimap above and of
    // the HUD's boxes below.
    const std::vector<int32_t> across = Changes(shot, 0, shot.height * 45 / 100, 1, 0, shot.width);
    if (across.size() < 7) return m;
    // The seven boundaries between the bars, at 32 .. 224.
    m.bx = static_cast<float>(across[6] - across[0]) / 192.0f;
    m.ax = static_cast<float>(across[0]) - 32.0f * m.bx;
    // Down the third bar (x 80): the bar ends at 160, swatch rows follow every 16.
    const int32_t column = static_cast<int32_t>(m.X(80.0f));
    const std::vector<int32_t> down = Changes(shot, column, 0, 0, 1, shot.height);
    // The last five changes: the bar's end, the swatch rows' edges and the
    // picture's bottom edge (224).
    if (down.size() < 5) return m;
    const size_t n = down.size();
    m.by = static_cast<float>(down[n - 1] - down[n - 5]) / 64.0f;
    m.ay = static_cast<float>(down[n - 5]) - 160.0f * m.by;
    m.ok = m.bx > 0.0f && m.by > 0.0f;
    return m;
}

// The box of pixels that differ between two shots; right < 0 when none.
struct Changed {
    int32_t left, right, top, bottom, count;
};
Changed Compare(const Shot& a, const Shot& b, int32_t x0 = 0, int32_t y0 = 0, int32_t x1 = -1, int32_t y1 = -1) {
    if (x1 < 0) x1 = a.width;
    if (y1 < 0) y1 = a.height;
    Changed c{a.width, -1, a.height, -1, 0};
    for (int32_t y = std::max(y0, 0); y < std::min(y1, a.height); ++y) {
        for (int32_t x = std::max(x0, 0); x < std::min(x1, a.width); ++x) {
            const size_t i = static_cast<size_t>(y) * a.width + x;
            if (a.pixels[i] == b.pixels[i]) continue;
            ++c.count;
            c.left = std::min(c.left, x);
            c.right = std::max(c.right, x);
            c.top = std::min(c.top, y);
            c.bottom = std::max(c.bottom, y);
        }
    }
    return c;
}

class ActorsGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        gametest::MountGamePackages();
    }
    // Time stands still: every frame draws the same world.
    void UpdateTiming() override {
        if (drawnFrames < kSettled) clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    CRTRef* Reference() {
        const auto* node = GetBackdrops().Find(ZHashedString(kDebugBackgroundEntity));
        return node != nullptr ? DynamicCast<CRTRef>(node->value) : nullptr;
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        ++drawnFrames;
        CRTRef* reference = Reference();
        if (drawnFrames == kSettled) {
            referenceHiddenAtStart = reference != nullptr && !reference->GetQuad()->visible;
            plain = Take();
            if (reference != nullptr) reference->GetQuad()->visible = true;
        } else if (drawnFrames == kSettled + 1) {
            withReference = Take();
            if (reference != nullptr) reference->GetQuad()->visible = false;
        } else if (drawnFrames == kSettled + 2) {
            plainAgain = Take();
            // A block popped out of hiding, placed in the room's air.
            block = CreateKorvEntity(ZHashedString("PopBlock.zdd"), 0);
            if (block != nullptr) {
                ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(block);
                spatial->current.position = ZVector3(kBlockX, kBlockY, 0.0f);
                spatial->ResetInterpolation();
                spatial->Interpolate(1.0f);
                GetComponent<ZRenderableComponent>(block)->SetRenderablesVisible(true);
                AddRoomEntity(block);
            }
        } else if (drawnFrames == kSettled + 3) {
            withBlock = Take();
            viewCentre = GetRoomViewCentre();
            RequestQuit();
        }
    }
    static constexpr int kSettled = 12;
    static constexpr float kBlockX = 100.0f;
    static constexpr float kBlockY = 60.0f;
    os::fake::FakeClock* clock = nullptr;
    int drawnFrames = 0;
    bool referenceHiddenAtStart = false;
    KorvEntity* block = nullptr;
    ZVector3 viewCentre;  // the room's view when the block was drawn
    Shot plain;
    Shot withReference;
    Shot plainAgain;
    Shot withBlock;
};

TEST(ActorsInRoomGl, TheCRTReferenceCoversThePictureAndAPlacedBlockSitsOnItsPosition) {
    gametest::RunInChild([] {
        korvtest::TempDir documents;
        os::fake::FakeClock clock;
        gametest::StartGameOnSdl(documents, KorvanthGame::kTitle,
                                 "DoLogging: true\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 512\r\n"
                                 "HeightWindowed: 448\r\nCRTSim: false\r\n");
        auto* game = new ActorsGame();
        game->clock = &clock;
        game->SetDisplay(std::make_unique<KorvanthDisplay>());
        ZBaseGame::Run(game, 0, 0, "QuickStart Korvanth.kdd Caverns 2 0 4 5", 1);

        Keep(game->withReference, "crtref.png");
        Keep(game->withBlock, "actors-popblock.png");
        EXPECT_TRUE(game->referenceHiddenAtStart) << "the backdrop waits for the console";
        ASSERT_FALSE(game->plain.pixels.empty());
        ASSERT_EQ(game->plain.pixels.size(), game->withReference.pixels.size());
        // The reference covers the game picture: most of the window changes.
        const Changed reference = Compare(game->plain, game->withReference);
        const Shot& shot = game->withReference;
        EXPECT_GT(reference.count, shot.width * shot.height / 2);
        const Mapping map = ReadMapping(shot);
        ASSERT_TRUE(map.ok) << "the bars and swatches are where they belong";
        // The picture fills the width, and its bars show in order.
        EXPECT_NEAR(map.X(0.0f), 0.0f, 4.0f);
        EXPECT_NEAR(map.X(256.0f), static_cast<float>(shot.width), 4.0f);
        struct Bar {
            int index;
            bool (*looks)(uint32_t);
        };
        const Bar bars[] = {
            {0, [](uint32_t p) { return ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) > 180 && (p & 0xFF) > 180; }},
            {1, [](uint32_t p) { return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) < 100; }},
            {5, [](uint32_t p) { return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100; }},
            {6, [](uint32_t p) { return (p & 0xFF) > 150 && ((p >> 16) & 0xFF) < 120; }},
            {7, [](uint32_t p) { return ((p >> 16) & 0xFF) < 40 && ((p >> 8) & 0xFF) < 40 && (p & 0xFF) < 40; }},
        };
        for (const Bar& bar : bars) {
            const uint32_t p = At(shot, static_cast<int32_t>(map.X(bar.index * 32.0f + 16.0f)),
                                  static_cast<int32_t>(map.Y(100.0f)));
            EXPECT_TRUE(bar.looks(p)) << "bar " << bar.index << std::hex << " is 0x" << p;
        }

        // The block: 16 x 16 pixels centred on (100, 60) of the room, seen
        // through the room's view (centred where the game's camera was), at
        // the window point the reference's mapping gives that picture point.
        ASSERT_NE(game->block, nullptr);
        const float px = ActorsGame::kBlockX - (game->viewCentre.x - 128.0f);
        const float py = ActorsGame::kBlockY - (game->viewCentre.y - 112.0f);
        const float cx = map.X(px);
        const float cy = map.Y(py);
        const Changed block = Compare(game->plainAgain, game->withBlock, static_cast<int32_t>(map.X(px - 30.0f)),
                                      static_cast<int32_t>(map.Y(py - 30.0f)), static_cast<int32_t>(map.X(px + 30.0f)),
                                      static_cast<int32_t>(map.Y(py + 30.0f)));
        ASSERT_GE(block.right, 0) << "the block is not drawn";
        EXPECT_NEAR((block.left + block.right + 1) * 0.5f, cx, 2.0f * map.bx);
        EXPECT_NEAR((block.top + block.bottom + 1) * 0.5f, cy, 2.0f * map.by);
        EXPECT_NEAR(static_cast<float>(block.right - block.left + 1), 16.0f * map.bx, 2.0f * map.bx);
        EXPECT_NEAR(static_cast<float>(block.bottom - block.top + 1), 16.0f * map.by, 2.0f * map.by);

        ZBaseGame::DestroyInstance();
    });
}

}  // namespace
