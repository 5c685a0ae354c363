// The static, tuner, wipe, minimap and full-map shaders: the attract cycle,
// the tuner ball's path, where each quad lands in the frame and which part
// of its texture shows, read from bindings that record what they are given.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "foundation/ZMatrix4.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUpdateRegistry.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplayState.h"
#include "game/display/FullMapContentTexture.h"
#include "game/display/FullMapIndicatorTexture.h"
#include "game/display/MinimapBackTexture.h"
#include "game/display/MinimapContentTexture.h"
#include "game/display/MinimapIndicatorTexture.h"
#include "game/display/MinimapView.h"
#include "game/display/StaticShader.h"
#include "game/display/TunerBackTexture.h"
#include "game/display/TunerBallTexture.h"
#include "game/display/WipeShader.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

class Recorder : public ZEffectParameter {
public:
    explicit Recorder(const char* name) : ZEffectParameter(nullptr, name, kFloat, 1) {}
    void SetFloat(float v) override { value = ZVector4(v, 0.0f, 0.0f, 0.0f); }
    void SetVector(const ZVector4& v) override { value = v; }
    void SetMatrix(const ZMatrix4& m) override { matrix = m; }
    void SetTexture(ZHashedString name) override { texture = name; }

    ZVector4 value;
    ZMatrix4 matrix;
    ZHashedString texture;
};

Recorder Ask(ZShader& shader, const char* name, bool* answered = nullptr) {
    Recorder r(name);
    const bool a = shader.SetParameters(&r, ZHashedString::None(), &shader);
    if (answered != nullptr) *answered = a;
    return r;
}

// A point (row vector, w = 1) through the matrix, divided by w.
void Apply(const ZMatrix4& m, const float x, const float y, float& outX, float& outY) {
    const float p[4] = {x, y, 0.0f, 1.0f};
    float r[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) r[j] += p[i] * m.m[i * 4 + j];
    }
    outX = r[3] != 0.0f ? r[0] / r[3] : r[0];
    outY = r[3] != 0.0f ? r[1] / r[3] : r[1];
}

// The clip-space point of a frame pixel position (y up), with the half-pixel shift.
float ClipX(const float px) { return (px - 128.0f - 0.5f) / 128.0f; }
float ClipY(const float py) { return (py - 112.0f + 0.5f) / 112.0f; }

// A player in room (3, 2) of a map image whose origin is room (1, 1); rooms
// are 256 x 224 world pixels.
MinimapView PlayerView(const float x, const float y) {
    MinimapView view;
    view.hasPlayer = true;
    view.imageOriginColumn = 1;
    view.imageOriginRow = 1;
    view.firstColumn = 2;
    view.firstRow = 1;
    view.width = 5;
    view.height = 3;
    view.roomColumn = 3;
    view.roomRow = 2;
    view.left = 0.0f;
    view.right = 256.0f;
    view.top = 0.0f;
    view.bottom = 224.0f;
    view.x = x;
    view.y = y;
    return view;
}

MinimapView g_view;
bool ViewSource(MinimapView& out) {
    out = g_view;
    return true;
}

class OverlayShadersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZBaseGame::DestroyInstance();
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->SetLogging(false);
        display = GetDisplayState();
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/effects");
        ZStreamMgr::GetInstance()->AddDirectorySource(KORV_SOURCE_DIR "/data/game/crt");
    }
    void TearDown() override {
        DestroyDisplayState();
        ZBaseGame::DestroyInstance();
        ZShaderMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        DestroyRenderer();
        ZStreamMgr::DestroyInstance();
    }
    DisplayState* display = nullptr;
};

}  // namespace

TEST(AttractCycle, FadesThroughTheStaticEveryFifteenSeconds) {
    struct Case {
        int32_t first;
        float seconds;
        int32_t picture;
        float blend;
        bool flag;
    };
    const Case cases[] = {
        {2, 0.0f, 2, 1.0f, false},   {2, 5.5f, 2, 1.0f, false},  {2, 6.5f, 2, 0.5f, false},
        {2, 7.5f, 2, 0.0f, true},    {2, 13.0f, 2, 0.0f, true},  {2, 14.0f, 2, 0.5f, true},
        {2, 15.0f, 3, 1.0f, false},  {6, 15.0f, 0, 1.0f, false}, {0, 15.0f * 7.0f + 1.0f, 0, 1.0f, false},
        {4, -3.0f, 4, 1.0f, false},  // a clock behind the start counts as the start
    };
    for (const Case& c : cases) {
        const StaticShader::AttractState s = StaticShader::AttractAt(c.first, c.seconds);
        EXPECT_EQ(s.picture, c.picture) << c.first << " at " << c.seconds;
        EXPECT_NEAR(s.blend, c.blend, 1e-5f) << c.first << " at " << c.seconds;
        EXPECT_EQ(s.flag, c.flag) << c.first << " at " << c.seconds;
    }
}

