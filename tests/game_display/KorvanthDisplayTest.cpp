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
#include "game/world/KorvanthGame.h"
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
    EXPECT_EQ(m_game->GetAnaglyphOffsetX(), GetDisplayState()->GetAnaglyphDistance());
    EXPECT_EQ(m_game->GetAnaglyphTint(), GetDisplayState()->GetAnaglyphColor());
    EXPECT_EQ(m_game->GetAnaglyphTint(), ZVector4(0.0f, 0.25f, 1.0f, 1.0f));
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
