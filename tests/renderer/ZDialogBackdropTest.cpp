// The dialog box's backdrop entity on the fake device: a quad with the
// anaglyph backdrop shader in the named group while it lives, gone with it.

#include "RendererFiles.h"
#include "RendererFixture.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/AnaglyphBackdropShader.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZDialogBackdrop.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderable.h"

using namespace rtest;

namespace {

class ZDialogBackdropTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/engine/effects");
        rfiles::BMP frame;  // 2 x 2, 24-bit
        frame.pixels = std::string(16, '\x40');
        WriteFile("korv_textbox.bmp", frame.Bytes());
    }
    void TearDown() override {
        GetRenderer()->DeleteRenderGroups();
        RendererTest::TearDown();
    }
};

}  // namespace

TEST_F(ZDialogBackdropTest, DrawsItsBoxInTheNamedGroupUntilItGoes) {
    ZRenderGroup* group = GetRenderer()->CreateRenderGroup(ZHashedString("Dialog Group"));
    {
        ZDialogBackdrop backdrop(ZHashedString("Dialog Group"));
        EXPECT_EQ(backdrop.GetType(), ZHashedString("ZDialogBackdrop"));
        EXPECT_TRUE(backdrop.IsA(ZEntity::StaticType()));
        EXPECT_FALSE(backdrop.IsA(ZDepthBackdrop::StaticType()));

        auto* component = GetComponent<ZRenderableComponent>(&backdrop);
        ASSERT_NE(component, nullptr);
        ZRenderable* quad = component->GetRenderable(ZHashedString::None());
        ASSERT_NE(quad, nullptr);
        ASSERT_EQ(group->renderables.Count(), 1u);
        EXPECT_EQ(group->renderables[0], quad);
        ASSERT_NE(backdrop.GetShader(), nullptr);
        EXPECT_EQ(quad->shader, backdrop.GetShader());
        // Placed by the dialog code; nothing until then.
        EXPECT_EQ(backdrop.GetShader()->halfWidth, 0.0f);
        EXPECT_EQ(backdrop.GetShader()->halfHeight, 0.0f);
        EXPECT_EQ(backdrop.GetShader()->placement, AnaglyphBackdropShader::kTop);
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("Anaglyph Backdrop Shader")), 1);
    }
    EXPECT_EQ(group->renderables.Count(), 0u);
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(ZHashedString("Anaglyph Backdrop Shader")), nullptr);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("__Default_HUD_Backdrop Texture")),
              nullptr);
}

TEST_F(ZDialogBackdropTest, AGroupThatDoesNotExistDrawsItNowhere) {
    ZRenderGroup* other = GetRenderer()->CreateRenderGroup(ZHashedString("Other Group"));
    ZDialogBackdrop backdrop(ZHashedString("No Such Group"));
    auto* component = GetComponent<ZRenderableComponent>(&backdrop);
    ASSERT_NE(component, nullptr);
    EXPECT_NE(component->GetRenderable(ZHashedString::None()), nullptr);
    EXPECT_EQ(other->renderables.Count(), 0u);
    EXPECT_EQ(GetRenderer()->FindRenderGroup(ZHashedString("No Such Group")), nullptr);
}
