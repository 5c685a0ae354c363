// A pan into the next room keeps the room being left on screen: its last
// frame, sprites and all, slides out with it while the new room slides in.
// Played through the real start-up: from the Sunken halls' first room over
// its left edge (an edge of kind 1) into the overworld. The game picture
// ("Clean Frame") is read back: the merchant standing in the room being left
// must still be drawn half way through the pan, moved as far as its room has
// slid, and the view must move smoothly into, along and out of the pan.
// KORV_PLAYER_SHOTS names a folder for the picture half way through.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZScreenshot.h"
#include "framework_game/RunScenarios.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/player/Player.h"
#include "game/player/PlayerRoomExit.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderer.h"
#include "support/PlayHarness.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 224;

// The game picture as the frame just drawn left it (top row first).
std::vector<uint32_t> ReadPicture() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0);
    const DisplayState* const display = PeekDisplayState();
    DisplayChain* const chain = display != nullptr ? display->GetChain() : nullptr;
    if (chain == nullptr || chain->cleanFrame.surface == nullptr || chain->cleanFrame.width != kWidth ||
        chain->cleanFrame.height != kHeight ||
        !GetRenderer()->ReadRenderTargetPixels(chain->cleanFrame.surface, pixels.data(), ZHashedString::None())) {
        pixels.clear();
    }
    return pixels;
}

uint32_t At(const std::vector<uint32_t>& picture, const int32_t x, const int32_t y) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || picture.empty()) return 0u;
    return picture[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)];
}

// The merchant of the room being left (the area has another further east).
ZEntity* Merchant() {
    for (ZEntity* const entity : FindArrivalEntities(ZHashedString("Merchant"))) {
        if (GetComponent<ZSpatialComponent>(entity)->current.position.x < 256.0f) return entity;
    }
    return nullptr;
}

void SetDrawn(ZEntity* const entity, const bool drawn) {
    if (ZRenderableComponent* const renderable = GetComponent<ZRenderableComponent>(entity)) {
        renderable->SetRenderablesVisible(drawn);
    }
}

struct Pixel {
    int32_t x;
    int32_t y;
};

