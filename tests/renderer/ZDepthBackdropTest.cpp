// The depth backdrop entity on the fake device: the base game's quad and
// shader in the default backdrop group while it lives, gone with it; and when
// a clear to its colour may stand in for its quad.

#include <functional>
#include <memory>
#include <vector>

#include "PassFixture.h"
#include "foundation/ZVector4.h"
#include "hmd/ZHMDMgr.h"
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

// --- When a clear may stand in for the quad ---------------------------------

namespace {

// A shader that answers the two questions as a test row says.
class AnsweringShader : public TestShader {
public:
    AnsweringShader(Journal* log, const bool isPlain, const bool opaqueInFront)
        : TestShader("s", log), plain(isPlain), opaque(opaqueInFront) {}
    bool GetPlainColor(ZVector4& color) const override {
        if (plain) color = ZVector4(0.25f, 0.5f, 0.75f, 1.0f);
        return plain;
    }
    bool DrawsOpaqueInFront() const override { return opaque; }
    bool plain;
    bool opaque;
};

// A pass drawing three groups in order: the glass ahead of the backdrop's
// group, the quad, and a group after it.
class BackdropClearTest : public PassTest {
protected:
    void SetUp() override {
        PassTest::SetUp();
        ZEffect* effect = LoadEffect("fill", ScopedEffect("Fill"));
        binding = effect->FindTechnique(ZHashedString("Fill"));
        ZRenderer* r = GetRenderer();
        pass = r->CreateRenderPass(ZHashedString("Default"));
        for (const char* name : {"Ahead", "Backdrop", "After"}) {
            ZRenderGroup* group = r->CreateRenderGroup(ZHashedString(name));
            pass->AddGroup(group);
        }
        ahead = pass->groups[0];
        backdrop = pass->groups[1];
        after = pass->groups[2];
        quad = Make(true, false);
        glass = Make(false, true);
        blended = Make(false, false);
        backdrop->Add(quad);
        ahead->Add(glass);
    }

    TestRenderable* Make(const bool plain, const bool opaque) {
        auto shader = std::make_unique<AnsweringShader>(&journal, plain, opaque);
        shader->SetDefaultPassBinding(binding);
        answering.push_back(shader.get());
        shaders.push_back(std::move(shader));
        return MakeRenderable("r", shaders.back().get());
    }

    void TearDown() override {
        DestroyHMDManager();
        PassTest::TearDown();
    }

    ZPassBinding* binding = nullptr;
    ZRenderPassDesc* pass = nullptr;
    ZRenderGroup* ahead = nullptr;
    ZRenderGroup* backdrop = nullptr;
    ZRenderGroup* after = nullptr;
    TestRenderable* quad = nullptr;
    TestRenderable* glass = nullptr;
    TestRenderable* blended = nullptr;  // neither plain nor opaque in front
    std::vector<AnsweringShader*> answering;
};

class StereoHMD : public ZHMDMgr {
public:
    bool IsActive() const override { return true; }
};

}  // namespace

// Only where the quad would colour exactly what nothing covered, and nothing
// drawn earlier in the pass could show the difference.
TEST_F(BackdropClearTest, AClearStandsInOnlyForAPlainQuadThatNothingAheadDependsOn) {
    struct Row {
        const char* what;
        std::function<void()> change;
        bool clears;
    };
    const Row rows[] = {
        {"plain, opaque glass ahead", [] {}, true},
        {"not plain", [&] { static_cast<AnsweringShader*>(quad->shader)->plain = false; }, false},
        {"a blended draw ahead", [&] { ahead->Add(blended); }, false},
        {"the blended draw hidden", [&] { ahead->Add(blended); blended->visible = false; }, true},
        {"its group off", [&] { ahead->Add(blended); ahead->enabled = false; }, true},
        {"no technique for the pass",
         [&] { ahead->Add(blended); blended->shader->SetDefaultPassBinding(nullptr); }, true},
        {"the blended draw beside the quad", [&] { backdrop->Add(blended); }, false},
        {"the blended draw after the quad", [&] { after->Add(blended); }, true},
        {"the quad drawn again later", [&] { after->Add(quad); }, false},
        {"the pass clears colour itself", [&] { pass->clearColor = true; }, false},
        {"a narrower depth range", [&] { pass->maxZ = 0.5f; }, false},
        {"no depth surface", [&] { pass->depthStencil = false; }, false},
        {"depth cleared nearer than the far plane", [&] { pass->clearDepthValue = 0.5f; }, false},
        {"depth not cleared by the pass", [&] { pass->clearDepth = false; }, true},
        {"two targets", [&] { pass->SetTarget(1, nullptr); }, false},
        {"quad hidden", [&] { quad->visible = false; }, false},
        {"viewport narrower", [&] { pass->viewportWidth = 0.5f; }, false},
        {"a headset's two views", [] {
             DestroyHMDManager();
             gHMDMgr = new StereoHMD();
         }, false},
    };
    for (const Row& row : rows) {
        for (AnsweringShader* shader : answering) shader->SetDefaultPassBinding(binding);
        static_cast<AnsweringShader*>(quad->shader)->plain = true;
        for (ZRenderGroup* group : {ahead, backdrop, after}) {
            group->Remove(blended);
            group->enabled = true;
        }
        after->Remove(quad);
        blended->visible = true;
        quad->visible = true;
        pass->clearColor = false;
        pass->maxZ = 1.0f;
        pass->depthStencil = true;
        pass->clearDepth = true;
        pass->clearDepthValue = 1.0f;
        pass->targets.Clear();
        pass->viewportWidth = 1.0f;
        DestroyHMDManager();
        row.change();
        ZVector4 color(9.0f, 9.0f, 9.0f, 9.0f);
        EXPECT_EQ(ZDepthBackdrop::CanClearInstead(pass, quad, color), row.clears) << row.what;
        if (row.clears) {
            EXPECT_EQ(color, ZVector4(0.25f, 0.5f, 0.75f, 1.0f)) << row.what;
        }
    }
    ZVector4 color;
    EXPECT_FALSE(ZDepthBackdrop::CanClearInstead(nullptr, quad, color)) << "no pass";
    EXPECT_FALSE(ZDepthBackdrop::CanClearInstead(pass, nullptr, color)) << "no quad";
}
