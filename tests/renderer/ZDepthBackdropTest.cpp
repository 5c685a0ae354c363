// The depth backdrop entity on the fake device: the base game's quad and
// shader in the default backdrop group while it lives, gone with it.

#include "RendererFixture.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZDepthBackdropShader.h"
#include "renderer/ZDialogBackdrop.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"

using namespace rtest;

namespace {

// A game whose backdrop factories make the engine's quad and shader.
class BackdropGame : public ZBaseGame {
public:
    ZRenderable* CreateBackdropQuad() override { return new ZQuadRenderable(); }
    ZShader* CreateDepthBackdropShader() override { return new ZDepthBackdropShader(); }
};

class ZDepthBackdropTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/engine/effects");
        game = new BackdropGame();
    }
    void TearDown() override {
        GetRenderer()->DeleteRenderGroups();
        // The game was the application description; the fixture's takes over again.
        ZBaseGame::DestroyInstance();
        gAppInfo.store(&appInfo);
        RendererTest::TearDown();
    }
    BackdropGame* game = nullptr;
};

}  // namespace

TEST_F(ZDepthBackdropTest, PutsTheGamesQuadInTheBackdropGroupUntilItGoes) {
    ZRenderGroup* group = GetRenderer()->CreateRenderGroup(game->GetDefaultBackdropGroupName());
    const ZHashedString effect("__Depth_Backdrop Shader");
    {
        ZDepthBackdrop backdrop;
        EXPECT_EQ(backdrop.GetType(), ZHashedString("ZDepthBackdrop"));
        EXPECT_TRUE(backdrop.IsA(ZEntity::StaticType()));
        EXPECT_TRUE(backdrop.IsA(ZRTTIBase::StaticType()));
        EXPECT_FALSE(backdrop.IsA(ZDialogBackdrop::StaticType()));

        auto* component = GetComponent<ZRenderableComponent>(&backdrop);
        ASSERT_NE(component, nullptr);
        ZRenderable* quad = component->GetRenderable(ZHashedString::None());
        ASSERT_NE(quad, nullptr);
        ASSERT_EQ(group->renderables.Count(), 1u);
        EXPECT_EQ(group->renderables[0], quad);
        ASSERT_NE(quad->shader, nullptr);
        EXPECT_NE(quad->shader->GetDefaultPassBinding(), nullptr);
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(effect), 1);
    }
    // The quad left the group and was freed with its shader (and its buffers:
    // the fixture checks that no device object is left).
    EXPECT_EQ(group->renderables.Count(), 0u);
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(effect), nullptr);
}

TEST_F(ZDepthBackdropTest, WithoutItsGroupItIsBuiltButDrawnNowhere) {
    ZDepthBackdrop backdrop;
    auto* component = GetComponent<ZRenderableComponent>(&backdrop);
    ASSERT_NE(component, nullptr);
    EXPECT_NE(component->GetRenderable(ZHashedString::None()), nullptr);
    EXPECT_EQ(GetRenderer()->FindRenderGroup(game->GetDefaultBackdropGroupName()), nullptr);
}
