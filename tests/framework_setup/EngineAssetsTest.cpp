// The engine's built-in assets on the scripted device with the engine's
// package: which objects exist, with which shaders, in which render groups,
// and that releasing them gives everything back.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZEntity.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUpdateRegistry.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "hmd/ZHMDMgr.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZConsoleBackdrop.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZTexturedShader.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "renderer/ZCamera.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZDepthBackdropShader.h"
#include "renderer/ZFXAAFilter.h"
#include "renderer/ZFinalPassShader.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenQuad.h"
#include "renderer/ZScreenRenderTarget.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZSpriteBatch.h"
#include "renderer/ZTextureMgr.h"

namespace {

// Moves the HUD glyph sheets into a group of its own.
class OwnGlyphGroupGame : public ZBaseGame {
public:
    ZHashedString GetHUDGlyphGroupName() const override { return ZHashedString("Game HUD Glyphs"); }
    void CreateRenderGroups() override {
        ZBaseGame::CreateRenderGroups();
        GetRenderer()->CreateRenderGroup(GetHUDGlyphGroupName());
    }
};

// Creates every engine group but the HUD glyph group.
class NoHUDGlyphGroupGame : public ZBaseGame {
public:
    void CreateRenderGroups() override {
        ZBaseGame::CreateRenderGroups();
        ZRenderGroup* group = GetRenderer()->FindRenderGroup(GetHUDGlyphGroupName());
        GetRenderer()->renderGroups.Remove(group);
        delete group;
    }
};

class EngineAssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_shared<gfx::fake::State>();
        auto windows = std::make_unique<platform::window::FakeWindowSystem>();
        window = windows.get();
        platform::window::SetWindowSystem(std::move(windows));
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    }

    void TearDown() override {
        if (game != nullptr) {
            game->ReleaseEngineAssets();
            delete game;
        }
        // The menu manager's backdrop lives on the device too.
        DestroyMenuMgr();
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        DestroyGlyphSheetMgr();
        ShutdownRenderer();
        DestroyRenderer();
        DeleteControlMgr();
        DeleteInputHandler();
        DestroyHMDManager();
        ZStreamMgr::DestroyInstance();
        platform::window::SetWindowSystem(nullptr);
        ZLog::DestroyInstance();
        EXPECT_EQ(state->liveObjects, 0);
    }

    // The game on a 640 x 480 screen with its device, passes, groups and assets.
    void Start(ZBaseGame* made = nullptr) {
        game = made != nullptr ? made : new ZBaseGame();
        game->SetLogging(false);
        game->m_fullscreen = false;
        game->m_widthWindowed = 640;
        game->m_heightWindowed = 480;
        game->m_fov = 75.0f;
        game->UpdateScreenMetrics();
        GetRenderer()->UseSystem(gfx::fake::CreateSystem(state));
        int32_t w = 640, h = 480;
        ZArray<ZHashedString> missing;
        InitRenderer(window, w, h, ZRenderVideoSettings(), missing);
        ASSERT_TRUE(GetRenderer()->hasDevice);
        game->SetUpRenderPasses();
        game->PreLoadEngineAssets();
        game->LoadEngineAssets();
    }

    static bool InGroup(const ZHashedString group, ZRenderable* renderable) {
        const ZRenderGroup* g = GetRenderer()->FindRenderGroup(group);
        return g != nullptr && g->Contains(renderable);
    }

    static int GroupsHolding(ZRenderable* renderable) {
        int count = 0;
        for (const ZRenderGroup* group : GetRenderer()->renderGroups)
            count += group->Contains(renderable) ? 1 : 0;
        return count;
    }

    std::shared_ptr<gfx::fake::State> state;
    platform::window::FakeWindowSystem* window = nullptr;
    ZBaseGame* game = nullptr;
};

