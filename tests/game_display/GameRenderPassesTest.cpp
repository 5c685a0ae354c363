// The game's pass list, groups and assignments on a renderer without a device.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "game/display/GameRenderPasses.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

class PassGame : public ZBaseGame {
public:
    void CreateRenderPasses() override { CreateGameRenderPasses(*this); }
    void CreateRenderGroups() override { CreateGameRenderGroups(*this); }
    void AssignGroupsToPasses() override { AssignGameGroupsToPasses(*this); }
};

class GameRenderPassesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZBaseGame::DestroyInstance();
        game = new PassGame();
        game->SetLogging(false);
    }
    void TearDown() override {
        ZBaseGame::DestroyInstance();
        DestroyRenderer();
    }
    // The base game's render set-up order.
    void RenderSetUp() {
        game->SetUpRenderPasses();
    }
    static ZRenderPassDesc* Pass(const char* name) { return GetRenderer()->FindRenderPass(ZHashedString(name)); }
    static std::vector<ZRenderGroup*> Groups(const ZRenderPassDesc* pass) {
        std::vector<ZRenderGroup*> out;
        for (uint32_t i = 0; i < pass->groups.Count(); ++i) out.push_back(pass->groups[i]);
        return out;
    }
    static ZRenderGroup* Group(const char* name) { return GetRenderer()->FindRenderGroup(ZHashedString(name)); }

    PassGame* game = nullptr;
};

const char* const k2D[] = {
    "Clear Pass",          "HUD Backdrop Pass",        "World Background Pass",     "World Sprites Pass",
    "Debug Background Pass", "World Foreground Pass",  "Minimap Pass (Back)",       "Minimap Pass (Content)",
    "Minimap Pass (Indicator)", "Wipe Pass",           "Static Pass",               "HUD Pass",
    "Full Map Pass (Content)", "Full Map Pass (Indicator)", "Tuner Back Pass",      "Tuner Ball Pass",
};

}  // namespace

TEST_F(GameRenderPassesTest, PassesComeInDrawingOrderAroundTheEnginesOwn) {
    RenderSetUp();
    std::vector<ZHashedString> expected;
    expected.push_back(game->GetPreHUDTargetSetterPassName());
    for (const char* name : k2D) expected.emplace_back(name);
    for (const char* name : k2D) expected.emplace_back((std::string(name) + " (3D)").c_str());
    for (const char* name : {"Anaglyph Pass", "NTSC Pass", "Composite Pass"}) expected.emplace_back(name);
    expected.push_back(game->GetDefaultPassName());
    for (const char* name : {"Downsample Pass", "Upsample Pass", "EDITOR Pass"}) expected.emplace_back(name);
    expected.push_back(game->GetFinalTargetSetterPassName());
    const ZArray<ZRenderPassDesc*>& passes = GetRenderer()->renderPasses;
    ASSERT_GE(passes.Count(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(passes[static_cast<uint32_t>(i)]->name, expected[i]) << "pass " << i;
    }
    EXPECT_EQ(passes[passes.Count() - 1]->name, game->GetFinalPassName());
    EXPECT_FALSE(Pass("EDITOR Pass")->enabled);
    EXPECT_EQ(Groups(Pass("EDITOR Pass")), std::vector<ZRenderGroup*>{Group("EDITOR Objects")});
}

TEST_F(GameRenderPassesTest, EveryWorldGroupIsDrawnByItsPassAndItsTwin) {
    RenderSetUp();
    struct Row {
        const char* pass;
        std::vector<const char*> groups;
    };
    const Row rows[] = {
        {"Clear Pass", {}},
        {"World Background Pass", {"Room Frame Group", "World Background Group"}},
        {"HUD Pass", {"Font Group", "Glyph Group"}},
        {"Tuner Ball Pass", {"Tuner Ball Group"}},
        {"Full Map Pass (Indicator)", {"Full Map Group (Indicator)"}},
    };
    for (const Row& row : rows) {
        std::vector<ZRenderGroup*> want;
        for (const char* g : row.groups) want.push_back(Group(g));
        EXPECT_EQ(Groups(Pass(row.pass)), want) << row.pass;
        EXPECT_EQ(Groups(Pass((std::string(row.pass) + " (3D)").c_str())), want) << row.pass << " (3D)";
    }
    EXPECT_EQ(Groups(Pass("NTSC Pass")), std::vector<ZRenderGroup*>{Group("NTSC Group")});
    // In the default pass the CRT screen comes before the engine's groups and the flat screen after them.
    const std::vector<ZRenderGroup*> defaults = Groups(Pass("__ZORP_Default_Pass"));
    ASSERT_GE(defaults.size(), 3u);
    EXPECT_EQ(defaults.front(), Group("Screen Group"));
    EXPECT_EQ(defaults[1], Group("QMW Mesh Group"));
    EXPECT_EQ(defaults.back(), Group("No CRT Group"));
    EXPECT_EQ(defaults[2], GetRenderer()->FindRenderGroup(game->GetDefaultGroupName()));
}

TEST_F(GameRenderPassesTest, ASecondSetUpAddsNothingAndChangesNothingButTheEditorPass) {
    RenderSetUp();
    const uint32_t passes = GetRenderer()->renderPasses.Count();
    const uint32_t groups = GetRenderer()->renderGroups.Count();
    Pass("World Sprites Pass")->clearColor = true;
    Pass("EDITOR Pass")->enabled = true;
    RenderSetUp();
    EXPECT_EQ(GetRenderer()->renderPasses.Count(), passes);
    EXPECT_EQ(GetRenderer()->renderGroups.Count(), groups);
    EXPECT_TRUE(Pass("World Sprites Pass")->clearColor);
    EXPECT_FALSE(Pass("EDITOR Pass")->enabled);
    EXPECT_EQ(Groups(Pass("HUD Pass")).size(), 2u) << "no group is attached twice";
}