TEST_F(OverlayShadersTest, StaticSlidesAndPicksTheAttractPicture) {
    StaticShader shader;
    EXPECT_GE(shader.GetFirstAttractPicture(), 0);
    EXPECT_LT(shader.GetFirstAttractPicture(), StaticShader::kAttractPictures);
    // The running time is 0 here: a start in the past gives the time into the cycle.
    struct Case {
        int32_t first;
        float seconds;
        float vertOffset;
        const char* attract;
    };
    const Case cases[] = {
        {3, 0.0f, 8.0f, "Texture_Attract_4"},
        {3, 7.5f, -0.0f, "Texture_Attract_4"},
        {6, 15.0f, 8.0f, "Texture_Attract_1"},
    };
    for (const Case& c : cases) {
        shader.SetAttractStart(c.first, -c.seconds);
        EXPECT_FLOAT_EQ(Ask(shader, "VertOffset").value.x, c.vertOffset) << c.seconds;
        EXPECT_EQ(Ask(shader, "DiffuseMapAttract").texture, ZHashedString(c.attract)) << c.seconds;
        const float amp = Ask(shader, "GlobalAmp").value.x;
        EXPECT_FLOAT_EQ(Ask(shader, "ImageLerp").value.x, 1.0f - amp);
    }
    // The noise moves at random each time; the numbers stay in their ranges.
    for (int i = 0; i < 20; ++i) {
        const ZVector4 offset = Ask(shader, "TexOffset").value;
        EXPECT_TRUE(offset.x >= 0.0f && offset.x <= 1.0f && offset.y >= 0.0f && offset.y <= 1.0f);
        const float w = Ask(shader, "TexScaleLine").value.x;
        EXPECT_TRUE(w >= 0.125f * 1.75f - 1e-5f && w <= 2.0f * 1.75f + 1e-5f) << w;
        const float line = Ask(shader, "TexOffsetLine").value.y;
        EXPECT_TRUE(line >= -1.0f && line <= 1.0f);
    }
    bool answered = true;
    Ask(shader, "NotAParameter", &answered);
    EXPECT_FALSE(answered);
}

TEST_F(OverlayShadersTest, RestartingTheCycleStartsItNow) {
    StaticShader shader;
    shader.SetAttractStart(5, -14.0f);
    bool flag = false;
    EXPECT_NEAR(shader.UpdateAttractCycle(flag), 0.5f, 1e-5f);
    EXPECT_TRUE(flag);
    shader.RestartAttractCycle();
    EXPECT_FLOAT_EQ(shader.UpdateAttractCycle(flag), 1.0f);
    EXPECT_FALSE(flag);
    EXPECT_EQ(shader.GetCurrentAttractPicture(), shader.GetFirstAttractPicture());
}

TEST(TunerBall, FastSinFollowsTheSineAndStaysInRange) {
    const float pi = 3.14159265f;
    struct Case {
        float x;
        float want;
    };
    const Case cases[] = {{0.0f, 0.0f}, {pi / 2.0f, 1.0f}, {pi, 0.0f}, {-pi / 2.0f, -1.0f}, {0.3f, std::sin(0.3f)}};
    for (const Case& c : cases) EXPECT_NEAR(TunerShader::FastSin(c.x), c.want, 2e-3f) << c.x;
    // Far-out and broken clocks give a value, never an index outside the table.
    for (const float x : {1.0e7f, -1.0e7f, INFINITY, NAN}) {
        const float s = TunerShader::FastSin(x);
        EXPECT_TRUE(s >= -1.0f && s <= 1.0f) << x;
    }
}

TEST(TunerBall, StaysOnTheDial) {
    for (float t = 0.0f; t < 30.0f; t += 0.01f) {
        const ZVector3 p = TunerBallTexture::BallPosition(t);
        ASSERT_TRUE(p.x >= 170.0f && p.x <= 198.0f) << t << ": " << p.x;
        ASSERT_TRUE(p.y >= 74.0f && p.y <= 166.0f) << t << ": " << p.y;
    }
}

