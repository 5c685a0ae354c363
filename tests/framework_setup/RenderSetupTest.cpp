// The engine's part of the frame: the order of the pass list, the render
// groups, which groups each pass draws, the final pass's clear colour, and
// the letterbox or pillarbox that keeps the picture's shape in the window.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

std::vector<std::string> PassNames() {
    std::vector<std::string> names;
    for (const ZRenderPassDesc* pass : GetRenderer()->renderPasses) names.push_back(pass->name.GetText());
    return names;
}

std::vector<std::string> GroupNames() {
    std::vector<std::string> names;
    for (const ZRenderGroup* group : GetRenderer()->renderGroups) names.push_back(group->name.GetText());
    return names;
}

std::vector<std::string> GroupsOf(const char* pass) {
    std::vector<std::string> names;
    const ZRenderPassDesc* desc = GetRenderer()->FindRenderPass(ZHashedString(pass));
    if (desc == nullptr) return {"<no pass>"};
    for (const ZRenderGroup* group : desc->groups) names.push_back(group->name.GetText());
    return names;
}

// A game that puts passes of its own on both sides of the engine's default
// pass and draws its world groups before and after the engine's.
class LayeredGame : public ZBaseGame {
public:
    void CreateRenderPasses() override {
        GetRenderer()->CreateRenderPass(ZHashedString("World"));
        ZBaseGame::CreateRenderPasses();
        GetRenderer()->CreateRenderPass(ZHashedString("Bloom"));
    }
    void CreateRenderGroups() override {
        ZBaseGame::CreateRenderGroups();
        GetRenderer()->CreateRenderGroup(ZHashedString("Tiles"));
    }
    void AssignGroupsToPasses() override {
        GetRenderer()
            ->FindRenderPass(GetDefaultPassName())
            ->AddGroup(GetRenderer()->FindRenderGroup(ZHashedString("Tiles")));
        ZBaseGame::AssignGroupsToPasses();
    }
};

// A game that renames the final pass and creates no HUD glyph group.
class RenamingGame : public ZBaseGame {
public:
    ZHashedString GetFinalPassName() const override { return ZHashedString("Game Final"); }
    void CreateRenderGroups() override {
        for (const char* name : {"__ZORP_HUD_Group", "__ZORP_Final_Group"}) {
            GetRenderer()->CreateRenderGroup(ZHashedString(name));
        }
    }
};

class RenderSetupTest : public ::testing::Test {
protected:
    void TearDown() override {
        ShutdownRenderer();
        DestroyRenderer();
    }
};

const std::vector<std::string> kEnginePasses = {
    "__ZORP_PreHUD_RT_Setter", "__ZORP_Default_Pass",     "__ZORP_Final_RT_Setter",
    "__ZORP_PreHUD_Pass",      "__ZORP_HUD_Pass",         "__ZORP_Menu_Pass",
    "__ZORP_Console_Pass",     "__ZORP_Actual_RT_Setter", "__ZORP_Final_Pass",
};

TEST_F(RenderSetupTest, PassListOrderAndRunningAgainAddsNothing) {
    ZBaseGame game;
    game.SetLogging(false);
    game.SetUpRenderPasses();
    EXPECT_EQ(PassNames(), kEnginePasses);
    EXPECT_EQ(
        GroupNames(),
        (std::vector<std::string>{
            "__ZORP_Default_Group", "__ZORP_Default_Backdrop_Group", "__ZORP_Default_Alpha_Group",
            "__ZORP_PreHUD_Group", "__ZORP_HUD_Group", "__ZORP_HUD_Glyph_Group", "__ZORP_Menu_Backdrop_Group",
            "__ZORP_Menu_Underlay_Group", "__ZORP_Default_Title_Screen_Group", "__ZORP_Menu_Group",
            "__ZORP_Menu_Glyph_Group", "__ZORP_Console_Backdrop_Group", "__ZORP_Console_Group",
            "__ZORP_Console_Glyph_Group", "__ZORP_Final_Group"}));

    game.SetUpRenderPasses();
    EXPECT_EQ(PassNames(), kEnginePasses);
    EXPECT_EQ(GetRenderer()->renderGroups.Count(), 15u);
}

TEST_F(RenderSetupTest, GamePassesStandOnBothSidesOfTheDefaultPass) {
    LayeredGame game;
    game.SetLogging(false);
    game.SetUpRenderPasses();
    std::vector<std::string> expected = kEnginePasses;
    expected.insert(expected.begin() + 2, "Bloom");
    expected.insert(expected.begin() + 1, "World");
    EXPECT_EQ(PassNames(), expected);
    EXPECT_EQ(GroupsOf("__ZORP_Default_Pass"),
              (std::vector<std::string>{"Tiles", "__ZORP_Default_Group", "__ZORP_Default_Backdrop_Group",
                                        "__ZORP_Default_Alpha_Group"}));
}