TEST_F(EngineAssetsTest, GlyphSheetsTheirShadersAndGroups) {
    Start();
    struct Case {
        ZBaseGame::GlyphSheet slot;
        const char* family;
        const char* sheet;
        const char* group;
        const char* texture;
        bool interfaceFrame;  // the screen-space ("Alt") parameters
        uint32_t frames;
    };
    const Case cases[] = {
        {ZBaseGame::kXboxHUDSheet, "xbox", "xbox_hud", "__ZORP_HUD_Glyph_Group", "XBOX_BUTTONS_GLYPHS", false,
         24},
        {ZBaseGame::kXboxMenuSheet, "xbox", "xbox_menu", "__ZORP_Menu_Glyph_Group", "XBOX_BUTTONS_GLYPHS",
         true, 24},
        {ZBaseGame::kXboxConsoleSheet, "xbox", "xbox_console", "__ZORP_Console_Glyph_Group",
         "XBOX_BUTTONS_GLYPHS", false, 24},
        {ZBaseGame::kGenHUDSheet, "gen", "gen_hud", "__ZORP_HUD_Glyph_Group", "GEN_BUTTONS_GLYPHS", false,
         24},
        {ZBaseGame::kGenMenuSheet, "gen", "gen_menu", "__ZORP_Menu_Glyph_Group", "GEN_BUTTONS_GLYPHS", true,
         24},
        {ZBaseGame::kGenConsoleSheet, "gen", "gen_console", "__ZORP_Console_Glyph_Group",
         "GEN_BUTTONS_GLYPHS", false, 24},
        {ZBaseGame::kUIMenuSheet, "ui", "ui_menu", "__ZORP_Menu_Glyph_Group", "UI_GLYPHS", true, 6},
    };
    for (const Case& c : cases) {
        ZSpriteBatch* sheet = game->GetGlyphSheet(c.slot);
        ASSERT_NE(sheet, nullptr) << c.sheet;
        EXPECT_EQ(GetGlyphSheetMgr()->Find(ZHashedString(c.family), ZHashedString(c.sheet)), sheet)
            << c.sheet;
        EXPECT_TRUE(InGroup(ZHashedString(c.group), sheet)) << c.sheet;
        EXPECT_EQ(GroupsHolding(sheet), 1) << c.sheet;
        EXPECT_EQ(sheet->GetSpriteCount(), c.frames) << c.sheet;
        const auto* shader = dynamic_cast<ZTexturedShader*>(sheet->shader);
        ASSERT_NE(shader, nullptr) << c.sheet;
        EXPECT_STREQ(shader->effectName.GetText(), "__Default_Glyph Shader") << c.sheet;
        EXPECT_STREQ(shader->effectFile.GetText(), "__ZORP_Default_Glyph.fxo") << c.sheet;
        EXPECT_STREQ(shader->textureName.GetText(), c.texture) << c.sheet;
        EXPECT_STREQ(shader->modTextureName.GetText(), "__Default_Mod") << c.sheet;
        EXPECT_EQ(dynamic_cast<const ZScreenSpaceTexturedShader*>(shader) != nullptr, c.interfaceFrame)
            << c.sheet;
        EXPECT_NE(shader->GetDefaultPassBinding(), nullptr) << c.sheet << ": no HUD technique";
    }
    // Seven shaders, one effect.
    EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("__Default_Glyph Shader")), 7);
    EXPECT_NE(ZTextureMgr::GetInstance()->FindTexture(ZHashedString("UI_GLYPHS")), nullptr);
}

TEST_F(EngineAssetsTest, FontsShareOneTableAndDifferInShaderAndGroup) {
    Start();
    struct Case {
        ZFont* font;
        const char* group;
        bool interfaceFrame;
        const char* xboxSheet;
        const char* genSheet;
    };
    const Case cases[] = {
        {game->GetHUDFont(), "__ZORP_HUD_Group", false, "xbox_hud", "gen_hud"},
        {game->GetMenuFont(), "__ZORP_Menu_Group", true, "xbox_menu", "gen_menu"},
        {game->GetConsoleFont(), "__ZORP_Console_Group", false, "xbox_console", "gen_console"},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.font, nullptr) << c.group;
        EXPECT_GT(c.font->GetLineHeight(), 0) << c.group;
        EXPECT_GT(c.font->GetGlyphCount(), 90u) << c.group;
        EXPECT_TRUE(InGroup(ZHashedString(c.group), c.font)) << c.group;
        EXPECT_EQ(GroupsHolding(c.font), 1) << c.group;
        EXPECT_STREQ(c.font->GetFamilySheet(ZHashedString("xbox")).GetText(), c.xboxSheet);
        EXPECT_STREQ(c.font->GetFamilySheet(ZHashedString("gen")).GetText(), c.genSheet);
        const auto* shader = dynamic_cast<ZTexturedShader*>(c.font->shader);
        ASSERT_NE(shader, nullptr) << c.group;
        EXPECT_STREQ(shader->effectName.GetText(), "__Default_Font Shader");
        EXPECT_STREQ(shader->textureName.GetText(), "__Default_Font_Tahoma_8");
        EXPECT_STREQ(shader->textureFile.GetText(), "Font_Tahoma_8_256.dds");
        EXPECT_EQ(dynamic_cast<const ZScreenSpaceTexturedShader*>(shader) != nullptr, c.interfaceFrame);
    }
    EXPECT_EQ(game->GetHUDFont()->GetLineHeight(), game->GetConsoleFont()->GetLineHeight());
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("__Default_Font_Tahoma_8")), 3);
}

