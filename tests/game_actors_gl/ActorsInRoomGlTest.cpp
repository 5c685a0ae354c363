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
#include "game/display/NoCRTShader.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "platform/sound/sound.h"
#include "renderer/ZRenderer.h"
#include "support/TempDir.h"

namespace {

struct Shot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

Shot Take() {
    Shot shot;
    shot.pixels = GetRenderer()->CaptureBackBuffer(shot.width, shot.height);
    return shot;
}

void Keep(const Shot& shot, const char* name) {
    const char* folder = std::getenv("KORV_ACTORS_SHOTS");
    if (folder == nullptr || *folder == '\0') return;
    EXPECT_TRUE(WriteScreenshotPNG((std::string(folder) + "/" + name).c_str(), shot.pixels.data(), shot.width,
                                   shot.height));
}

// Where a point of the room (256 x 224, y down) shows in the window.
void ScreenPoint(const float x, const float y, const Shot& shot, float& sx, float& sy) {
    ZVector4 scalar, offset;
    NoCRTShader::ComputeBox(256.0f / 224.0f, static_cast<float>(shot.width) / static_cast<float>(shot.height),
                            scalar, offset);
    sx = (x / 256.0f - offset.x) / scalar.x * static_cast<float>(shot.width);
    sy = (y / 224.0f - offset.y) / scalar.y * static_cast<float>(shot.height);
}

// The box of pixels that differ between two shots; right < 0 when none.
struct Changed {
    int32_t left, right, top, bottom, count;
};
Changed Compare(const Shot& a, const Shot& b) {
    Changed c{a.width, -1, a.height, -1, 0};
    for (int32_t y = 0; y < a.height; ++y) {
        for (int32_t x = 0; x < a.width; ++x) {
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
        for (const char* package : {"Engine.zpk", "Korvanth.zpk", "KorvanthHeavy.zpk", "KorvanthVersion.zpk"}) {
            ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/" + package).c_str());
        }
    }
    // Time stands still: every frame draws the same world.
    void UpdateTiming() override {
        if (drawnFrames < kSettled) clock->AdvanceSeconds(0.05);
        KorvanthGame::UpdateTiming();
    }
    CRTRef* Reference() {
        const auto* node = GetEntityMap().Find(ZHashedString(kDebugBackgroundEntity));
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
        } else if (drawnFrames == kSettled + 2) {
            withBlock = Take();
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
    Shot plain;
    Shot withReference;
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
        // The reference covers the game picture: most of it changes, edge to edge.
        const Changed reference = Compare(game->plain, game->withReference);
        float left, top, right, bottom;
        ScreenPoint(0.0f, 0.0f, game->plain, left, top);
        ScreenPoint(256.0f, 224.0f, game->plain, right, bottom);
        const float area = (right - left) * (bottom - top);
        EXPECT_GT(static_cast<float>(reference.count), area * 0.5f);
        EXPECT_NEAR(static_cast<float>(reference.left), left, 6.0f);
        EXPECT_NEAR(static_cast<float>(reference.right), right, 6.0f);
        // Its top rows are the white frame: white pixels along the picture's top.
        const Shot& shot = game->withReference;
        const size_t row = static_cast<size_t>(top + 1.0f) * shot.width;
        int white = 0;
        for (int32_t x = static_cast<int32_t>(left) + 4; x < static_cast<int32_t>(right) - 4; ++x) {
            const uint32_t p = shot.pixels[row + x];
            if (((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) > 180 && (p & 0xFF) > 180) ++white;
        }
        EXPECT_GT(white, static_cast<int>((right - left) * 0.8f));

        // The block: 16 x 16 room pixels centred on (100, 60).
        ASSERT_NE(game->block, nullptr);
        const Changed block = Compare(game->plain, game->withBlock);
        ASSERT_GE(block.right, 0) << "the block is not drawn";
        float cx, cy;
        ScreenPoint(ActorsGame::kBlockX, ActorsGame::kBlockY, game->plain, cx, cy);
        const float scale = (right - left) / 256.0f;
        EXPECT_NEAR((block.left + block.right + 1) * 0.5f, cx, 2.0f * scale);
        EXPECT_NEAR((block.top + block.bottom + 1) * 0.5f, cy, 2.0f * scale);
        EXPECT_NEAR(static_cast<float>(block.right - block.left + 1), 16.0f * scale, 2.0f * scale);
        EXPECT_NEAR(static_cast<float>(block.bottom - block.top + 1), 16.0f * scale, 2.0f * scale);

        ZBaseGame::DestroyInstance();
    });
}

}  // namespace