TEST_F(RenderSetupTest, GroupsOfEachPassInDrawingOrder) {
    ZBaseGame game;
    game.SetLogging(false);
    game.SetUpRenderPasses();
    struct Case {
        const char* pass;
        std::vector<std::string> groups;
    };
    const Case cases[] = {
        {"__ZORP_PreHUD_RT_Setter", {}},
        {"__ZORP_Default_Pass",
         {"__ZORP_Default_Group", "__ZORP_Default_Backdrop_Group", "__ZORP_Default_Alpha_Group"}},
        {"__ZORP_Final_RT_Setter", {}},
        {"__ZORP_PreHUD_Pass", {"__ZORP_PreHUD_Group"}},
        {"__ZORP_HUD_Pass", {"__ZORP_HUD_Group", "__ZORP_HUD_Glyph_Group"}},
        {"__ZORP_Menu_Pass",
         {"__ZORP_Menu_Backdrop_Group", "__ZORP_Menu_Underlay_Group", "__ZORP_Default_Title_Screen_Group",
          "__ZORP_Menu_Group", "__ZORP_Menu_Glyph_Group"}},
        {"__ZORP_Console_Pass",
         {"__ZORP_Console_Backdrop_Group", "__ZORP_Console_Group", "__ZORP_Console_Glyph_Group"}},
        {"__ZORP_Actual_RT_Setter", {}},
        {"__ZORP_Final_Pass", {"__ZORP_Final_Group"}},
    };
    // A second assignment changes nothing.
    game.AssignGroupsToPasses();
    for (const Case& c : cases) {
        EXPECT_EQ(GroupsOf(c.pass), c.groups) << c.pass;
    }
}

TEST_F(RenderSetupTest, RenamedPassGetsTheClearAndMissingGroupsAreSkipped) {
    RenamingGame game;
    game.SetLogging(false);
    game.m_backgroundColor[3] = 1.0f;
    game.m_fixedAspectRatio = 4.0f / 3.0f;
    game.m_widthWindowed = 1280;
    game.m_heightWindowed = 720;
    game.UpdateScreenMetrics();
    game.SetUpRenderPasses();

    EXPECT_EQ(GetRenderer()->FindRenderPass(ZHashedString("__ZORP_Final_Pass")), nullptr);
    const ZRenderPassDesc* final = GetRenderer()->FindRenderPass(ZHashedString("Game Final"));
    ASSERT_NE(final, nullptr);
    EXPECT_TRUE(final->clearColor);
    EXPECT_EQ(final->clearColorValue, ZColor32(0, 0, 0, 255));
    EXPECT_FLOAT_EQ(final->viewportX, 0.125f);
    EXPECT_FLOAT_EQ(final->viewportWidth, 0.75f);
    EXPECT_EQ(GroupsOf("Game Final"), std::vector<std::string>{"__ZORP_Final_Group"});
    EXPECT_EQ(GroupsOf("__ZORP_HUD_Pass"), std::vector<std::string>{"__ZORP_HUD_Group"});
    EXPECT_TRUE(GroupsOf("__ZORP_Menu_Pass").empty());
}

// BackgroundColor in 8-bit channels: truncated, held to 0..255.
TEST_F(RenderSetupTest, FinalPassClearColour) {
    struct Case {
        float rgba[4];
        ZColor32 expected;
    };
    const Case cases[] = {
        {{0.0f, 0.0f, 0.0f, 1.0f}, ZColor32(0, 0, 0, 255)},
        {{0.5f, 0.999f, 1.5f, -0.25f}, ZColor32(127, 254, 255, 0)},
        {{0.2f, 0.4f, 0.6f, 0.8f}, ZColor32(51, 102, 153, 204)},
    };
    for (const Case& c : cases) {
        ZBaseGame game;
        game.SetLogging(false);
        for (int i = 0; i < 4; ++i) game.m_backgroundColor[i] = c.rgba[i];
        game.CreateFinalRenderPass();
        const ZRenderPassDesc* final = GetRenderer()->FindRenderPass(game.GetFinalPassName());
        ASSERT_NE(final, nullptr);
        EXPECT_TRUE(final->clearColor);
        const ZColor32 got = final->clearColorValue;
        EXPECT_EQ(got, c.expected) << int{got.r} << " " << int{got.g} << " " << int{got.b} << " "
                                   << int{got.a};
        ShutdownRenderer();
        DestroyRenderer();
    }
}