TEST(RoomPanGl, TheRoomBeingLeftSlidesOutWithItsSpritesAndTheViewNeverJumps) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        // The room's debug start puts the player a few steps from the left edge.
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 0, 0, 5, 24);
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";

        // The merchant's pixels: those that change when it alone is hidden.
        std::vector<uint32_t> withMerchant, withoutMerchant;
        ZVector3 maskView;
        std::vector<Pixel> sprite;
        // The last frame drawn before the pan, the view it was drawn with.
        std::vector<uint32_t> last;
        ZVector3 lastView;
        int32_t panStart = -1;
        constexpr int32_t kMid = 30;
        std::vector<uint32_t> mid;
        ZVector3 midOffset;
        bool midShown = false;
        // The view from the last frame before the pan to a few after it.
        std::vector<ZVector3> views;
        int32_t panEnd = -1;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            KorvanthGame* const game = KorvanthGame::Get();
            const bool panning = IsTransitionPlaying();
            if (frame == 2) {
                EXPECT_NE(Merchant(), nullptr);
                withMerchant = ReadPicture();
                maskView = game->GetRoomViewCentre();
                SetDrawn(Merchant(), false);
            } else if (frame == 3) {
                withoutMerchant = ReadPicture();
                SetDrawn(Merchant(), true);
            }
            if (panStart < 0 && !panning) {
                last = ReadPicture();
                lastView = game->GetRoomViewCentre();
            } else if (panStart < 0) {
                panStart = frame;
            }
            if (panStart >= 0 && frame == panStart + kMid) {
                mid = ReadPicture();
                midOffset = game->GetRoomFrameOffset();
                const DisplayChain* const chain = GetDisplayState()->GetChain();
                midShown = chain != nullptr && chain->IsRoomFrameShown();
            }
            if (panStart >= 0 && !panning && panEnd < 0) panEnd = frame;
            if (panStart >= 0 && (panEnd < 0 || frame < panEnd + 5)) {
                // The last frame's view, seen from the new room.
                if (views.empty()) views.push_back(lastView + game->GetPreviousRoomShift());
                views.push_back(game->GetRoomViewCentre());
            }
        };
        const playtest::PlayResult r = playtest::RunPlay(setup, "10 -\n60 left\n120 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GE(panStart, 0) << "no pan over the left edge";
        ASSERT_FALSE(r.samples.empty());
        EXPECT_EQ(r.samples.back().roomX, 1) << "in the overworld's room (1, 0)";
        ASSERT_FALSE(withMerchant.empty());
        ASSERT_EQ(withMerchant.size(), withoutMerchant.size());
        ASSERT_FALSE(last.empty());
        ASSERT_FALSE(mid.empty()) << "the pan is shorter than " << kMid << " frames";
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                if (At(withMerchant, x, y) != At(withoutMerchant, x, y)) sprite.push_back({x, y});
            }
        }
        ASSERT_GE(sprite.size(), 20u) << "the merchant is not drawn before the pan";
        if (const char* const folder = std::getenv("KORV_PLAYER_SHOTS"); folder != nullptr && *folder != '\0') {
            EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/room-pan.png").c_str(), mid.data(), kWidth, kHeight));
        }

        // Half way the old room has slid right (the player went left), and
        // its picture with it.
        EXPECT_TRUE(midShown);
        EXPECT_GT(midOffset.x, 16.0f);
        EXPECT_LT(midOffset.x, 240.0f);
        EXPECT_EQ(midOffset.y, 0.0f);
        const int32_t toLast = static_cast<int32_t>(maskView.x - lastView.x);
        const int32_t toLastY = static_cast<int32_t>(maskView.y - lastView.y);
        const auto dx = static_cast<int32_t>(midOffset.x);
        const auto dy = static_cast<int32_t>(midOffset.y);
        size_t kept = 0;
        size_t background = 0;
        size_t inside = 0;
        for (const Pixel& p : sprite) {
            const int32_t x = p.x + toLast;
            const int32_t y = p.y + toLastY;
            if (x + dx >= kWidth) continue;  // slid out of the picture already
            ++inside;
            if (At(mid, x + dx, y + dy) == At(last, x, y)) ++kept;
            if (At(mid, x + dx, y + dy) == At(withoutMerchant, p.x, p.y)) ++background;
        }
        ASSERT_GE(inside, sprite.size() / 2) << "the merchant slid out of the picture too early";
        EXPECT_GE(kept * 10, inside * 9) << kept << " of " << inside << " of the merchant's pixels where it stood";
        EXPECT_LE(background * 10, inside) << background << " of " << inside << " show what is behind the merchant";

        // The view never jumps: into the pan, along it, and out of it the
        // camera settles where the pan left it (on its target).
        ASSERT_GE(panEnd, 0) << "the pan did not end";
        ASSERT_GE(views.size(), 3u);
        for (size_t i = 1; i < views.size(); ++i) {
            EXPECT_LE(std::fabs(views[i].x - views[i - 1].x), 4.0f) << "step " << i << " of the pan";
            EXPECT_LE(std::fabs(views[i].y - views[i - 1].y), 4.0f) << "step " << i << " of the pan";
        }
    });
}

