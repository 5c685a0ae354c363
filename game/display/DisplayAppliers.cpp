#include "game/display/DisplayAppliers.h"

#include <cmath>

#include "foundation/ZColor.h"
#include "foundation/ZColor32.h"
#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"

namespace {

// The passes switch only once a renderer exists; a setting read from
// Config.ini before the device is there must not make one.
void SetPassEnabled(const char* name, const bool enabled) {
    if (const ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderPassDesc* pass = renderer->FindRenderPass(ZHashedString(name))) pass->enabled = enabled;
    }
}

void SetGroupEnabled(const char* name, const bool enabled) {
    if (const ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(ZHashedString(name))) group->enabled = enabled;
    }
}

void SetClearColors(const ZColor32 color) {
    if (const ZRenderer* renderer = PeekRenderer()) {
        for (const char* name : {"Clear Pass", "Clear Pass (3D)"}) {
            if (ZRenderPassDesc* pass = renderer->FindRenderPass(ZHashedString(name))) pass->clearColorValue = color;
        }
    }
}

void SetFinalView(const bool on) {
    if (ZRenderer* renderer = PeekRenderer()) renderer->finalView = on;
}

int32_t ClampTruncate(const float value, const int32_t high) {
    if (!(value > 0.0f)) return 0;  // negatives and not-a-number
    if (value >= static_cast<float>(high)) return high;
    return static_cast<int32_t>(value);
}

}  // namespace

void ApplyCRTPassSetting() {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    DisplaySettings& s = display->Settings();
    if (s.anaglyph3D && s.crtSim) {
        s.anaglyph3D = false;
        ApplyAnaglyphPassSetting();
    }
    const DisplayChain* chain = display->GetChain();
    if (chain == nullptr || !chain->IsSetUp()) return;
    SetPassEnabled("NTSC Pass", s.crtSim);
    SetPassEnabled("Composite Pass", s.crtSim);
    SetGroupEnabled("Screen Group", s.crtSim);
    SetGroupEnabled("No CRT Group", !s.crtSim);
}

void ApplyAnaglyphPassSetting() {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    DisplaySettings& s = display->Settings();
    if (s.anaglyph3D && s.crtSim) {
        s.crtSim = false;
        ApplyCRTPassSetting();
    }
    static const char* const kPasses[] = {
        "Clear Pass (3D)",          "HUD Backdrop Pass (3D)",         "World Background Pass (3D)",
        "World Sprites Pass (3D)",  "Debug Background Pass (3D)",     "World Foreground Pass (3D)",
        "Minimap Pass (Back) (3D)", "Minimap Pass (Content) (3D)",    "Minimap Pass (Indicator) (3D)",
        "Wipe Pass (3D)",           "Static Pass (3D)",               "HUD Pass (3D)",
        "Tuner Back Pass (3D)",     "Tuner Ball Pass (3D)",           "Anaglyph Pass",
    };
    for (const char* name : kPasses) SetPassEnabled(name, s.anaglyph3D);
}

void ApplyMinimapVisibility() {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    for (const ZRenderable* quad : display->minimapQuads) {
        if (quad == nullptr) return;
    }
    const bool show = display->minimapAvailable && display->Settings().showMinimap;
    for (ZRenderable* quad : display->minimapQuads) quad->visible = show;
}

void MakeWayForDialog(const bool dialogShowing) {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    // Without a dialog only what a dialog hid comes back; hiding is the
    // minimap setting's and the map's business.
    const bool shown = display->minimapAvailable && display->Settings().showMinimap;
    if (!dialogShowing && !shown) return;
    for (ZRenderable* quad : display->minimapQuads) {
        if (quad != nullptr) quad->visible = !dialogShowing;
    }
}

uint32_t PackReverbWord(const DisplaySettings& s) {
    if (!s.reverb) return 0;
    const uint32_t high = static_cast<uint32_t>(ClampTruncate(s.highDelay, 1023));
    const uint32_t low = static_cast<uint32_t>(ClampTruncate(s.lowDelay, 255));
    const uint32_t dry = static_cast<uint32_t>(ClampTruncate(s.dryMix * 15.0f, 15));
    const uint32_t wet = static_cast<uint32_t>(ClampTruncate(s.wetMix * 15.0f, 15));
    const uint32_t atten = static_cast<uint32_t>(ClampTruncate(s.attenSpeed, 15));
    return high << 20 | low << 12 | dry << 8 | wet << 4 | atten;
}

