// The dialog box's backdrop shader on the fake device, with the engine's own
// effect file: where it places the box, the frame and stereo values it
// answers, and the effect and texture it holds.

#include <cmath>
#include <string>

#include "GameShaderFixture.h"
#include "RendererFiles.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "renderer/AnaglyphBackdropShader.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZTexture.h"

using namespace rtest;

namespace {

// A game drawing one eye of anaglyph 3D.
class StereoGame : public ZBaseGame {
public:
    float GetAnaglyphDistance() const override { return 0.25f; }
    float GetAnaglyphDistanceOffset() const override { return 0.5f; }
    ZVector4 GetAnaglyphColor() const override { return ZVector4(1.0f, 0.0f, 0.0f, 1.0f); }
    float GetAnaglyphDesaturation() const override { return 0.75f; }
    ZVector4 GetAnaglyphGamma() const override { return ZVector4(0.5f, 0.5f, 0.5f, 0.5f); }
};

class AnaglyphBackdropShaderTest : public GameShaderTest {
protected:
    void SetUp() override {
        GameShaderTest::SetUp();
        Start();
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/engine/effects");
        rfiles::BMP frame;  // 2 x 2, 24-bit
        frame.pixels = std::string(16, '\x40');
        WriteFile("korv_textbox.bmp", frame.Bytes());
    }
    static ZVector4 Vector(AnaglyphBackdropShader& shader, const char* name) {
        float v[4] = {-9, -9, -9, -9};
        Fx(shader)->GetVector(Fx(shader)->GetParameterByName(0, name), v);
        return ZVector4(v[0], v[1], v[2], v[3]);
    }
    // A corner of the unit quad through the matrix the shader set.
    static void Corner(AnaglyphBackdropShader& shader, float x, float y, float& outX, float& outY) {
        float m[16] = {};
        Fx(shader)->GetMatrix(Fx(shader)->GetParameterByName(0, "wvpMat"), m);
        outX = x * m[0] + y * m[4] + m[12];
        outY = x * m[1] + y * m[5] + m[13];
    }
};

}  // namespace

TEST_F(AnaglyphBackdropShaderTest, HoldsItsEffectAndFrameTextureWhileItLives) {
    const ZHashedString effectName("Anaglyph Backdrop Shader");
    const ZHashedString textureName("__Default_HUD_Backdrop Texture");
    {
        AnaglyphBackdropShader shader;
        ZEffect* effect = ZShaderMgr::GetInstance()->FindEffect(effectName);
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
        EXPECT_EQ(shader.GetDefaultPassBinding(), effect->FindTechnique(ZHashedString("BackdropTech")));
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(effectName), 1);
        EXPECT_EQ(ZTextureMgr::GetInstance()->GetRefCount(textureName), 1);

        EXPECT_TRUE(Answer(shader, "BackdropTexture"));
        gfx::BaseTexture* bound = nullptr;
        Fx(shader)->GetTexture(Fx(shader)->GetParameterByName(0, "BackdropTexture"), &bound);
        ASSERT_NE(bound, nullptr);
        EXPECT_EQ(bound, ZTextureMgr::GetInstance()->FindTexture(textureName)->GetTexture());
        bound->Release();
    }
    EXPECT_EQ(ZShaderMgr::GetInstance()->FindEffect(effectName), nullptr);
    EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(textureName), nullptr);
}