TEST_F(EngineAssetsTest, BackdropCameraTargetsAndTargetSwitches) {
    Start();
    ZRenderable* backdrop = game->GetConsoleBackdrop();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_TRUE(InGroup(game->GetConsoleBackdropGroupName(), backdrop));
    EXPECT_FALSE(backdrop->visible) << "hidden until the console opens";
    EXPECT_EQ(game->GetConsole().GetBackdrop(), backdrop);
    ASSERT_NE(dynamic_cast<ZConsoleBackdropShader*>(backdrop->shader), nullptr);
    EXPECT_NE(backdrop->shader->GetDefaultPassBinding(), nullptr) << "no Backdrop technique";

    ZCamera* camera = game->GetCamera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(game->GetViewCamera(0), camera);
    EXPECT_NEAR(camera->fov, 75.0f * 0.0174533f, 1e-5f);
    EXPECT_FLOAT_EQ(camera->aspect, 640.0f / 480.0f);
    EXPECT_FLOAT_EQ(camera->nearPlane, 0.01f);
    EXPECT_FLOAT_EQ(camera->farPlane, 1000.0f);
    // The FOV variable's callback reaches it.
    game->SetCameraFieldOfView(90.0f);
    EXPECT_NEAR(camera->fov, 90.0f * 0.0174533f, 1e-5f);

    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    ASSERT_NE(game->GetPreHUDTarget(), nullptr);
    ASSERT_NE(game->GetFinalTarget(), nullptr);
    EXPECT_NE(textures->FindTexture(ZHashedString("__ZORP_PreHUD_Pass_Texture")), nullptr);
    EXPECT_NE(textures->FindTexture(ZHashedString("__ZORP_Final_Pass_Texture")), nullptr);
    EXPECT_EQ(game->GetPreHUDTarget()->target.width, 640);
    EXPECT_EQ(game->GetFinalTarget()->target.height, 480);

    ZScreenQuad* preHUD = game->GetPreHUDQuad();
    ZScreenQuad* final = game->GetFinalQuad();
    ASSERT_NE(preHUD, nullptr);
    ASSERT_NE(final, nullptr);
    EXPECT_TRUE(InGroup(game->GetPreHUDGroupName(), preHUD));
    EXPECT_TRUE(InGroup(game->GetFinalGroupName(), final));
    EXPECT_EQ(preHUD->shader, game->GetFXAAFilter());
    EXPECT_NE(dynamic_cast<ZFinalPassShader*>(final->shader), nullptr);
    EXPECT_FALSE(preHUD->fixedSize);
    EXPECT_TRUE(final->fixedSize);
    EXPECT_EQ(final->GetBuiltWidth(), 640);

    struct Case {
        ZHashedString pass;
        ZRenderTarget* target;
    };
    const Case cases[] = {
        {game->GetPreHUDTargetSetterPassName(), &game->GetPreHUDTarget()->target},
        {game->GetFinalTargetSetterPassName(), &game->GetFinalTarget()->target},
        {game->GetActualTargetSetterPassName(), nullptr},
    };
    for (const Case& c : cases) {
        const ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(c.pass);
        ASSERT_NE(pass, nullptr);
        EXPECT_TRUE(pass->switchTarget) << c.pass.GetText();
        EXPECT_EQ(pass->defaultTarget, c.target) << c.pass.GetText();
    }
}

