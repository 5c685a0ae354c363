// The scene's overlays drawn on OpenGL into the clean frame (the TV static,
// the wipe, the tuner, the minimap and the full map), the tube and case
// meshes, and the scene's set-up, switching and shutdown leaving the texture
// and shader managers as they found them.

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <set>
#include <string>

#include "DisplayChainGlFixture.h"
#include "framework/ZScreenshot.h"
#include "game/display/GameFontSet.h"
#include "game/display/MinimapView.h"
#include "game/display/SceneOverlays.h"
#include "game/display/SceneSwitching.h"
#include "game/display/StaticShader.h"
#include "game/display/TubeQuad.h"
#include "game/display/WipeShader.h"
#include "foundation/ZUpdateRegistry.h"

using namespace displaytest;

namespace {

// Frame pixel (x, y up) to the read-back index (top row first).
size_t At(const int32_t x, const int32_t yUp) { return static_cast<size_t>(223 - yUp) * 256 + x; }

// A player in room (3, 2) of a 5 x 3 map whose first room and image origin are (1, 1).
bool PlayerView(MinimapView& view) {
    view = MinimapView();
    view.hasPlayer = true;
    view.imageOriginColumn = 1;
    view.imageOriginRow = 1;
    view.firstColumn = 1;
    view.firstRow = 1;
    view.width = 5;
    view.height = 3;
    view.countA = 2;
    view.countB = 5;
    view.roomColumn = 3;
    view.roomRow = 2;
    view.right = 256.0f;
    view.bottom = 224.0f;
    view.x = 100.0f;
    view.y = 100.0f;
    return true;
}

// The map image the player's minimap would paint: a 6 x 6 block per room of
// the 5 x 3 map (found rooms lit), magenta (see-through) around them.
void PaintMinimapTexture(ZTexture& texture) {
    int32_t pitch = 0;
    void* bits = nullptr;
    ASSERT_TRUE(texture.LockRect(pitch, bits));
    for (int32_t y = 0; y < texture.height; ++y) {
        for (int32_t x = 0; x < texture.width; ++x) {
            uint32_t c = 0xFFFF00FFu;
            const int32_t room = x / 6, row = y / 6;
            if (room < 5 && row < 3) {
                const bool edge = x % 6 == 0 || y % 6 == 0;
                c = edge ? 0xFF202060u : ((room + row) % 2 != 0 ? 0xFF40C040u : 0xFF3090F0u);
            }
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &c, 4);
        }
    }
    texture.UnlockRect();
}

// The same test card as the before/after picture: colour bars, a ramp and a figure.
uint32_t TestCard(int32_t x, int32_t y) {
    static const uint32_t bars[7] = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(0, 255, 0),
                                     Rgb(255, 0, 255),   Rgb(255, 0, 0),   Rgb(0, 0, 255)};
    if (x < 4 || y < 4 || x >= 252 || y >= 220) return Rgb(255, 255, 255);
    if (y < 120) return bars[(x - 4) * 7 / 248];
    if (y < 150) return Rgb(x, x, x);
    const int dx = x - 128, dy = y - 185;
    const int r2 = dx * dx + dy * dy;
    if (r2 < 26 * 26 && r2 > 16 * 16) return Rgb(250, 200, 60);
    return ((x / 8 + y / 8) % 2) != 0 ? Rgb(20, 20, 90) : Rgb(10, 10, 40);
}

class SceneOverlaysGlTest : public DisplayChainGlTest {
protected:
    SceneOverlays& Overlays() { return *Chain().GetOverlays(); }
    std::vector<uint32_t> Clean() { return korvtest::DisplayChainHarness::Read(Chain().cleanFrame); }
    // The back buffer, written to KORV_DISPLAY_DOCS/<name> when that is set.
    void Shot(const char* name) {
        const char* docs = std::getenv("KORV_DISPLAY_DOCS");
        if (docs == nullptr) return;
        const std::vector<uint32_t> screen = harness.ReadScreen();
        EXPECT_TRUE(WriteScreenshotPNG((std::string(docs) + "/" + name).c_str(), screen.data(), m_width, m_height));
    }
};

}  // namespace

