// The setting appliers and the anaglyph clear-pass callbacks, on the game's
// passes in a renderer without a device.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayState.h"
#include "game/display/GameRenderPasses.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"

namespace {

const char* const kSwitched3D[] = {
    "Clear Pass (3D)",          "HUD Backdrop Pass (3D)",         "World Background Pass (3D)",
    "World Sprites Pass (3D)",  "Debug Background Pass (3D)",     "World Foreground Pass (3D)",
    "Minimap Pass (Back) (3D)", "Minimap Pass (Content) (3D)",    "Minimap Pass (Indicator) (3D)",
    "Wipe Pass (3D)",           "Static Pass (3D)",               "HUD Pass (3D)",
    "Tuner Back Pass (3D)",     "Tuner Ball Pass (3D)",           "Anaglyph Pass",
};

class DisplayAppliersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZBaseGame::DestroyInstance();
        ZBaseGame* game = ZBaseGame::GetInstance();
        game->SetLogging(false);
        CreateGameRenderPasses(*game);
        CreateGameRenderGroups(*game);
        AssignGameGroupsToPasses(*game);
        display = GetDisplayState();
    }
    void TearDown() override {
        ClearConfigRegistry();
        DestroyDisplayState();
        ZBaseGame::DestroyInstance();
        DestroyRenderer();
    }
    static ZRenderPassDesc* Pass(const char* name) { return GetRenderer()->FindRenderPass(ZHashedString(name)); }

    DisplayState* display = nullptr;
};

}  // namespace

TEST_F(DisplayAppliersTest, CrtAndAnaglyphNeverStayOnTogether) {
    struct Case {
        bool crtFirst;  // which setting was on before the other was switched on
    };
    for (const Case c : {Case{true}, Case{false}}) {
        DisplaySettings& s = display->Settings();
        s.crtSim = c.crtFirst;
        s.anaglyph3D = !c.crtFirst;
        ApplyAnaglyphPassSetting();
        // Now switch the other one on.
        if (c.crtFirst) {
            s.anaglyph3D = true;
            ApplyAnaglyphPassSetting();
        } else {
            s.crtSim = true;
            ApplyCRTPassSetting();
        }
        EXPECT_NE(s.crtSim, s.anaglyph3D);
        EXPECT_EQ(s.anaglyph3D, c.crtFirst) << "the one switched on last stays on";
        for (const char* name : kSwitched3D) EXPECT_EQ(Pass(name)->enabled, s.anaglyph3D) << name;
        // The full-map twins and the 2D passes are not the switch's business.
        EXPECT_TRUE(Pass("Full Map Pass (Content) (3D)")->enabled);
        EXPECT_TRUE(Pass("Full Map Pass (Indicator) (3D)")->enabled);
        EXPECT_TRUE(Pass("World Sprites Pass")->enabled);
    }
}

TEST_F(DisplayAppliersTest, CrtSwitchLeavesThePassesAloneBeforeTheSceneExists) {
    Pass("NTSC Pass")->enabled = true;
    display->Settings().crtSim = false;
    ApplyCRTPassSetting();
    EXPECT_TRUE(Pass("NTSC Pass")->enabled);
    // Without a game display nothing happens at all.
    DestroyDisplayState();
    ApplyCRTPassSetting();
    ApplyAnaglyphPassSetting();
    ApplyMinimapVisibility();
    ClearPassEyeSetup(0);
    EXPECT_EQ(PeekDisplayState(), nullptr);
    display = GetDisplayState();
}

TEST_F(DisplayAppliersTest, ReverbWordPacksClampedFields) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        bool on;
        float high, low, dry, wet, atten;
        uint32_t want;
    };
    const Case cases[] = {
        {true, 200.0f, 40.0f, 1.0f, 0.2f, 5.0f, 200u << 20 | 40u << 12 | 15u << 8 | 3u << 4 | 5u},
        {false, 200.0f, 40.0f, 1.0f, 0.2f, 5.0f, 0u},
        {true, 5000.0f, -3.0f, 2.0f, -1.0f, 99.0f, 1023u << 20 | 0u << 12 | 15u << 8 | 0u << 4 | 15u},
        {true, nan, 255.9f, nan, 0.99f, 0.5f, 0u << 20 | 255u << 12 | 0u << 8 | 14u << 4 | 0u},
    };
    for (const Case& c : cases) {
        DisplaySettings& s = display->Settings();
        s.reverb = c.on;
        s.highDelay = c.high;
        s.lowDelay = c.low;
        s.dryMix = c.dry;
        s.wetMix = c.wet;
        s.attenSpeed = c.atten;
        EXPECT_EQ(PackReverbWord(s), c.want) << std::hex << c.want;
    }
}

