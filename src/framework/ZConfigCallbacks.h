#pragma once

#include <cstdint>

// The services that the engine's configuration variables feed. The change
// callbacks below hand new values to them through this interface, whose
// operations all do nothing here. The base game overrides them, forwarding to
// the camera, the input handler, the window, the renderer and the audio
// manager. (The language goes straight to the localisation manager, which
// exists from its first use.) Callbacks run from registration on, before those
// services exist, so an override must cope with a service that is not there.
class ZConfigHooks {
public:
    virtual ~ZConfigHooks() = default;

    // The whole set of video options (the base game's SetAllVideoOptions:
    // stores them, resets the renderer and restyles the window).
    virtual void SetAllVideoOptions(int32_t /*width*/, int32_t /*height*/, bool /*vsync*/,
                                    bool /*fullscreen*/, bool /*fullscreenWindowed*/, bool /*stretch*/,
                                    int32_t /*fxaa*/, int32_t /*tate*/) {}
    // The camera, when there is one, takes the field of view in degrees; then
    // the game hears of it (OnCameraFOVChanged).
    virtual void SetCameraFieldOfView(float /*fov*/) {}
    // The input handler's factor on mouse movement.
    virtual void SetMouseFactor(float /*factor*/) {}
    // Locked: clip the cursor to the window's client area, when the window
    // exists and is active. Unlocked: free the cursor.
    virtual void ConfineCursor(bool /*locked*/) {}
    // The audio manager's master volume; the volumes of the effect and music
    // groups (each sound of them re-applying its volume); and the manager's
    // copies of the exclusive-channels flag, write delay and both volumes.
    virtual void SetAudioOptions(float /*masterVolume*/, float /*musicVolume*/, float /*soundVolume*/,
                                 float /*streamWriteDelay*/, bool /*multiSynthExclusiveChannels*/) {}
};

// The change callbacks of the engine's variables. Each reads the variables of
// ZEngineConfigVars::GetInstance() and does nothing when there is none.

// FixedEngineFPS, FixedGameFPS, MinGameFPS: the fixed engine step, fixed game
// step and longest game step become 1 / rate, or 0 for a rate of 0 or below.
void OnFrameRateChanged();
// FOV: to the camera.
void OnFOVChanged();
// MouseScalar s: the mouse factor is 1 / (1 - s) below 0, else s + 1.
void OnMouseScalarChanged();
// LockCursor: confine or free the cursor.
void OnLockCursorChanged();
// Brightness b: the brightness exponent becomes 2 to the power of -b.
void OnBrightnessChanged();
// Tate: outside 0..3 it becomes 0; then the video options are applied.
void OnTateChanged();
// Fullscreen, FullscreenWindowed, FullscreenWindowedStretch, FXAA, VSync,
// FixedAspectRatio: the video options are applied.
void OnVideoOptionChanged();
// PixelSize: below 1 it becomes 1; then the video options are applied.
void OnPixelSizeChanged();
// MasterVolume, MusicVolume, SoundVolume, StreamWriteDelay,
// MultiSynthExclusiveChannels: to the audio manager.
void OnAudioOptionChanged();
// ScreenshotFormat: reduced to letters, digits and '_' and lowered, then
// "bmp", "jpg" (or "jpeg"), "png" and "dds" are stored in that spelling; any
// other text is left as it was set.
void OnScreenshotFormatChanged();
// Language: to the localisation manager (ZLocMgr::ChangeLanguage): empty
// switches to the default language; "xxx" (any case) does too and turns
// pseudo-localisation on; anything else loads that language. Pseudo-
// localisation is off except for "xxx".
void OnLanguageChanged();