TEST_F(SceneOverlaysGlTest, TheStaticCoversTheFrameUntilPlayStarts) {
    Start(256, 224);
    harness.SetCard([](int32_t, int32_t) { return Rgb(0, 0, 0); });
    // The title: the static shows over a hidden world, with the flat or CRT screen.
    SetUpScreenGroups(*ZBaseGame::GetInstance());
    Overlays().GetRenderable(SceneOverlays::kStatic).visible = true;
    Frames(2);
    std::vector<uint32_t> clean = Clean();
    ASSERT_EQ(clean.size(), 256u * 224u);
    std::set<uint32_t> colours(clean.begin(), clean.end());
    EXPECT_GT(colours.size(), 16u) << "noise over the black card";
    EXPECT_TRUE(Display().staticActive) << "the post-process shaders know the static shows";
    // Play starts: the static, wipe and tuner go; the card shows through.
    LeaveTitleScene(*ZBaseGame::GetInstance());
    Frames(2);
    clean = Clean();
    colours = std::set<uint32_t>(clean.begin(), clean.end());
    EXPECT_EQ(colours.size(), 1u);
    EXPECT_FALSE(Display().staticActive);
}

TEST_F(SceneOverlaysGlTest, WipeTuneAndMapsLandWhereTheyBelong) {
    Start(256, 224);
    harness.SetCard([](int32_t, int32_t) { return Rgb(255, 255, 255); });
    // Halfway: black from the left, leaning back towards the bottom.
    Overlays().GetWipeShader()->offset = ZVector4(0.0f, 50.0f, 0.0f, 0.0f);
    // The CRT menu's tuner.
    Overlays().GetRenderable(SceneOverlays::kTunerBack).visible = true;
    Frames(1);
    std::vector<uint32_t> clean = Clean();
    ASSERT_EQ(clean.size(), 256u * 224u);
    EXPECT_EQ(clean[At(40, 220)] & 0xFFFFFFu, 0u) << "covered at the top left";
    EXPECT_EQ(clean[At(120, 220)] & 0xFFFFFFu, 0xFFFFFFu) << "still open further right at the top";
    EXPECT_EQ(clean[At(140, 2)] & 0xFFFFFFu, 0u) << "the edge leans: covered further right at the bottom";
    EXPECT_EQ(clean[At(210, 100)] & 0xFFFFFFu, Rgb(52, 52, 60) & 0xFFFFFFu) << "the dial plate's face";
    EXPECT_EQ(clean[At(161, 191)] & 0xFFFFFFu, Rgb(150, 150, 160) & 0xFFFFFFu) << "the plate's rim, top left";
    EXPECT_EQ(clean[At(159, 100)] & 0xFFFFFFu, 0xFFFFFFu) << "nothing left of the plate";
    EXPECT_TRUE(Display().crtMenuOpen);

    // The maps, from a painted map image and a player.
    Overlays().GetWipeShader()->offset = ZVector4(0.0f, 0.0f, 0.0f, 0.0f);
    Overlays().GetRenderable(SceneOverlays::kTunerBack).visible = false;
    ZTexture* map = ZTextureMgr::GetInstance()->CreateTexture(256, 256, ZHashedString("MINIMAP_TEXTURE"));
    ASSERT_NE(map, nullptr);
    PaintMinimapTexture(*map);
    Display().minimapView = PlayerView;
    Display().minimapAvailable = true;
    ApplyMinimapVisibility();
    GetUpdateRegistry()->Run(0.0f, 1);  // the content quads take their places
    Frames(1);
    clean = Clean();
    EXPECT_EQ(clean[At(200, 207)] & 0xFFFFFFu, Rgb(90, 90, 110) & 0xFFFFFFu) << "the minimap plate's rim";
    // The minimap's window centres the player's room: its middle is a room block.
    const uint32_t middle = clean[At(220, 191)] & 0xFFFFFFu;
    EXPECT_TRUE(middle == 0x40C040u || middle == 0x3090F0u || middle == 0x202060u) << std::hex << middle;
    // The full map shows the whole 5 x 3 map (30 x 18 texels) in the middle of its 132 x 108 window.
    int lit = 0;
    for (int32_t y = 36; y < 144; ++y) {
        for (int32_t x = 62; x < 194; ++x) {
            const uint32_t c = clean[At(x, y)] & 0xFFFFFFu;
            if (c == 0x40C040u || c == 0x3090F0u) ++lit;
        }
    }
    EXPECT_NEAR(lit, 5 * 3 * 25, 5 * 3 * 12) << "each room's lit block inside the full map";
    EXPECT_EQ(clean[At(63, 37)] & 0xFFFFFFu, 0xFFFFFFu) << "outside the map: see-through";
    // Without the minimap setting the three minimap quads go; the full map stays.
    Display().Settings().showMinimap = false;
    ApplyMinimapVisibility();
    Frames(1);
    clean = Clean();
    EXPECT_EQ(clean[At(200, 207)] & 0xFFFFFFu, 0xFFFFFFu);
    Display().minimapView = nullptr;
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("MINIMAP_TEXTURE"));
}