TEST_F(DisplayAppliersTest, EyeTintsFromTheTintSettings) {
    struct Case {
        bool passFlag;
        float tint;
        ZVector4 want;
    };
    const Case cases[] = {
        {true, 0.0f, {1.0f, 0.0f, 0.0f, 1.0f}},   {true, 0.5f, {1.0f, 0.5f, 0.0f, 1.0f}},
        {true, -0.5f, {1.0f, 0.0f, 0.5f, 1.0f}},  {false, -0.25f, {0.0f, 0.25f, 1.0f, 1.0f}},
        {false, 0.3f, {0.3f, 0.0f, 1.0f, 1.0f}},
    };
    for (const Case& c : cases) {
        (c.passFlag ? display->Settings().redTint : display->Settings().blueTint) = c.tint;
        EXPECT_EQ(GetAnaglyphEyeTint(c.passFlag), c.want) << c.passFlag << " " << c.tint;
    }
}

TEST_F(DisplayAppliersTest, ClearPassesSetTheEyeOrClearNeutrally) {
    display->roomBackground = ZColor32(128, 128, 128, 255);
    DisplaySettings& s = display->Settings();
    // Anaglyph off: the background as it is, a neutral eye, the final view.
    s.anaglyph3D = false;
    display->eyeDistance = 0.5f;
    ClearPassEyeSetup(0);
    EXPECT_EQ(Pass("Clear Pass")->clearColorValue, ZColor32(128, 128, 128, 255));
    EXPECT_EQ(Pass("Clear Pass (3D)")->clearColorValue, ZColor32(128, 128, 128, 255));
    EXPECT_EQ(display->eyeDistance, 0.0f);
    EXPECT_EQ(display->GetAnaglyphColor(), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(display->GetAnaglyphDesaturation(), 1.0f);
    EXPECT_TRUE(GetRenderer()->finalView);

    // Anaglyph on, nothing dimmed, no gamma, full colour: a grey stays grey
    // and each eye's clear colour is its filter over it.
    s.anaglyph3D = true;
    s.crtSim = false;
    s.backgroundDimming = 0.0f;
    s.anaglyphBrightness = 0.0f;
    s.anaglyphDesaturation = 0.0f;
    struct Case {
        bool swap;
        void (*callback)(int32_t);
        float distance;
        ZColor32 clear;
        bool finalView;
    };
    const Case cases[] = {
        {false, ClearPassEyeSetup, -0.0078125f, ZColor32(64, 0, 0, 255), false},
        {false, ClearPass3DEyeSetup, 0.0078125f, ZColor32(0, 16, 64, 255), true},
        {true, ClearPassEyeSetup, 0.0078125f, ZColor32(64, 0, 0, 255), false},
        {true, ClearPass3DEyeSetup, -0.0078125f, ZColor32(0, 16, 64, 255), true},
    };
    for (const Case& c : cases) {
        s.eyeSwap = c.swap;
        c.callback(0);
        EXPECT_EQ(display->GetAnaglyphDistance(), c.distance) << "swap " << c.swap;
        EXPECT_EQ(Pass("Clear Pass")->clearColorValue, c.clear) << "swap " << c.swap;
        EXPECT_EQ(Pass("Clear Pass (3D)")->clearColorValue, c.clear) << "swap " << c.swap;
        EXPECT_EQ(GetRenderer()->finalView, c.finalView);
    }
    // Full dimming (the default) clears to black.
    s.backgroundDimming = 1.0f;
    ClearPassEyeSetup(0);
    EXPECT_EQ(Pass("Clear Pass")->clearColorValue, ZColor32(0, 0, 0, 0));
}

TEST_F(DisplayAppliersTest, MinimapShowsOnlyWithItsImagesAndTheSetting) {
    ZRenderable quads[3];
    for (ZRenderable& q : quads) q.visible = true;
    // While any quad is missing, nothing changes.
    display->minimapQuads[0] = &quads[0];
    display->Settings().showMinimap = false;
    ApplyMinimapVisibility();
    EXPECT_TRUE(quads[0].visible);
    for (int i = 0; i < 3; ++i) display->minimapQuads[i] = &quads[i];
    struct Case {
        bool available, show, visible;
    };
    for (const Case c : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
        display->minimapAvailable = c.available;
        display->Settings().showMinimap = c.show;
        ApplyMinimapVisibility();
        for (const ZRenderable& q : quads) EXPECT_EQ(q.visible, c.visible);
    }
}

TEST_F(DisplayAppliersTest, CameraStandsWhereTheViewSpansTheScreen) {
    ZCamera camera(75.0f, 1.0f, 1.0f, 100.0f);
    camera.SetPosition(ZVector3(3.0f, 4.0f, 5.0f));
    PlaceGameCamera(camera, 90.0f);
    EXPECT_NEAR(camera.GetPosition().x, -1.0f, 1e-5f);
    EXPECT_EQ(camera.GetPosition().y, 0.0f);
    PlaceGameCamera(camera, 60.0f);
    EXPECT_NEAR(camera.GetPosition().x, -std::sqrt(3.0f), 1e-5f);
    // An angle that spans nothing leaves the camera where it is.
    PlaceGameCamera(camera, 0.0f);
    EXPECT_NEAR(camera.GetPosition().x, -std::sqrt(3.0f), 1e-5f);
}