TEST_F(EngineAssetsTest, DepthBackdropInTheDefaultBackdropGroup) {
    Start();
    const auto* backdrop = game->GetBackdrops().Find(ZHashedString("Depth Backdrop"));
    ASSERT_NE(backdrop, nullptr);
    ASSERT_NE(dynamic_cast<ZDepthBackdrop*>(backdrop->value), nullptr);
    const ZRenderGroup* group = GetRenderer()->FindRenderGroup(game->GetDefaultBackdropGroupName());
    ASSERT_EQ(group->renderables.Count(), 1u);
    EXPECT_NE(dynamic_cast<ZDepthBackdropShader*>(group->renderables[0]->shader), nullptr);
}

// A game without a depth backdrop gets none.
class NoDepthBackdropGame : public ZBaseGame {
public:
    bool WantsDepthBackdrop() const override { return false; }
};

TEST_F(EngineAssetsTest, DepthBackdropIsOptional) {
    Start(new NoDepthBackdropGame());
    EXPECT_TRUE(game->GetBackdrops().IsEmpty());
    EXPECT_TRUE(GetRenderer()->FindRenderGroup(game->GetDefaultBackdropGroupName())->renderables.IsEmpty());
}

// The engine's backdrop shader with its plain-colour answer switchable,
// counting the parameters it is asked for (only a drawn quad asks).
class NotedBackdropShader : public ZDepthBackdropShader {
public:
    bool GetPlainColor(ZVector4& color) const override { return plain && ZDepthBackdropShader::GetPlainColor(color); }
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override {
        ++asked;
        return ZDepthBackdropShader::SetParameters(binding, passName, source);
    }
    bool plain = true;
    int asked = 0;
};

class NotedBackdropGame : public ZBaseGame {
public:
    ZShader* CreateDepthBackdropShader() override { return new NotedBackdropShader(); }
};

// The frame's clears and draws with the depth backdrop: its plain colour is
// the default pass's clear of the pre-HUD target and the quad is not drawn;
// otherwise the quad draws and the pre-HUD target's colour is cleared only
// where nothing covers it, as before.
TEST_F(EngineAssetsTest, APlainDepthBackdropIsAClearOfThePreHUDTarget) {
    Start(new NotedBackdropGame());
    const auto* entry = game->GetBackdrops().Find(ZHashedString("Depth Backdrop"));
    ASSERT_NE(entry, nullptr);
    ZRenderable* quad = dynamic_cast<ZDepthBackdrop*>(entry->value)->GetQuad();
    ASSERT_NE(quad, nullptr);
    auto* shader = dynamic_cast<NotedBackdropShader*>(quad->shader);
    ASSERT_NE(shader, nullptr);
    // Ahead of the backdrop in the default pass, not known to be opaque.
    ZScreenQuad blended;
    ZDepthBackdropShader blendedShader;
    blended.shader = &blendedShader;
    ZRenderGroup* defaultGroup = GetRenderer()->FindRenderGroup(game->GetDefaultGroupName());
    const ZRenderPassDesc* defaultPass = GetRenderer()->FindRenderPass(game->GetDefaultPassName());
    const std::string preHUD = "#" + std::to_string(gfx::fake::IdOf(game->GetPreHUDTarget()->target.surface));

    struct Row {
        const char* what;
        bool plain;
        bool hidden;
        bool blendedAhead;
        std::vector<std::string> preHUDClears;  // colour clears while the pre-HUD target is bound
        bool drawn;
    };
    const Row rows[] = {
        {"one plain colour", true, false, false, {"0x80808080"}, false},
        {"not plain", false, false, false, {}, true},
        {"plain, a blended draw ahead of it", true, false, true, {}, true},
        {"hidden", true, true, false, {"0xff000000"}, false},
    };
    for (const Row& row : rows) {
        shader->plain = row.plain;
        shader->asked = 0;
        quad->visible = !row.hidden;
        if (row.blendedAhead) defaultGroup->Add(&blended);
        state->calls.clear();
        ASSERT_TRUE(GetRenderer()->BeginScene()) << row.what;
        game->DrawFrame(ZHashedString::None());
        GetRenderer()->EndScene();
        GetRenderer()->present();
        defaultGroup->Remove(&blended);

        std::vector<std::string> clears;
        bool bound = false;
        for (const std::string& call : state->calls) {
            if (call.rfind("SetRenderTarget(0, ", 0) == 0) bound = call == "SetRenderTarget(0, " + preHUD + ")";
            // "Clear(flags 0x<f>, colour 0x<argb>, ...": the colours of clears with the target's bit.
            unsigned flags = 0;
            char colour[11] = {};
            if (bound && std::sscanf(call.c_str(), "Clear(flags 0x%x, colour %10[0-9a-fx]", &flags, colour) == 2 &&
                (flags & 1u) != 0) {
                clears.emplace_back(colour);
            }
        }
        EXPECT_EQ(clears, row.preHUDClears) << row.what;
        EXPECT_EQ(shader->asked > 0, row.drawn) << row.what;
        EXPECT_EQ(quad->visible, !row.hidden) << row.what << ": the quad's flag is as it was";
        EXPECT_FALSE(defaultPass->clearColor) << row.what << ": the pass's clear is as it was";
        EXPECT_FALSE(defaultPass->clearAlways) << row.what;
    }
}

