#pragma once

#include <cstdint>

#include "framework/ZConfigVar.h"

// The game's display, lighting, anaglyph, NTSC and reverb settings: the
// storage of their configuration variables, with the game's defaults. The
// post-process shaders read them every time they draw, so a change shows on
// the next frame; the pass, palette and reverb settings also have change
// callbacks that carry them into the scene.
struct DisplaySettings {
    // [CRT]
    float pixelAspectRatio = 1.1428571939468384f;
    float overscan = 1.0f;
    float sharp = 0.8f;
    float pers = 0.7f;
    float persColor[4] = {1.0f, 0.75f, 0.6f, 0.0f};
    float bleed = 0.5f;
    float dim = 0.5f;
    float sat = 1.35f;
    float bloom = 0.25f;
    float bloomPower = 2.0f;
    float refl = 0.3f;
    float barrel = -0.115f;
    float scanBright = 0.45f;
    float scanOpacity = 1.0f;
    float ntsc = 0.5f;
    float ntscBlend = 0.35f;
    float ntscLUTBlend = 1.0f;
    // [Anaglyph]
    float anaglyphDesaturation = 0.875f;
    float anaglyphBrightness = 0.5f;
    float redTint = 0.0f;
    float blueTint = -0.25f;
    float backgroundDimming = 1.0f;
    bool eyeSwap = false;
    // [NTSC]
    float tint = 5.183185577392578f;
    float iScalar = 1.75f;
    float qScalar = 1.0f;
    // [Video]
    float bloomDown = 0.025f;
    float bloomUp = 0.025f;
    bool crtSim = true;
    bool anaglyph3D = false;
    // [Lighting]
    bool showBorder = true;
    float borderBrightness = 0.06f;
    float diffuseLight = 0.5f;
    float specularLight = 0.35f;
    float specularPower = 50.0f;
    float fresnelLight = 1.0f;
    float lightPosX = 5.0f;
    float lightPosY = -10.0f;
    // [Audio] and [Reverb]
    bool reverb = true;
    float highDelay = 200.0f;
    float lowDelay = 40.0f;
    float dryMix = 1.0f;
    float wetMix = 0.2f;
    float attenSpeed = 5.0f;
    // No section.
    bool showMinimap = true;
};

// The change callbacks of the settings that act on the scene (null: none).
struct DisplaySettingCallbacks {
    ZConfigCallback palette = nullptr;   // [NTSC] Tint, IScalar, QScalar
    ZConfigCallback border = nullptr;    // [Lighting] ShowBorder
    ZConfigCallback crt = nullptr;       // [Video] CRTSim
    ZConfigCallback anaglyph = nullptr;  // [Video] Anaglyph3D
    ZConfigCallback minimap = nullptr;   // ShowMinimap
    ZConfigCallback reverb = nullptr;    // [Audio] Reverb and [Reverb]
};

// Registers every variable above, stored in the given settings, with its
// default, slider range and change callback: the one table of the display's
// variables. The game registers them in its own settings; a program without
// the game (the display harness) in the display state's.
void RegisterDisplayConfigVars(DisplaySettings& storage, const DisplaySettingCallbacks& callbacks);