void ApplyBorderSetting() {
    const DisplayState* display = PeekDisplayState();
    if (display == nullptr || display->GetChain() == nullptr) return;
    if (ZRenderable* monitor = display->GetChain()->GetMonitorRenderable()) monitor->visible = display->Settings().showBorder;
}

ZVector4 GetAnaglyphEyeTint(const bool passFlag) {
    const DisplayState* display = PeekDisplayState();
    const DisplaySettings defaults;
    const DisplaySettings& s = display != nullptr ? display->Settings() : defaults;
    if (passFlag) {
        return s.redTint >= 0.0f ? ZVector4(1.0f, s.redTint, 0.0f, 1.0f) : ZVector4(1.0f, 0.0f, -s.redTint, 1.0f);
    }
    return s.blueTint >= 0.0f ? ZVector4(s.blueTint, 0.0f, 1.0f, 1.0f) : ZVector4(0.0f, -s.blueTint, 1.0f, 1.0f);
}

void ResetAnaglyphEyeState() {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    display->eyeDistance = 0.0f;
    display->distanceOffset = 0.0f;
    display->eyeColor = ZVector4(1.0f, 1.0f, 1.0f, 1.0f);
    SetClearColors(display->roomBackground);
    SetFinalView(true);
    if (display->onEyeChanged != nullptr) display->onEyeChanged(*display);
}

void SetUpAnaglyphEye(const float eyeSign, const bool passFlag) {
    DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    display->eyeDistance = eyeSign * 0.0078125f;
    display->distanceOffset = 0.0f;
    display->eyeColor = GetAnaglyphEyeTint(passFlag);

    const ZColor32 bg = display->roomBackground;
    const double inv255 = 0.003921568859368563;
    float c[4] = {static_cast<float>(bg.r * inv255), static_cast<float>(bg.g * inv255),
                  static_cast<float>(bg.b * inv255), static_cast<float>(bg.a * inv255)};
    const double third = static_cast<double>(0.333f);
    const float grey = static_cast<float>(third * c[0] + third * c[1] + third * c[2] + 0.0 * c[3]);
    const float d = display->GetAnaglyphDesaturation();
    for (float& v : c) v = grey + (v - grey) * d;
    const ZVector4 gamma = display->GetAnaglyphGamma();
    const float exponents[3] = {gamma.x, gamma.y, gamma.z};
    for (int k = 0; k < 3; ++k) c[k] = std::pow(c[k] > 0.0f ? c[k] : 0.0f, exponents[k]);
    const ZVector4& eye = display->eyeColor;
    const float dimming = 1.0f - display->Settings().backgroundDimming;
    const ZColor by(c[0] * eye.x * dimming, c[1] * eye.y * dimming, c[2] * eye.z * dimming, c[3] * eye.w * dimming);
    SetClearColors(ZColor32::Modulate(bg, by));
    SetFinalView(!passFlag);
    if (display->onEyeChanged != nullptr) display->onEyeChanged(*display);
}

void ClearPassEyeSetup(int32_t) {
    const DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    if (!display->Settings().anaglyph3D) {
        ResetAnaglyphEyeState();
        return;
    }
    SetUpAnaglyphEye(display->Settings().eyeSwap ? 1.0f : -1.0f, true);
}

void ClearPass3DEyeSetup(int32_t) {
    const DisplayState* display = PeekDisplayState();
    if (display == nullptr) return;
    if (!display->Settings().anaglyph3D) {
        ResetAnaglyphEyeState();
        return;
    }
    SetUpAnaglyphEye(display->Settings().eyeSwap ? -1.0f : 1.0f, false);
}

void PlaceGameCamera(ZCamera& camera, const float fovDegrees) {
    const double h = static_cast<double>(fovDegrees) * 0.5 * 0.01745329238474369;
    const double s = std::sin(h);
    if (!(s > 0.0) || !std::isfinite(s)) return;
    camera.SetPosition(ZVector3(static_cast<float>(-std::cos(h) / s), 0.0f, 0.0f));
}

void PlaceSceneCamera() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZCamera* camera = game != nullptr ? game->GetCamera() : nullptr;
    if (camera == nullptr) return;
    PlaceGameCamera(*camera, game->m_fov);
    camera->SetOrientation(ZVector3(1.0f, 0.0f, 0.0f), ZVector3(0.0f, 0.0f, 1.0f));
}
