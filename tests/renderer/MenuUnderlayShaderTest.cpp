// The menu underlay shader on the fake device, with the engine's own effect
// file: what it loads, its frame parameters from the menu manager's overlay
// colour, and the interface-frame parameters it hands on.

#include "RendererFiles.h"
#include "RendererFixture.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "menu/MenuUnderlayShader.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

class MenuUnderlayShaderTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/engine/effects");
        WriteFile("menu_underlay.dds",
                  rfiles::Dds32(2, 2, {0xFF102030u, 0xFF102030u, 0xFF102030u, 0xFF102030u}).Bytes());
        WriteFile("mod_white.dds", rfiles::Dds32(1, 1, {0xFFFFFFFFu}).Bytes());
    }
    void TearDown() override {
        DestroyMenuMgr();
        // The game was the application description; the fixture's takes over again.
        ZBaseGame::DestroyInstance();
        gAppInfo.store(&appInfo);
        RendererTest::TearDown();
    }

    static bool Answer(MenuUnderlayShader& shader, const char* name) {
        ZEffect* effect = shader.GetDefaultPassBinding()->effect;
        GetRenderer()->currentEffect = effect->GetEffect();
        for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name))
                    return shader.SetParameters(list[i], ZHashedString(), &shader);
            }
        }
        ADD_FAILURE() << "no binding " << name;
        return false;
    }
    static ZVector4 Vector(MenuUnderlayShader& shader, const char* name) {
        gfx::Effect* fx = shader.GetDefaultPassBinding()->effect->GetEffect();
        float v[4] = {-9, -9, -9, -9};
        fx->GetVector(fx->GetParameterByName(0, name), v);
        return ZVector4(v[0], v[1], v[2], v[3]);
    }
};

}  // namespace

TEST_F(MenuUnderlayShaderTest, LoadsItsEffectAndTexturesAndGivesThemBack) {
    const ZHashedString effect("__Default_Menu_Underlay Shader");
    {
        MenuUnderlayShader shader;
        EXPECT_STREQ(shader.effectFile.GetText(), "__ZORP_Default_Menu_Underlay.fxo");
        EXPECT_EQ(shader.technique, ZHashedString("HUD"));
        EXPECT_STREQ(shader.textureFile.GetText(), "menu_underlay.dds");
        EXPECT_EQ(shader.textureName, ZHashedString("MENU_UNDERLAY_TEXTURE"));
        EXPECT_EQ(shader.modTextureName, ZHashedString("__Default_Mod"));
        ASSERT_TRUE(shader.Load());
        ASSERT_NE(ZShaderMgr::GetInstance()->FindEffect(effect), nullptr);
        EXPECT_NE(shader.GetDefaultPassBinding(), nullptr);
        EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("MENU_UNDERLAY_TEXTURE")), 1);
    }
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(effect), nullptr);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("MENU_UNDERLAY_TEXTURE")), nullptr);
}

TEST_F(MenuUnderlayShaderTest, FadesWithTheOverlayColourAndPlacesInTheInterfaceFrame) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    game->m_widthWindowed = 1280;
    game->m_heightWindowed = 720;
    game->UpdateScreenMetrics();
    MenuUnderlayShader shader;
    ASSERT_TRUE(shader.Load());

    struct Case {
        uint32_t overlay;
        ZVector4 expected;
    };
    const Case cases[] = {
        {0xFFFFFFFFu, {1.0f, 1.0f, 1.0f, 1.0f}},
        {0x80FF4000u, {1.0f, 64.0f / 255.0f, 0.0f, 128.0f / 255.0f}},
        {0x00FFFFFFu, {1.0f, 1.0f, 1.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        GetMenuMgr()->SetOverlayColor(c.overlay);
        EXPECT_TRUE(Answer(shader, "OpacityColor"));
        const ZVector4 got = Vector(shader, "OpacityColor");
        EXPECT_FLOAT_EQ(got.x, c.expected.x) << std::hex << c.overlay;
        EXPECT_FLOAT_EQ(got.y, c.expected.y) << std::hex << c.overlay;
        EXPECT_FLOAT_EQ(got.z, c.expected.z) << std::hex << c.overlay;
        EXPECT_FLOAT_EQ(got.w, c.expected.w) << std::hex << c.overlay;
    }
    const std::pair<const char*, float> constants[] = {
        {"TexSize", 64.0f}, {"TexSplit", 0.25f}, {"CenterScale", 3.0f}};
    for (const auto& [name, value] : constants) {
        EXPECT_TRUE(Answer(shader, name)) << name;
        EXPECT_EQ(Vector(shader, name).x, value) << name;
    }
    // Everything else is the interface frame's (and the element's).
    EXPECT_TRUE(Answer(shader, "invHalfScreenWidth"));
    EXPECT_EQ(Vector(shader, "invHalfScreenWidth").x, game->GetHUDMapping()[0]);
    EXPECT_TRUE(Answer(shader, "xOffset"));
    EXPECT_EQ(Vector(shader, "xOffset").x, game->GetHUDMapping()[2]);
    EXPECT_TRUE(Answer(shader, "modColor"));
    EXPECT_EQ(Vector(shader, "modColor"), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
}

TEST_F(MenuUnderlayShaderTest, TheInterfaceFrameSlidesWithTheTopMenu) {
    ZBaseGame* game = ZBaseGame::GetInstance();
    MenuUnderlayShader shader;
    ASSERT_TRUE(shader.Load());
    struct Case {
        int32_t width, height;
        bool menuOpening;
        float slideShare;  // of the manager's slide (1 at the start of an opening)
    };
    const Case cases[] = {
        {1280, 720, false, 0.0f},                    // no menu: the frame's own offset exactly
        {1280, 720, true, 1.3333334f / (1280.0f / 720.0f)},  // wide: the share of a 4:3 area
        {640, 480, true, 1.0f},                      // 4:3: unscaled
        {640, 512, true, 1.0f},
    };
    for (const Case& c : cases) {
        game->m_widthWindowed = c.width;
        game->m_heightWindowed = c.height;
        game->UpdateScreenMetrics();
        DestroyMenuMgr();
        if (c.menuOpening) {
            GetMenuMgr()->OpenMenu(new ZMenu());
            GetMenuMgr()->UpdateTransitions(5.0f);
            ASSERT_EQ(GetMenuMgr()->GetSlideOffset(), 1.0f);
        }
        EXPECT_TRUE(Answer(shader, "xOffset"));
        EXPECT_FLOAT_EQ(Vector(shader, "xOffset").x, game->GetHUDMapping()[2] + c.slideShare)
            << c.width << " x " << c.height;
        EXPECT_TRUE(Answer(shader, "yOffset"));
        EXPECT_FLOAT_EQ(Vector(shader, "yOffset").x, -game->GetHUDMapping()[3]) << c.width << " x " << c.height;
    }
}
