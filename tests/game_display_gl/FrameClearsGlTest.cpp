// The frame's clears (ZBaseGame::ClearFrameTargets) leave out the colour of a
// target that a pass draws over whole: whatever a target held before the
// frame never shows in it. Each case paints the pre-HUD target, the final
// target and the back buffer a loud colour between two frames of the same
// card; the second frame must be the first, pixel for pixel, whether the
// covering pass draws (the depth backdrop, the pre-HUD quad) or not (then
// the clear has to happen).

#include <cctype>
#include <string>
#include <vector>

#include "DisplayChainGlFixture.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZScreenQuad.h"

namespace {

struct ClearCase {
    const char* name;
    int32_t tate;           // 1: the final pass runs (turned a quarter)
    bool hideBackdrop;      // nothing covers the pre-HUD target's bars
    bool hidePreHUDQuad;    // nothing covers the final target or the back buffer
};

const ClearCase kClearCases[] = {
    {"straight to the back buffer", 0, false, false},
    {"final pass runs", 1, false, false},
    {"no backdrop", 0, true, false},
    {"no backdrop, final pass runs", 1, true, false},
    {"no pre-HUD quad", 0, false, true},
    {"no pre-HUD quad, final pass runs", 1, false, true},
};

uint32_t Card(int32_t x, int32_t y) { return ((x / 16 + y / 16) % 2) != 0 ? 0xFFE63C28u : 0xFF141450u; }

class FrameClearsGlTest : public displaytest::DisplayChainGlTest,
                          public ::testing::WithParamInterface<ClearCase> {
protected:
    // The pre-HUD target, the final target and the back buffer painted in one colour.
    static void Paint(uint32_t argb) {
        ZRenderer* renderer = GetRenderer();
        const ZBaseGame* game = ZBaseGame::GetInstance();
        ASSERT_TRUE(renderer->BeginScene());
        for (ZScreenRenderTarget* target : {game->GetPreHUDTarget(), game->GetFinalTarget()}) {
            ASSERT_NE(target, nullptr);
            renderer->SetRenderTarget(0, &target->target);
            renderer->Clear(true, false, argb, 1.0f);
        }
        renderer->SetRenderTarget(0, nullptr);
        renderer->Clear(true, false, argb, 1.0f);
        renderer->EndScene();
        // A scene begins only after the last one was presented.
        renderer->present();
    }
};

}  // namespace

TEST_P(FrameClearsGlTest, NothingOfAnEarlierFrameShows) {
    const ClearCase& c = GetParam();
    Start(320, 180);
    ZBaseGame* game = ZBaseGame::GetInstance();
    game->m_tate = c.tate;
    harness.SetCard(Card);
    if (c.hideBackdrop) {
        const auto* entry = game->GetBackdrops().Find(ZHashedString("Depth Backdrop"));
        ASSERT_NE(entry, nullptr);
        auto* backdrop = dynamic_cast<ZDepthBackdrop*>(entry->value);
        ASSERT_NE(backdrop, nullptr);
        ASSERT_NE(backdrop->GetQuad(), nullptr);
        backdrop->GetQuad()->visible = false;
    }
    if (c.hidePreHUDQuad) game->GetPreHUDQuad()->visible = false;
    Frames(3);
    const std::vector<uint32_t> first = harness.ReadScreen();
    ASSERT_EQ(first.size(), 320u * 180u);

    Paint(0xFFFF00FFu);
    // Two frames: the composite frames change places every frame.
    Frames(2);
    const std::vector<uint32_t> second = harness.ReadScreen();
    ASSERT_EQ(second.size(), first.size());
    size_t differing = 0;
    size_t at = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        if ((first[i] & 0xFFFFFFu) != (second[i] & 0xFFFFFFu)) {
            if (differing == 0) at = i;
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0u) << "first at (" << at % 320 << ", " << at / 320 << "): was " << std::hex << first[at]
                             << ", is " << second[at];
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameClearsGlTest, ::testing::ValuesIn(kClearCases),
                         [](const ::testing::TestParamInfo<ClearCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });
