// The display chain behind the game object: the game's render set-up puts
// the game's passes around the engine's default pass, and the game's display
// settings reach the passes through their change callbacks.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/display/BackdropShader.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayState.h"
#include "game/display/KorvanthDisplay.h"
#include "game/display/KorvanthPreHUDPassShader.h"
#include "foundation/ZStateStore.h"
#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/KorvanthGame.h"
#include "game/world/TileLayerMesh.h"
#include "game/world/WorldEntity.h"
#include "input/ZControlMgr.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace {

class KorvanthDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_env = std::make_unique<korvtest::EngineTestEnv>(m_documents.Path());
        m_game = new KorvanthGame();
        m_game->SetLogging(false);
        m_game->SetDisplay(std::make_unique<KorvanthDisplay>());
        // The scene loads the display's effects and textures by name (no device: nothing is made).
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/effects");
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/crt");
    }
    void TearDown() override {
        ZBaseGame::DestroyInstance();
        ClearConfigRegistry();
        DestroyDisplayState();
        DeleteControlMgr();
        ZLocMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        DestroyRenderer();
        m_env.reset();
    }
    void RenderSetUp() {
        m_game->SetUpRenderPasses();
    }
    static int32_t IndexOf(ZHashedString name) {
        const ZArray<ZRenderPassDesc*>& passes = GetRenderer()->renderPasses;
        for (uint32_t i = 0; i < passes.Count(); ++i) {
            if (passes[i]->name == name) return static_cast<int32_t>(i);
        }
        return -1;
    }
    static bool Enabled(const char* name) { return GetRenderer()->FindRenderPass(ZHashedString(name))->enabled; }

    korvtest::TempDir m_documents;
    std::unique_ptr<korvtest::EngineTestEnv> m_env;
    KorvanthGame* m_game = nullptr;
};

}  // namespace

TEST_F(KorvanthDisplayTest, TheGamesPassesSurroundTheEnginesDefaultPass) {
    RenderSetUp();
    const int32_t composite = IndexOf(ZHashedString("Composite Pass"));
    const int32_t defaultPass = IndexOf(m_game->GetDefaultPassName());
    const int32_t downsample = IndexOf(ZHashedString("Downsample Pass"));
    ASSERT_GE(composite, 0);
    EXPECT_EQ(defaultPass, composite + 1);
    EXPECT_EQ(downsample, defaultPass + 1);
    EXPECT_EQ(IndexOf(ZHashedString("Clear Pass")), IndexOf(m_game->GetPreHUDTargetSetterPassName()) + 1);
}

TEST_F(KorvanthDisplayTest, GameSettingsReachThePasses) {
    RenderSetUp();
    m_game->registerConfigVars();
    EXPECT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("Anaglyph3D")));
    EXPECT_TRUE(GetDisplayState()->Settings().anaglyph3D);
    EXPECT_FALSE(GetDisplayState()->Settings().crtSim);
    EXPECT_TRUE(Enabled("Anaglyph Pass"));
    EXPECT_TRUE(Enabled("HUD Pass (3D)"));
    EXPECT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("CRTSim")));
    EXPECT_FALSE(Enabled("Anaglyph Pass"));
    EXPECT_FALSE(Enabled("HUD Pass (3D)"));
    // The display reads the game's variables where they live: a tuning value
    // is there at once, with no copy to refresh.
    EXPECT_EQ(&GetDisplayState()->Settings(), &m_game->m_displaySettings);
    EXPECT_TRUE(ZConfigVar::SetFromString("0.3", ZHashedString("CRT"), ZHashedString("Barrel")));
    EXPECT_FLOAT_EQ(GetDisplayState()->Settings().barrel, 0.3f);
    // Hand-edited reverb values pack into the one word the synthesizer gets.
    EXPECT_TRUE(ZConfigVar::SetFromString("5000", ZHashedString("Reverb"), ZHashedString("HighDelay")));
    EXPECT_EQ(m_game->PackReverbWord(), PackReverbWord(GetDisplayState()->Settings()));
    EXPECT_EQ(m_game->PackReverbWord() >> 20, 1023u);
    m_game->GetDisplay().SelectCompositeTarget(*m_game, true);
    EXPECT_TRUE(GetDisplayState()->compositeParity);
}

TEST_F(KorvanthDisplayTest, SettingsFromTextRunTheirAppliers) {
    RenderSetUp();
    m_game->registerConfigVars();
    const DisplaySettings& s = GetDisplayState()->Settings();
    EXPECT_TRUE(s.crtSim);
    EXPECT_FALSE(s.anaglyph3D);
    EXPECT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("Anaglyph3D")));
    EXPECT_TRUE(s.anaglyph3D);
    EXPECT_FALSE(s.crtSim);
    EXPECT_TRUE(Enabled("Anaglyph Pass"));
    EXPECT_TRUE(ZConfigVar::SetFromString("1", ZHashedString("Video"), ZHashedString("CRTSim")));
    EXPECT_FALSE(s.anaglyph3D);
    EXPECT_FALSE(Enabled("Anaglyph Pass"));
    // Out of the slider's range: the range bounds the slider, the value is stored as read.
    EXPECT_TRUE(ZConfigVar::SetFromString("0", ZHashedString("NTSC"), ZHashedString("IScalar")));
    EXPECT_FLOAT_EQ(s.iScalar, 0.0f);
    EXPECT_TRUE(ZConfigVar::SetFromString("0.5", ZHashedString("Reverb"), ZHashedString("WetMix")));
    EXPECT_FLOAT_EQ(s.wetMix, 0.5f);
    EXPECT_TRUE(ZConfigVar::SetFromString("0.9,0.8,0.7,0.6", ZHashedString("CRT"), ZHashedString("PersColor")));
    EXPECT_FLOAT_EQ(s.persColor[3], 0.6f);
}

TEST_F(KorvanthDisplayTest, ANewMapsAtlasNeverDrawsTheOldMapsTiles) {
    ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Korvanth.zpk");
    RenderSetUp();
    m_game->registerConfigVars();
    ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
    m_game->LoadRoom();
    const WorldEntity* world = m_game->GetWorldEntity();
    const DynWorldEntity* animated = m_game->GetDynWorldEntity();
    ASSERT_NE(world, nullptr);
    ASSERT_NE(animated, nullptr);
    const auto quads = [&] {
        uint32_t count = 0;
        for (const ZHashedString slot : {world->GetCurrentBackName(), world->GetPreviousBackName(),
                                         world->GetCurrentForeName(), world->GetPreviousForeName()}) {
            if (const auto* mesh = dynamic_cast<const TileLayerMesh*>(world->FindMesh(slot))) {
                count += mesh->GetQuadCount();
            }
        }
        return count;
    };
    const auto records = [&] {
        return animated->GetCurrentMesh(false)->GetRecords().Count() +
               animated->GetCurrentMesh(true)->GetRecords().Count();
    };
    ASSERT_GT(quads(), 0u) << "the first room's tiles";
    // The new map's atlas comes in before its first room is built: nothing of
    // the old room stays to be drawn with it.
    m_game->LoadCampaign("Overworld");
    EXPECT_EQ(quads(), 0u);
    EXPECT_EQ(records(), 0u);
    m_game->LoadRoom();
    EXPECT_GT(quads(), 0u) << "the new map's room";
    DestroyStateStore();
}

TEST_F(KorvanthDisplayTest, ClearPassesKeepTheRoomsColour) {
    RenderSetUp();
    const uint8_t room[4] = {10, 20, 30, 255};
    std::copy(std::begin(room), std::end(room), m_game->GetMapData().currentColour);
    m_game->GetDisplay().SelectCompositeTarget(*m_game, false);
    // The clear pass's per-frame hook (installed with the scene).
    ClearPassEyeSetup(0);
    const ZRenderPassDesc* clear = GetRenderer()->FindRenderPass(ZHashedString("Clear Pass"));
    EXPECT_EQ(clear->clearColorValue, ZColor32(10, 20, 30, 255));
}

TEST_F(KorvanthDisplayTest, TheGameKeepsACopyOfTheEye) {
    RenderSetUp();
    m_game->registerConfigVars();
    EXPECT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("Anaglyph3D")));
    m_game->GetDisplay().SetUpGameScene(*m_game);
    ClearPass3DEyeSetup(0);
    EXPECT_EQ(m_game->GetAnaglyphDistance(), GetDisplayState()->GetAnaglyphDistance());
    EXPECT_EQ(m_game->GetAnaglyphColor(), GetDisplayState()->GetAnaglyphColor());
    EXPECT_EQ(m_game->GetAnaglyphColor(), ZVector4(0.0f, 0.25f, 1.0f, 1.0f));
    m_game->GetDisplay().ShutdownGameScene(*m_game);
}

TEST_F(KorvanthDisplayTest, TheGameMakesTheDisplaysPreHUDPassAndBackdrop) {
    ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    m_game->m_fxaa = 3;
    std::unique_ptr<ZFXAAFilter> filter(m_game->CreateFXAAFilter());
    const auto* preHUD = dynamic_cast<KorvanthPreHUDPassShader*>(filter.get());
    ASSERT_NE(preHUD, nullptr);
    EXPECT_EQ(preHUD->GetGameEffectName(), ZHashedString("Korvanth PreHUD_Pass Shader (FXAA: High)"));
    std::unique_ptr<ZShader> backdrop(m_game->CreateDepthBackdropShader());
    EXPECT_NE(dynamic_cast<BackdropShader*>(backdrop.get()), nullptr);
    filter.reset();
    backdrop.reset();
    ZShaderMgr::DestroyInstance();
}