TEST_F(OverlayShadersTest, QuadsLandOnTheirFramePixels) {
    TunerBackTexture back;
    TunerBallTexture ball;
    ball.position = ZVector3(180.0f, 100.0f, 0.0f);
    const struct {
        TunerShader* shader;
        const char* texture;
        float x0, y0, x1, y1;  // frame pixels of the quad's corners (0, 0) and (1, 1)
    } cases[] = {
        {&back, "Tuner Texture (Back)", 160.0f, 64.0f, 224.0f, 192.0f},
        {&ball, "Tuner Texture (Ball)", 180.0f, 100.0f, 196.0f, 116.0f},
    };
    for (const auto& c : cases) {
        const ZMatrix4 m = Ask(*c.shader, "wvpMat").matrix;
        float x = 0.0f, y = 0.0f;
        Apply(m, 0.0f, 0.0f, x, y);
        EXPECT_NEAR(x, ClipX(c.x0), 1e-5f) << c.texture;
        EXPECT_NEAR(y, ClipY(c.y0), 1e-5f) << c.texture;
        Apply(m, 1.0f, 1.0f, x, y);
        EXPECT_NEAR(x, ClipX(c.x1), 1e-5f) << c.texture;
        EXPECT_NEAR(y, ClipY(c.y1), 1e-5f) << c.texture;
        EXPECT_EQ(Ask(*c.shader, "DiffuseMap").texture, ZHashedString(c.texture));
    }
}

TEST_F(OverlayShadersTest, UpdatesMoveTheirQuadsUntilTheyGo) {
    ZUpdateRegistry* registry = GetUpdateRegistry();
    const uint32_t before = registry->GetList(0).Count();
    auto* ball = new TunerBallTexture();
    auto* minimap = new MinimapContentTexture();
    auto* fullMap = new FullMapContentTexture();
    // Only the frame list (bit 1) moves them.
    registry->Run(0.016f, 2);
    EXPECT_FLOAT_EQ(minimap->position.x, 0.0f);
    registry->Run(0.016f, 1);
    EXPECT_FLOAT_EQ(ball->position.x, TunerBallTexture::BallPosition(0.0f).x);
    EXPECT_FLOAT_EQ(minimap->position.x, 204.0f);
    EXPECT_FLOAT_EQ(minimap->position.y, 180.0f);
    EXPECT_FLOAT_EQ(fullMap->position.x, 62.0f);
    EXPECT_FLOAT_EQ(fullMap->position.y, 36.0f);
    // Deleting through either side leaves nothing behind in the registry
    // (the sanitizers catch an update on a freed object).
    delete ball;
    ZUpdatable* asUpdatable = minimap;
    delete asUpdatable;
    delete static_cast<ZShader*>(fullMap);
    registry->Run(0.016f, 1);
    EXPECT_EQ(registry->GetList(0).Count(), before);
}

TEST_F(OverlayShadersTest, MinimapWindowFollowsThePlayersRoom) {
    const auto expectWindow = [](const ZMatrix4& m, const float u, const float v, const char* what) {
        EXPECT_FLOAT_EQ(m.m[0], 0.125f) << what;
        EXPECT_FLOAT_EQ(m.m[5], 0.09375f) << what;
        EXPECT_NEAR(m.m[12], u, 1e-6f) << what;
        EXPECT_NEAR(m.m[13], v, 1e-6f) << what;
    };
    const auto window = [](const float cx, const float cy) {
        return std::pair<float, float>{((cx + 0.5f - 2.6666666666666665f) + 1.0f) * 6.0f / 256.0f,
                                       ((cy + 0.5f - 2.0f) + 1.0f) * 6.0f / 256.0f};
    };
    expectWindow(MinimapContentTexture::WindowMatrix(MinimapView()), 0.0f, 0.0f, "no player");
    // Room (3, 2) is the image's room (2, 1); a player on the room's right
    // or bottom edge still counts in it.
    const struct {
        float x, y;
    } spots[] = {{10.0f, 10.0f}, {256.0f, 100.0f}, {100.0f, 224.0f}, {-5.0f, -5.0f}};
    for (const auto& spot : spots) {
        const auto [u, v] = window(2.0f, 1.0f);
        expectWindow(MinimapContentTexture::WindowMatrix(PlayerView(spot.x, spot.y)), u, v, "in the room");
    }
    // Through the shader, from the display state's source.
    g_view = PlayerView(10.0f, 10.0f);
    display->minimapView = ViewSource;
    MinimapContentTexture content;
    const auto [u, v] = window(2.0f, 1.0f);
    expectWindow(Ask(content, "uvMat").matrix, u, v, "shader");
    EXPECT_EQ(Ask(content, "DiffuseMap").texture, ZHashedString("MINIMAP_TEXTURE"));
    display->minimapView = nullptr;
}

