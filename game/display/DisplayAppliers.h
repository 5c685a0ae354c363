#pragma once

#include <cstdint>

#include "foundation/ZVector4.h"

class ZCamera;
struct DisplaySettings;

// The operations that carry a display setting into the passes, groups and
// objects of the scene. Each is a configuration change callback, so each may
// run before the scene (or the display state) exists and then does only what
// it can. CRTSim and Anaglyph3D exclude each other: switching one on switches
// the other off.

// NTSC and composite passes and the CRT screen group on with CRTSim, the flat
// no-CRT group on without it.
void ApplyCRTPassSetting();
// The "(3D)" twins (not the two full-map twins) and the anaglyph pass on with Anaglyph3D.
void ApplyAnaglyphPassSetting();
// The minimap quads visible exactly while the map has its minimap and ShowMinimap is on.
void ApplyMinimapVisibility();
// Told every frame whether a dialog's text shows: its box takes the top of
// the screen, where the minimap sits, so the minimap hides until it closes.
void MakeWayForDialog(bool dialogShowing);
// The monitor case visible with ShowBorder.
void ApplyBorderSetting();

// Bits 20-29 high delay (ms, 0..1023), 12-19 low delay (ms, 0..255), 8-11 dry
// mix x 15, 4-7 wet mix x 15, 0-3 attenuation speed (each 0..15); each value
// clamped, then truncated. 0 while reverb is off. The game hands it to its
// synthesizer voice when the voice is made and when a reverb setting changes.
uint32_t PackReverbWord(const DisplaySettings& settings);

// Per-frame callbacks of "Clear Pass" and "Clear Pass (3D)": set the eye
// (shift, colour filter, clear colour) that the passes up to the next clear
// pass draw with.
void ClearPassEyeSetup(int32_t);
void ClearPass3DEyeSetup(int32_t);
// No eye: neutral state, both clear passes clear to the room's background.
void ResetAnaglyphEyeState();
// One eye: eyeSign -1 or +1 shifts the picture; passFlag true is the 2D
// (red-side) pass, false the 3D (blue-side) one.
void SetUpAnaglyphEye(float eyeSign, bool passFlag);
// The colour filter of an eye from RedTint or BlueTint.
ZVector4 GetAnaglyphEyeTint(bool passFlag);

// Puts the camera on the x axis, looking along it, at the distance where a
// field of view of fovDegrees just spans -1..1; an angle that spans nothing
// leaves the camera where it is.
void PlaceGameCamera(ZCamera& camera, float fovDegrees);
// The base game's camera placed for its FOV variable, looking along +x (z
// up); nothing without a game or a camera.
void PlaceSceneCamera();