TEST_F(EngineAssetsTest, MenuUnderlayShaderComesLoaded) {
    Start();
    ZTexturedShader* shader = game->CreateMenuUnderlayShader();
    ASSERT_NE(shader, nullptr);
    EXPECT_STREQ(shader->effectName.GetText(), "__Default_Menu_Underlay Shader");
    EXPECT_NE(shader->GetDefaultPassBinding(), nullptr);
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("MENU_UNDERLAY_TEXTURE")), 1);
    delete shader;
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("MENU_UNDERLAY_TEXTURE")), 0);
    EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("__Default_Menu_Underlay Shader")), 0);
}

TEST_F(EngineAssetsTest, NewVideoOptionsGiveThePreHUDQuadTheNewShader) {
    Start();
    game->SetAllVideoOptions(640, 480, false, false, false, false, 3, 0);
    ZFXAAFilter* filter = game->GetFXAAFilter();
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->GetLevel(), 3);
    EXPECT_EQ(game->GetPreHUDQuad()->shader, filter);
}

TEST_F(EngineAssetsTest, ReleaseGivesEverythingBack) {
    Start();
    game->ReleaseEngineAssets();
    for (const ZRenderGroup* group : GetRenderer()->renderGroups) {
        EXPECT_TRUE(group->renderables.IsEmpty()) << group->name.GetText();
    }
    for (const char* family : {"xbox", "gen", "ui"}) {
        EXPECT_EQ(GetGlyphSheetMgr()->FindAny(ZHashedString(family)), nullptr) << family;
    }
    for (const char* effect : {"__Default_Glyph Shader", "__Default_Font Shader", "__Console_Backdrop Shader",
                               "__Final_Pass Shader"}) {
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString(effect)), 0) << effect;
    }
    for (const char* texture :
         {"XBOX_BUTTONS_GLYPHS", "GEN_BUTTONS_GLYPHS", "UI_GLYPHS", "__Default_Mod",
          "__Default_Font_Tahoma_8", "__ZORP_PreHUD_Pass_Texture", "__ZORP_Final_Pass_Texture"}) {
        EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString(texture)), 0) << texture;
    }
    for (const char* name : {"__ZORP_PreHUD_RT_Setter", "__ZORP_Final_RT_Setter"}) {
        EXPECT_EQ(GetRenderer()->FindRenderPass(ZHashedString(name))->defaultTarget, nullptr) << name;
    }
    EXPECT_EQ(game->GetCamera(), nullptr);
    EXPECT_EQ(game->GetConsoleFont(), nullptr);
    EXPECT_EQ(game->GetConsole().GetBackdrop(), nullptr);
    EXPECT_TRUE(game->GetBackdrops().IsEmpty());
    // Twice is harmless.
    game->ReleaseEngineAssets();
}