TEST_F(SceneOverlaysGlTest, TheTubeAndTheCaseFollowTheBorderSetting) {
    Start(640, 480);
    harness.SetCard([](int32_t, int32_t) { return Rgb(255, 255, 255); });
    auto* screen = dynamic_cast<TubeQuad*>(Chain().GetScreenRenderable());
    auto* monitor = dynamic_cast<TubeQuad*>(Chain().GetMonitorRenderable());
    ASSERT_NE(screen, nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(screen->HasMesh()) << "Screen.m3d";
    EXPECT_TRUE(monitor->HasMesh()) << "Monitor2.m3d";
    Frames(4);
    std::vector<uint32_t> shown = harness.ReadScreen();
    // The glass lights the middle; the case's corner is dark grey, not the glass.
    EXPECT_GT(Luma(shown[240 * 640 + 320]), 100.0f);
    const uint32_t caseCorner = shown[8 * 640 + 8];
    EXPECT_LT(Luma(caseCorner), 90.0f) << "the case is dark, not the glass";
    Settings().showBorder = false;
    ApplyBorderSetting();
    Frames(2);
    shown = harness.ReadScreen();
    EXPECT_NE(shown[8 * 640 + 8], caseCorner) << "no case without the border";
    EXPECT_GT(Luma(shown[240 * 640 + 320]), 100.0f) << "the glass stays";
}

TEST_F(SceneOverlaysGlTest, SetUpSwitchAndShutdownLeaveTheManagersAsTheyWere) {
    Start(640, 480);
    ZBaseGame* game = ZBaseGame::GetInstance();
    Frames(1);
    ShutdownGameDisplayChain();
    harness.chain = nullptr;
    const uint32_t textures = ZTextureMgr::GetInstance()->GetCount();
    const uint32_t effects = ZShaderMgr::GetInstance()->GetCount();

    harness.chain = SetUpGameDisplayChain();
    EXPECT_GT(ZTextureMgr::GetInstance()->GetCount(), textures);
    EXPECT_GT(ZShaderMgr::GetInstance()->GetCount(), effects);
    // The title with its static, the CRT menu's tuner, play, the flat screen,
    // anaglyph, and back.
    SetUpScreenGroups(*game);
    Overlays().GetRenderable(SceneOverlays::kStatic).visible = true;
    Frames(2);
    Overlays().GetRenderable(SceneOverlays::kTunerBack).visible = true;
    Overlays().GetRenderable(SceneOverlays::kTunerBall).visible = true;
    Frames(2);
    LeaveTitleScene(*game);
    Frames(1);
    Settings().crtSim = false;
    ApplyCRTPassSetting();
    Frames(1);
    Settings().anaglyph3D = true;
    ApplyAnaglyphPassSetting();
    Frames(2);
    Settings().crtSim = true;
    ApplyCRTPassSetting();
    Frames(1);
    // The game's fonts and pixel sheets come and go with it.
    GameFontSet fonts;
    fonts.Load(*game);
    Frames(1);
    fonts.Release();

    ShutdownGameDisplayChain();
    harness.chain = nullptr;
    EXPECT_EQ(ZTextureMgr::GetInstance()->GetCount(), textures);
    EXPECT_EQ(ZShaderMgr::GetInstance()->GetCount(), effects);
    for (const char* name : {"Clean Frame", "Cln3D Frame", "NTSC Frame", "Composite Frame 1", "Composite Frame 2",
                             "Downsampled Buffer", "Upsampled Buffer", "Texture_WorldTiles", "NTSC_LUT_Texture",
                             "Texture_Static", "Texture_Attract_1", "Tuner Texture (Ball)",
                             "Minimap Texture (Indicator)", "FullMap Texture (Indicator)"}) {
        EXPECT_EQ(ZTextureMgr::GetInstance()->FindTexture(ZHashedString(name)), nullptr) << name;
    }
    for (const char* name : {"Static Shader", "Wipe Shader", "Tuner Shader", "Minimap Shader", "FullMap Shader"}) {
        EXPECT_EQ(ZShaderMgr::GetInstance()->GetRefCount(ZHashedString(name)), 0) << name;
    }
}

// The pictures in docs/: with KORV_DISPLAY_DOCS=dir each is written there.
TEST_F(SceneOverlaysGlTest, PicturesOfTheScene) {
    Start(640, 480);
    harness.SetCard(TestCard);
    ZBaseGame* game = ZBaseGame::GetInstance();
    Frames(4);
    Shot("display-crt.png");

    Settings().crtSim = false;
    ApplyCRTPassSetting();
    Frames(2);
    Shot("display-flat.png");
    Settings().anaglyph3D = true;
    ApplyAnaglyphPassSetting();
    Frames(2);
    Shot("display-anaglyph.png");
    Settings().anaglyph3D = false;
    ApplyAnaglyphPassSetting();
    Settings().crtSim = true;
    ApplyCRTPassSetting();

    ZTexture* map = ZTextureMgr::GetInstance()->CreateTexture(256, 256, ZHashedString("MINIMAP_TEXTURE"));
    ASSERT_NE(map, nullptr);
    PaintMinimapTexture(*map);
    Display().minimapView = PlayerView;
    Display().minimapAvailable = true;
    ApplyMinimapVisibility();
    GetUpdateRegistry()->Run(0.0f, 1);
    Frames(4);
    Shot("display-maps.png");
    Display().minimapAvailable = false;
    ApplyMinimapVisibility();
    Display().minimapView = nullptr;
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString("MINIMAP_TEXTURE"));

    Overlays().GetWipeShader()->offset = ZVector4(0.0f, 50.0f, 0.0f, 0.0f);
    Frames(4);
    Shot("display-wipe.png");
    Overlays().GetWipeShader()->offset = ZVector4(0.0f, 0.0f, 0.0f, 0.0f);

    SetUpScreenGroups(*game);
    Overlays().GetRenderable(SceneOverlays::kStatic).visible = true;
    // Nine seconds into the cycle: the static alone, between two pictures.
    Overlays().GetStaticShader()->SetAttractStart(0, -9.0f);
    Frames(4);
    Shot("display-static.png");
    // Half a second later into the fade the next picture comes through.
    Overlays().GetStaticShader()->SetAttractStart(0, -14.0f);
    Overlays().GetRenderable(SceneOverlays::kTunerBack).visible = true;
    Overlays().GetRenderable(SceneOverlays::kTunerBall).visible = true;
    GetUpdateRegistry()->Run(0.0f, 1);  // the ball onto the dial
    Frames(4);
    Shot("display-tuner.png");
    const std::vector<uint32_t> clean = Clean();
    EXPECT_EQ(clean[At(210, 100)] & 0xFFFFFFu, Rgb(52, 52, 60) & 0xFFFFFFu) << "the tuner over the static";
}