TEST_F(AnaglyphBackdropShaderTest, PlacesTheBoxAtTheTopOrTheBottom) {
    AnaglyphBackdropShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    shader.halfWidth = 0.5f;
    shader.halfHeight = 0.25f;
    struct Case {
        int32_t placement;
        float left, right, bottom, top;  // before the half-pixel offset
    };
    const Case cases[] = {
        {AnaglyphBackdropShader::kTop, -0.125f, 0.875f, 1.0f - 0.5f - 1.0f / 7.0f, 1.0f - 1.0f / 7.0f},
        {AnaglyphBackdropShader::kBottom, -0.125f, 0.875f, -1.0f + 1.0f / 7.0f, -1.0f + 1.0f / 7.0f + 0.5f},
    };
    for (const Case& c : cases) {
        shader.placement = c.placement;
        EXPECT_TRUE(Answer(shader, "wvpMat"));
        float x = 0, y = 0;
        Corner(shader, -1.0f, -1.0f, x, y);
        EXPECT_NEAR(x, c.left - 1.0f / 256.0f, 1e-6) << c.placement;
        EXPECT_NEAR(y, c.bottom + 1.0f / 224.0f, 1e-6) << c.placement;
        Corner(shader, 1.0f, 1.0f, x, y);
        EXPECT_NEAR(x, c.right - 1.0f / 256.0f, 1e-6) << c.placement;
        EXPECT_NEAR(y, c.top + 1.0f / 224.0f, 1e-6) << c.placement;
    }
    // An unknown placement is answered but leaves the matrix as it was.
    Fx(shader)->SetMatrix(Fx(shader)->GetParameterByName(0, "wvpMat"), ZMatrix4::Identity().m);
    shader.placement = 2;
    ZMatrix4 m;
    EXPECT_FALSE(shader.GetPlacementMatrix(m));
    EXPECT_TRUE(Answer(shader, "wvpMat"));
    float x = 0, y = 0;
    Corner(shader, 1.0f, 1.0f, x, y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
}

TEST_F(AnaglyphBackdropShaderTest, AnswersTheFrameAndTheEyeOfTheGame) {
    auto* game = new StereoGame();
    game->m_opaqueDialogBoxes = true;
    AnaglyphBackdropShader shader;
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    shader.halfWidth = 0.5f;
    shader.halfHeight = 0.25f;
    struct Case {
        const char* name;
        ZVector4 value;  // a float in x
    };
    const Case cases[] = {
        {"AspectRatio", {128.0f / 56.0f, 0, 0, 0}},
        {"TexSize", {32.0f, 0, 0, 0}},
        {"TexSplit", {0.25f, 0, 0, 0}},
        {"CornerScale", {8.0f / 56.0f, 0, 0, 0}},
        {"CenterScale", {3.0f, 0, 0, 0}},
        {"MaskColor", {1.0f, 0.0f, 1.0f, 1.0f}},
        {"BackdropOpacity", {1.0f, 0, 0, 0}},
        {"AnaglyphDistance", {-0.125f, 0, 0, 0}},
        {"AnaglyphDistanceOffset", {0.5f, 0, 0, 0}},
        {"AnaglyphColor", {1.0f, 0.0f, 0.0f, 1.0f}},
        {"AnaglyphSilhFix", {0.0f, 0, 0, 0}},
        {"AnaglyphDesat", {0.75f, 0, 0, 0}},
        {"AnaglyphGamma", {0.5f, 0.5f, 0.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Answer(shader, c.name)) << c.name;
        const ZVector4 got = Vector(shader, c.name);
        EXPECT_NEAR(got.x, c.value.x, 1e-5) << c.name;
        EXPECT_NEAR(got.y, c.value.y, 1e-5) << c.name;
        EXPECT_NEAR(got.z, c.value.z, 1e-5) << c.name;
        EXPECT_NEAR(got.w, c.value.w, 1e-5) << c.name;
    }
    // Without opaque dialog boxes the backdrop is not shown.
    game->m_opaqueDialogBoxes = false;
    EXPECT_TRUE(Answer(shader, "BackdropOpacity"));
    EXPECT_EQ(Vector(shader, "BackdropOpacity").x, 0.0f);
}

TEST_F(AnaglyphBackdropShaderTest, ABoxNotPlacedYetHasNoRatios) {
    AnaglyphBackdropShader shader;  // no base game: the neutral eye
    ASSERT_NE(shader.GetDefaultPassBinding(), nullptr);
    const std::pair<const char*, float> floats[] = {
        {"AspectRatio", 0.0f}, {"CornerScale", 0.0f}, {"AnaglyphDistance", 0.0f}, {"AnaglyphDesat", 1.0f}};
    for (const auto& [name, value] : floats) {
        EXPECT_TRUE(Answer(shader, name)) << name;
        EXPECT_EQ(Vector(shader, name).x, value) << name;
    }
    EXPECT_TRUE(Answer(shader, "AnaglyphColor"));
    EXPECT_EQ(Vector(shader, "AnaglyphColor"), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
}