// Loading again replaces the assets: one of each in its group, no second
// reference to a shared effect or texture.
TEST_F(EngineAssetsTest, LoadingAgainReplacesTheAssets) {
    Start();
    game->PreLoadEngineAssets();
    game->LoadEngineAssets();
    for (const char* name : {"__ZORP_HUD_Glyph_Group", "__ZORP_Menu_Glyph_Group", "__ZORP_HUD_Group",
                             "__ZORP_Console_Backdrop_Group", "__ZORP_PreHUD_Group", "__ZORP_Final_Group",
                             "__ZORP_Default_Backdrop_Group"}) {
        const ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString(name));
        const uint32_t expected = std::strcmp(name, "__ZORP_HUD_Glyph_Group") == 0    ? 2u
                                  : std::strcmp(name, "__ZORP_Menu_Glyph_Group") == 0 ? 3u
                                                                                      : 1u;
        EXPECT_EQ(group->renderables.Count(), expected) << name;
    }
    EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString("__Default_Glyph Shader")), 7);
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(ZHashedString("__Default_Font_Tahoma_8")), 3);
    EXPECT_EQ(game->GetConsole().GetBackdrop(), game->GetConsoleBackdrop());
    EXPECT_EQ(GetRenderer()->FindRenderPass(game->GetFinalTargetSetterPassName())->defaultTarget,
              &game->GetFinalTarget()->target);
}

TEST_F(EngineAssetsTest, GlyphSheetsFollowTheGroupGetter) {
    Start(new OwnGlyphGroupGame());
    const ZHashedString own("Game HUD Glyphs");
    EXPECT_TRUE(InGroup(own, game->GetGlyphSheet(ZBaseGame::kXboxHUDSheet)));
    EXPECT_TRUE(InGroup(own, game->GetGlyphSheet(ZBaseGame::kGenHUDSheet)));
    EXPECT_TRUE(InGroup(game->GetMenuGlyphGroupName(), game->GetGlyphSheet(ZBaseGame::kXboxMenuSheet)));
    EXPECT_EQ(GetRenderer()->FindRenderGroup(ZHashedString("__ZORP_HUD_Glyph_Group")), nullptr);
}

TEST_F(EngineAssetsTest, SheetWithoutItsGroupIsStillRegistered) {
    Start(new NoHUDGlyphGroupGame());
    ZSpriteBatch* sheet = game->GetGlyphSheet(ZBaseGame::kXboxHUDSheet);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(GroupsHolding(sheet), 0);
    EXPECT_EQ(GetGlyphSheetMgr()->Find(ZHashedString("xbox"), ZHashedString("xbox_hud")), sheet);
}

// The console draws with the console font: the text block at one line height
// from the top-left, the prompt last, the backdrop over the rows of text.
TEST_F(EngineAssetsTest, ConsoleDrawsWithItsFontOverItsBackdrop) {
    Start();
    ZConsole& console = game->GetConsole();
    console.Print("first line");
    console.Print("second line");
    console.Toggle();
    ZRenderable* backdrop = game->GetConsoleBackdrop();
    EXPECT_TRUE(backdrop->visible);

    console.Update();
    ZFont* font = game->GetConsoleFont();
    const float h = static_cast<float>(font->GetLineHeight());
    ASSERT_GE(font->GetRequests().Count(), 2u);
    // The block's black shadow in place, then the block.
    const ZTextRequest& shadow = font->GetRequests()[0];
    const ZTextRequest& block = font->GetRequests()[1];
    EXPECT_STREQ(font->GetStoredText(block), "first line\nsecond line\n> ");
    EXPECT_FLOAT_EQ(block.x, h);
    EXPECT_FLOAT_EQ(block.y, h);
    EXPECT_EQ(block.color, ZColor32(255, 255, 255, 255));
    EXPECT_EQ(shadow.color, ZColor32(0, 0, 0, 255));
    EXPECT_FLOAT_EQ(shadow.x, h);
    // Two output lines and the three rows of margin and prompt.
    EXPECT_FLOAT_EQ(backdrop->transform.m[5], -(h * 5.0f));
    EXPECT_FLOAT_EQ(backdrop->transform.m[0], 1.0f);
    EXPECT_FLOAT_EQ(backdrop->transform.m[10], 0.0f);
    // The cursor sits after the measured prompt.
    bool cursorFound = false;
    float promptWidth = 0.0f;
    font->DrawTextFormatted("> ", 2, &promptWidth, nullptr, 1.0f, 1.0f);
    for (const ZTextRequest& request : font->GetRequests()) {
        if (std::strcmp(font->GetStoredText(request), "_") == 0) {
            cursorFound = true;
            EXPECT_FLOAT_EQ(request.x, h + promptWidth);
            EXPECT_FLOAT_EQ(request.y, 3.0f * h);
        }
    }
    EXPECT_TRUE(cursorFound);

    console.Toggle();
    EXPECT_FALSE(backdrop->visible);
}

}  // namespace