TEST(FinalViewport, LetterboxAndPillarbox) {
    struct Case {
        const char* name;
        float fixedAspect;
        float aspect;  // of the render size
        int32_t tate;
        int32_t width, height;  // the window
        float x, y, w, h;
    };
    const Case cases[] = {
        {"the window at the render size", 0.0f, 1280.0f / 720.0f, 0, 1280, 720, 0.0f, 0.0f, 1.0f, 1.0f},
        {"4:3 in a 16:9 window: pillarbox", 4.0f / 3.0f, 16.0f / 9.0f, 0, 1280, 720, 0.125f, 0.0f, 0.75f,
         1.0f},
        {"16:9 in a square window: letterbox", 16.0f / 9.0f, 1.0f, 0, 1024, 1024, 0.0f, 0.21875f, 1.0f,
         0.5625f},
        {"FixedAspectRatio 0 uses the render size's", 0.0f, 2.0f, 0, 1000, 1000, 0.0f, 0.25f, 1.0f, 0.5f},
        {"a negative FixedAspectRatio counts as unset", -1.0f, 4.0f / 3.0f, 0, 1280, 720, 0.125f, 0.0f, 0.75f,
         1.0f},
        {"Tate 1 inverts the picture", 4.0f / 3.0f, 0.75f, 1, 1280, 720, 0.2890625f, 0.0f, 0.421875f, 1.0f},
        {"Tate 3 inverts the picture", 4.0f / 3.0f, 0.75f, 3, 1280, 720, 0.2890625f, 0.0f, 0.421875f, 1.0f},
        {"Tate 2 does not", 4.0f / 3.0f, 4.0f / 3.0f, 2, 1280, 720, 0.125f, 0.0f, 0.75f, 1.0f},
        {"Tate -1 does not", 4.0f / 3.0f, 4.0f / 3.0f, -1, 1280, 720, 0.125f, 0.0f, 0.75f, 1.0f},
        {"quarter turn of a 16:9 render size fills the 16:9 window", 0.0f, 720.0f / 1280.0f, 1, 1280, 720,
         0.0f, 0.0f, 1.0f, 1.0f},
        {"a window without area keeps the whole target", 4.0f / 3.0f, 4.0f / 3.0f, 0, 0, 0, 0.0f, 0.0f, 1.0f,
         1.0f},
        {"an infinite aspect keeps the whole target", INFINITY, 1.0f, 0, 640, 480, 0.0f, 0.0f, 1.0f, 1.0f},
        {"a zero aspect on its side keeps the whole target", INFINITY, 1.0f, 1, 640, 480, 0.0f, 0.0f, 1.0f,
         1.0f},
    };
    for (const Case& c : cases) {
        float x = -1, y = -1, w = -1, h = -1;
        ZBaseGame::ComputeFinalViewport(c.fixedAspect, c.aspect, c.tate, c.width, c.height, x, y, w, h);
        EXPECT_NEAR(x, c.x, 1e-6f) << c.name;
        EXPECT_NEAR(y, c.y, 1e-6f) << c.name;
        EXPECT_NEAR(w, c.w, 1e-6f) << c.name;
        EXPECT_NEAR(h, c.h, 1e-6f) << c.name;
    }
}

// A change of the video variables refits the final pass at once.
TEST_F(RenderSetupTest, ScreenMetricsChangeRefitsTheFinalPass) {
    ZBaseGame game;
    game.SetLogging(false);
    game.m_widthWindowed = 1280;
    game.m_heightWindowed = 720;
    game.UpdateScreenMetrics();
    game.SetUpRenderPasses();
    const ZRenderPassDesc* final = GetRenderer()->FindRenderPass(game.GetFinalPassName());
    ASSERT_NE(final, nullptr);
    EXPECT_FLOAT_EQ(final->viewportX, 0.0f);
    EXPECT_FLOAT_EQ(final->viewportWidth, 1.0f);

    game.m_fixedAspectRatio = 4.0f / 3.0f;
    game.UpdateScreenMetrics();
    EXPECT_FLOAT_EQ(final->viewportX, 0.125f);
    EXPECT_FLOAT_EQ(final->viewportWidth, 0.75f);
    EXPECT_FLOAT_EQ(final->viewportY, 0.0f);
    EXPECT_FLOAT_EQ(final->viewportHeight, 1.0f);
}

}  // namespace
