// The brightness page and its calibration picture: the picture's matrix on
// wide, 4:3 and narrow screens, when the picture shows, the value's text and
// the exponent the final pass receives.

#include <cmath>
#include <string>

#include "Menu3Fixture.h"
#include "framework/ZEngineConfigVars.h"
#include "menu/BrightnessMenu.h"
#include "menu/ZCalibrationShader.h"
#include "menu/ZMenuSpinner.h"
#include "menu/ZMenuUnderlay.h"

namespace menu3test {
namespace {

using BrightnessMenuTest = Menu3Fixture;

TEST(ZCalibrationShaderTest, PictureKeepsItsAspectOnEveryScreen) {
    struct Case {
        const char* name;
        float screen, image, slide;
        float sx, sy, tx, ty;
    };
    const float q = 1.25f / 1.3333333f;
    const Case cases[] = {
        {"4:3, square picture", 4.0f / 3.0f, 1.0f, 0.0f, 0.75f * 0.45f, 0.45f, 0.0f, 0.3f},
        {"16:9 keeps the height, slide scaled", 16.0f / 9.0f, 1.0f, 0.5f, 0.5625f * 0.45f, 0.45f, 0.375f, 0.3f},
        {"5:4 shrinks everything", 1.25f, 1.0f, 0.5f, 0.8f * q * 0.45f, q * 0.45f, 0.5f, 0.3f * q},
        {"no picture collapses", 4.0f / 3.0f, 0.0f, 0.0f, 0.0f, 0.45f, 0.0f, 0.3f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ZMatrix4 m = ZCalibrationShader::ComputeMatrix(c.screen, c.image, 0.45f, 0.3f, c.slide);
        // Row vectors: the corner (1, 1) lands at (sx + tx, sy + ty).
        const ZVector3 corner = ZMatrix4::Transpose(m).TransformPoint(ZVector3(1.0f, 1.0f, 0.0f));
        const ZVector3 centre = ZMatrix4::Transpose(m).TransformPoint(ZVector3(0.0f, 0.0f, 0.0f));
        EXPECT_NEAR(centre.x, c.tx, 1e-5f);
        EXPECT_NEAR(centre.y, c.ty, 1e-5f);
        EXPECT_NEAR(corner.x - centre.x, c.sx, 1e-5f);
        EXPECT_NEAR(corner.y - centre.y, c.sy, 1e-5f);
    }
}

TEST_F(BrightnessMenuTest, PictureShowsOnlyWhileTheTopMenu) {
    auto* page = Open(static_cast<BrightnessMenu*>(game->CreateBrightnessMenu()));
    EXPECT_TRUE(page->IsPictureVisible());
    auto* other = new ZMenu();
    GetMenuMgr()->OpenMenu(other);
    Settle();
    EXPECT_FALSE(page->IsPictureVisible());
    GetMenuMgr()->CloseMenu();
    Settle();
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), page);
    EXPECT_TRUE(page->IsPictureVisible());
    // The picture's panel: centred above the row, sized by the scale (no picture without a device).
    ASSERT_NE(page->GetPicturePanel(), nullptr);
    EXPECT_FLOAT_EQ(page->GetPicturePanel()->y, 268.8f);
    EXPECT_FLOAT_EQ(page->GetPicturePanel()->height, 345.6f + 128.0f);
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(BrightnessMenuTest, ValueShowsItsSignAndSetsTheExponentAtOnce) {
    auto* page = Open(static_cast<BrightnessMenu*>(game->CreateBrightnessMenu()));
    ZMenuSpinner* row = nullptr;
    for (ZMenuItem* item : page->items) {
        if (auto* s = dynamic_cast<ZMenuSpinner*>(item)) row = s;
    }
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(std::string(row->valueItem->GetText().GetText()), "+0.00");
    struct Case {
        int steps;
        const char* text;
        float exponent;
    };
    const Case cases[] = {{5, "+0.25", std::exp2(-0.25f)}, {-25, "-1.00", 2.0f}, {60, "+1.00", 0.5f}};
    for (const Case& c : cases) {
        for (int i = 0; i < std::abs(c.steps); ++i) row->Adjust(c.steps > 0 ? 1 : -1);
        EXPECT_EQ(std::string(row->valueItem->GetText().GetText()), c.text);
        EXPECT_NEAR(game->m_brightnessExponent, c.exponent, 1e-4f);
    }
    page->Select(0);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_NEAR(game->m_brightness, 1.0f, 1e-5f);
}

}  // namespace
}  // namespace menu3test
