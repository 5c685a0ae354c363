#pragma once

#include "foundation/ZHashedString.h"

// Names and constants that exist before the entry point runs.
//
// The built-in names are interned once, in the order of the members below,
// while the program starts (or on first use, if another unit's start-up asks
// first), so any start-up order between units is safe. They hold plain ids and
// stay readable at exit. The none id is ZHashedString::None().

// The engine's render passes, render groups, sound groups and input device
// types. The base game answers its name getters from these; the renderer, the
// audio manager, the input handler and the bindings look things up by them.
struct ZBuiltinNames {
    // Render-target setters and render passes, in the order they run.
    ZHashedString preHUDTargetSetterPass{"__ZORP_PreHUD_RT_Setter"};
    ZHashedString defaultPass{"__ZORP_Default_Pass"};
    ZHashedString finalTargetSetterPass{"__ZORP_Final_RT_Setter"};
    ZHashedString preHUDPass{"__ZORP_PreHUD_Pass"};
    ZHashedString hudPass{"__ZORP_HUD_Pass"};
    ZHashedString menuPass{"__ZORP_Menu_Pass"};
    ZHashedString consolePass{"__ZORP_Console_Pass"};
    ZHashedString actualTargetSetterPass{"__ZORP_Actual_RT_Setter"};
    ZHashedString finalPass{"__ZORP_Final_Pass"};

    // Render groups.
    ZHashedString defaultGroup{"__ZORP_Default_Group"};
    ZHashedString defaultBackdropGroup{"__ZORP_Default_Backdrop_Group"};
    ZHashedString defaultAlphaGroup{"__ZORP_Default_Alpha_Group"};
    ZHashedString preHUDGroup{"__ZORP_PreHUD_Group"};
    ZHashedString hudGroup{"__ZORP_HUD_Group"};
    ZHashedString hudGlyphGroup{"__ZORP_HUD_Glyph_Group"};
    ZHashedString menuGroup{"__ZORP_Menu_Group"};
    ZHashedString menuGlyphGroup{"__ZORP_Menu_Glyph_Group"};
    ZHashedString menuBackdropGroup{"__ZORP_Menu_Backdrop_Group"};
    ZHashedString menuUnderlayGroup{"__ZORP_Menu_Underlay_Group"};
    ZHashedString consoleBackdropGroup{"__ZORP_Console_Backdrop_Group"};
    ZHashedString consoleGroup{"__ZORP_Console_Group"};
    ZHashedString consoleGlyphGroup{"__ZORP_Console_Glyph_Group"};
    ZHashedString finalGroup{"__ZORP_Final_Group"};
    ZHashedString titleScreenGroup{"__ZORP_Default_Title_Screen_Group"};

    // Sound groups.
    ZHashedString sfxAudioGroup{"__ZORP_AudioGroup_SFX"};
    ZHashedString bgmAudioGroup{"__ZORP_AudioGroup_BGM"};

    // Input device types; "Xbox" stands for the pads of the pad interface.
    ZHashedString keyboardDeviceType{"Keyboard"};
    ZHashedString mouseDeviceType{"Mouse"};
    ZHashedString joystickDeviceType{"Joystick"};
    ZHashedString xboxDeviceType{"Xbox"};
};

const ZBuiltinNames& GetBuiltinNames();

// Stick axes: full scale 31744, dead zone 6144. Triggers: full scale 240,
// dead zone 64. The scale turns the span between the two into 0..1.
inline constexpr int32_t kStickAxisFullScale = 31744;
inline constexpr int32_t kStickAxisDeadZone = 6144;
inline constexpr int32_t kTriggerFullScale = 240;
inline constexpr int32_t kTriggerDeadZone = 64;
inline constexpr float kStickAxisScale = 1.0f / static_cast<float>(kStickAxisFullScale - kStickAxisDeadZone);
inline constexpr float kTriggerScale = 1.0f / static_cast<float>(kTriggerFullScale - kTriggerDeadZone);

// The player's walking speed under water (half the 88.32 on land), and the
// player's 1.2 x 0.325 factor.
inline constexpr float kPlayerUnderwaterWalkSpeed = static_cast<float>(88.32 * 0.5);
inline constexpr float kPlayerScaledFactor = static_cast<float>(1.2 * 0.325);