// Into another map, whose rooms do not line up with this one's: out of the
// Spire's bottom row (room (0, 2)) over its left edge into the overworld's
// only row (room (1, 0)). Half way the room left fills the right of the
// picture as it was last seen, slid right and not up or down, and the room
// entered fills the left as it stands once the pan is over: no black band
// between or beside them, and the pan lasts a screen's 1.25 s (the script
// waits long enough for a longer one to end). KORV_PLAYER_SHOTS names a
// folder for the picture half way (room-pan-map.png).
TEST(RoomPanGl, APanIntoAnotherMapKeepsBothRoomsSideBySide) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Spire", 0, 2, 5, 24);
        setup.gl = true;
        setup.display = true;
        setup.config = "[Video]\r\nCRTSim: false\r\n";

        std::vector<uint32_t> last;  // the last frame before the pan
        int32_t panStart = -1;
        int32_t panEnd = -1;
        std::vector<uint32_t> mid;
        ZVector3 midOffset;
        std::vector<uint32_t> after;  // the room entered, a few frames after the pan
        std::string mapAfter;
        const char* const folder = std::getenv("KORV_PLAYER_SHOTS");
        setup.afterFrame = [&](Player&, const int32_t frame) {
            const bool panning = IsTransitionPlaying();
            if (panStart < 0 && !panning) last = ReadPicture();
            if (panStart < 0 && panning) panStart = frame;
            if (panStart >= 0 && panEnd < 0 && !panning) panEnd = frame;
            if (panStart >= 0 && frame == panStart + 37) {
                mid = ReadPicture();
                midOffset = KorvanthGame::Get()->GetRoomFrameOffset();
            }
            if (panEnd >= 0 && frame == panEnd + 3) {
                after = ReadPicture();
                mapAfter = KorvanthGame::Get()->GetCurrentMapName().GetText();
            }
        };
        const playtest::PlayResult r = playtest::RunPlay(setup, "10 -\n60 left\n240 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GE(panStart, 0) << "no pan over the left edge";
        ASSERT_GE(panEnd, 0) << "the pan did not end";
        ASSERT_FALSE(r.samples.empty());
        EXPECT_EQ(mapAfter, "Overworld");
        EXPECT_EQ(r.samples.back().roomX, 1);
        EXPECT_EQ(r.samples.back().roomY, 0);
        // 1.25 s at 60 frames a second, give or take the frame it starts on.
        EXPECT_NEAR(panEnd - panStart, 75, 2) << "frames the pan held the player";
        ASSERT_FALSE(last.empty());
        ASSERT_FALSE(mid.empty());
        ASSERT_FALSE(after.empty());
        if (folder != nullptr && *folder != '\0') {
            EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/room-pan-map.png").c_str(), mid.data(), kWidth,
                                           kHeight));
        }

        // No band of black: not a row or column of the picture mostly black
        // (the minimap's frame stands over the world's top right corner).
        const auto black = [](const uint32_t pixel) { return (pixel & 0x00ffffffu) == 0u; };
        int32_t blackRows = 0;
        int32_t blackColumns = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            int32_t count = 0;
            for (int32_t x = 0; x < kWidth; ++x) count += black(At(mid, x, y)) ? 1 : 0;
            if (count * 4 > kWidth * 3) ++blackRows;
        }
        for (int32_t x = 0; x < kWidth; ++x) {
            int32_t count = 0;
            for (int32_t y = 0; y < kHeight; ++y) count += black(At(mid, x, y)) ? 1 : 0;
            if (count * 4 > kHeight * 3) ++blackColumns;
        }
        EXPECT_EQ(blackRows, 0) << "rows of the picture mostly black half way";
        EXPECT_EQ(blackColumns, 0) << "columns of the picture mostly black half way";

        // Side by side: the room left right of the seam as it was last seen,
        // the room entered left of it as it stands after the pan.
        EXPECT_EQ(midOffset.y, 0.0f) << "the room left slid up or down";
        const auto seam = static_cast<int32_t>(midOffset.x);
        ASSERT_GT(seam, 64);
        ASSERT_LT(seam, 192);
        size_t oldSame = 0;
        size_t newSame = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const uint32_t pixel = At(mid, x, y);
                if (x >= seam && pixel == At(last, x - seam, y)) ++oldSame;
                if (x < seam && pixel == At(after, x + kWidth - seam, y)) ++newSame;
            }
        }
        const size_t oldArea = static_cast<size_t>(kWidth - seam) * kHeight;
        const size_t newArea = static_cast<size_t>(seam) * kHeight;
        EXPECT_GE(oldSame * 10, oldArea * 9) << oldSame << " of " << oldArea << " pixels show the room left";
        EXPECT_GE(newSame * 10, newArea * 9) << newSame << " of " << newArea << " pixels show the room entered";
    });
}

}  // namespace
