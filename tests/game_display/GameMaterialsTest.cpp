// The parameters of the game's text, glyph and underlay materials.

#include <gtest/gtest.h>

#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "game/display/AnaglyphTextShader.h"
#include "game/display/DisplayState.h"
#include "game/display/GameMenuUnderlayShader.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"

namespace {

class Recorder : public ZEffectParameter {
public:
    explicit Recorder(const char* name) : ZEffectParameter(nullptr, name, kFloat, 1) {}
    void SetFloat(float v) override { value = ZVector4(v, 0.0f, 0.0f, 0.0f); }
    void SetVector(const ZVector4& v) override { value = v; }
    ZVector4 value{-9.0f, -9.0f, -9.0f, -9.0f};
};

ZVector4 Ask(ZShader& shader, const char* name) {
    Recorder r(name);
    EXPECT_TRUE(shader.SetParameters(&r, ZHashedString::None(), &shader)) << name;
    return r.value;
}

class GameMaterialsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZBaseGame::DestroyInstance();
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->SetLogging(false);
        game->m_fullscreen = false;
        game->m_widthWindowed = 1920;
        game->m_heightWindowed = 1080;
        game->UpdateScreenMetrics();
        display = GetDisplayState();
    }
    void TearDown() override {
        DestroyDisplayState();
        DestroyMenuMgr();
        ZBaseGame::DestroyInstance();
        DestroyRenderer();
    }
    DisplayState* display = nullptr;
};

}  // namespace

TEST_F(GameMaterialsTest, AnaglyphTextIsNeutralWithoutAnaglyphWhateverTheSettings) {
    AnaglyphTextShader font(AnaglyphTextShader::Kind::kFont);
    display->Settings().anaglyph3D = false;
    display->Settings().anaglyphDesaturation = 0.3f;
    display->Settings().anaglyphBrightness = 0.9f;
    display->eyeDistance = 0.0078125f;
    display->eyeColor = ZVector4(1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(Ask(font, "AnaglyphDistance").x, 0.0f);
    EXPECT_EQ(Ask(font, "AnaglyphDistanceOffset").x, 0.0f);
    EXPECT_EQ(Ask(font, "AnaglyphColor"), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(Ask(font, "AnaglyphDesat").x, 1.0f);
    EXPECT_EQ(Ask(font, "AnaglyphGamma"), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));

    display->Settings().anaglyph3D = true;
    EXPECT_EQ(Ask(font, "AnaglyphDistance").x, -0.0078125f);
    EXPECT_EQ(Ask(font, "AnaglyphColor"), ZVector4(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_FLOAT_EQ(Ask(font, "AnaglyphDesat").x, 0.7f);
    EXPECT_FLOAT_EQ(Ask(font, "AnaglyphGamma").x, 1.0f - 0.9f);
    EXPECT_EQ(Ask(font, "AnaglyphSilhFix").x, 0.0f);
}

TEST_F(GameMaterialsTest, AnaglyphTextDrawsInTheFixedFrame) {
    for (const AnaglyphTextShader::Kind kind :
         {AnaglyphTextShader::Kind::kFont, AnaglyphTextShader::Kind::kXboxGlyphs,
          AnaglyphTextShader::Kind::kGenGlyphs, AnaglyphTextShader::Kind::kStatusGlyphs}) {
        AnaglyphTextShader shader(kind);
        EXPECT_EQ(Ask(shader, "invHalfScreenWidth").x, 0.0078125f);
        EXPECT_EQ(Ask(shader, "invHalfScreenHeight").x, 0.008928571827709675f);
        EXPECT_EQ(Ask(shader, "xOffset").x, 0.0f);
        EXPECT_EQ(Ask(shader, "yOffset").x, 0.0f);
        EXPECT_EQ(shader.technique, ZHashedString("HUD"));
        EXPECT_EQ(shader.modTextureName, ZHashedString("__Default_Mod"));
    }
    struct Case {
        AnaglyphTextShader::Kind kind;
        const char* effect;
        const char* texture;
    };
    const Case cases[] = {
        {AnaglyphTextShader::Kind::kFont, "Anaglyph Font Shader", "Game Font Texture"},
        {AnaglyphTextShader::Kind::kXboxGlyphs, "Anaglyph Glyph Shader", "XBOX_BUTTONS_GLYPHS_PIXEL"},
        {AnaglyphTextShader::Kind::kGenGlyphs, "Anaglyph Glyph Shader", "GEN_BUTTONS_GLYPHS_PIXEL"},
        {AnaglyphTextShader::Kind::kStatusGlyphs, "Anaglyph Glyph Shader", "STATUS_GLYPHS"},
    };
    for (const Case& c : cases) {
        AnaglyphTextShader shader(c.kind);
        EXPECT_EQ(shader.effectName, ZHashedString(c.effect));
        EXPECT_EQ(shader.textureName, ZHashedString(c.texture));
    }
}

TEST_F(GameMaterialsTest, UnderlayFadesWithTheMenusColour) {
    GameMenuUnderlayShader underlay;
    struct Case {
        uint32_t argb;
        ZVector4 want;
    };
    const Case cases[] = {
        {0xFFFFFFFFu, {1.0f, 1.0f, 1.0f, 1.0f}},
        {0x00000000u, {0.0f, 0.0f, 0.0f, 0.0f}},
        {0x80FF0000u, {1.0f, 0.0f, 0.0f, 128.0f / 255.0f}},
    };
    for (const Case& c : cases) {
        GetMenuMgr()->SetOverlayColor(c.argb);
        const ZVector4 got = Ask(underlay, "OpacityColor");
        EXPECT_NEAR(got.x, c.want.x, 1e-6f);
        EXPECT_NEAR(got.y, c.want.y, 1e-6f);
        EXPECT_NEAR(got.z, c.want.z, 1e-6f);
        EXPECT_NEAR(got.w, c.want.w, 1e-6f);
    }
    EXPECT_EQ(Ask(underlay, "TexSize").x, 256.0f);
    EXPECT_EQ(Ask(underlay, "TexSplit").x, 0.25f);
    EXPECT_EQ(Ask(underlay, "CenterScale").x, 3.0f);
    EXPECT_EQ(underlay.textureName, ZHashedString("MENU_UNDERLAY_TEXTURE"));
}