TEST_F(OverlayShadersTest, FullMapCentresTheWholeMap) {
    MinimapView view = PlayerView(10.0f, 10.0f);
    const struct {
        int32_t first, width;
    } cases[] = {{2, 5}, {7, 1}, {0, 22}};
    for (const auto& c : cases) {
        view.firstColumn = c.first;
        view.width = c.width;
        view.firstRow = c.first;
        view.height = c.width;
        const ZMatrix4 m = FullMapContentTexture::WindowMatrix(view);
        EXPECT_FLOAT_EQ(m.m[0], 0.515625f);
        EXPECT_FLOAT_EQ(m.m[5], 0.421875f);
        EXPECT_NEAR(m.m[12], 6.0f * c.first / 256.0f - 0.5f * (132.0f - 6.0f * c.width) / 256.0f, 1e-6f);
        EXPECT_NEAR(m.m[13], 6.0f * c.first / 256.0f - 0.5f * (108.0f - 6.0f * c.width) / 256.0f, 1e-6f);
    }
    // A map one room wide: U = 6 c0 / 256 - 63 / 256.
    view.firstColumn = 7;
    view.width = 1;
    EXPECT_NEAR(FullMapContentTexture::WindowMatrix(view).m[12], (42.0f - 63.0f) / 256.0f, 1e-6f);
    EXPECT_FLOAT_EQ(FullMapContentTexture::WindowMatrix(MinimapView()).m[12], 0.0f);
}

TEST_F(OverlayShadersTest, IndicatorsStepSixTimesASecond) {
    MinimapView view = PlayerView(10.0f, 10.0f);
    const struct {
        float seconds;
        float frame;
    } steps[] = {{0.0f, 0.0f}, {0.2f, 1.0f}, {0.34f, 2.0f}, {0.5f, 3.0f}, {0.67f, 0.0f}, {-1.0f, 0.0f}};
    for (const auto& s : steps) {
        EXPECT_FLOAT_EQ(MinimapIndicatorTexture::FrameMatrix(view, s.seconds).m[12], s.frame * 0.25f) << s.seconds;
    }
    // The lower row while A < B, the upper once A reaches B; the upper without a player.
    const struct {
        bool player;
        int32_t a, b;
        float row;
    } rows[] = {{true, 1, 3, 0.5f}, {true, 3, 3, 0.0f}, {true, 4, 3, 0.0f}, {false, 1, 3, 0.0f}};
    for (const auto& r : rows) {
        view.hasPlayer = r.player;
        view.countA = r.a;
        view.countB = r.b;
        const ZMatrix4 m = MinimapIndicatorTexture::FrameMatrix(view, 0.0f);
        EXPECT_FLOAT_EQ(m.m[13], r.row) << r.a << " of " << r.b;
        EXPECT_FLOAT_EQ(m.m[0], 0.25f);
        EXPECT_FLOAT_EQ(m.m[5], 0.5f);
    }
}

TEST_F(OverlayShadersTest, FullMapMarkerSitsOnThePlayersRoom) {
    // Room (3, 2) of a 5 x 3 map with image origin (1, 1): column 2, row 1 of the image.
    const ZVector3 p = FullMapIndicatorTexture::MarkerPosition(PlayerView(256.0f, 10.0f));
    EXPECT_FLOAT_EQ(p.x, 34.0f + 0.5f * (132.0f - 30.0f) + 12.0f + 30.0f - 1.0f);
    EXPECT_FLOAT_EQ(p.y, 186.0f - 0.5f * (108.0f - 18.0f) - 6.0f - 22.0f - 10.0f - 3.0f - 16.0f);

    FullMapIndicatorTexture marker;
    // No player: nothing is drawn (every corner lands on one point).
    const ZMatrix4 none = Ask(marker, "wvpMat").matrix;
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    Apply(none, 0.0f, 0.0f, x0, y0);
    Apply(none, 1.0f, 1.0f, x1, y1);
    EXPECT_FLOAT_EQ(x0, x1);
    EXPECT_FLOAT_EQ(y0, y1);
}

TEST_F(OverlayShadersTest, MapQuadsWithoutTheirTextureDrawNothing) {
    // "MINIMAP_TEXTURE" is painted by the player's minimap, which is not there:
    // no black box over the frame, every corner lands on one point.
    FullMapContentTexture content;
    MinimapContentTexture minimap;
    for (ZShader* shader : {static_cast<ZShader*>(&content), static_cast<ZShader*>(&minimap)}) {
        const ZMatrix4 m = Ask(*shader, "wvpMat").matrix;
        float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
        Apply(m, 0.0f, 0.0f, x0, y0);
        Apply(m, 1.0f, 1.0f, x1, y1);
        EXPECT_FLOAT_EQ(x0, x1);
        EXPECT_FLOAT_EQ(y0, y1);
    }
    const Recorder mask = Ask(content, "MaskColor");
    EXPECT_FLOAT_EQ(mask.value.x, 1.0f);
    EXPECT_FLOAT_EQ(mask.value.y, 0.0f);
    EXPECT_FLOAT_EQ(mask.value.z, 1.0f);
}

TEST_F(OverlayShadersTest, WipeHandsOnItsOffset) {
    WipeShader wipe;
    wipe.offset = ZVector4(0.0f, 37.5f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(Ask(wipe, "Offset").value.y, 37.5f);
}
