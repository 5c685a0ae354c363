#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "framework/ZConfigCallbacks.h"

// The engine's own configuration variables: their live values, the values
// their callbacks derive, their defaults and their registration. The base
// game derives from this class (next to ZAppInfo), so the fields are the base
// game's and a game overrides the default getters, registerConfigVars and the
// service hooks of ZConfigHooks.
//
// Registration order is the order of Config.ini and of console listings: the
// base section, then "Video", "Audio" and "Input"; a game's override calls
// this version first and then registers its own sections.
class ZEngineConfigVars : public ZConfigHooks {
public:
    ZEngineConfigVars();
    ~ZEngineConfigVars() override;
    ZEngineConfigVars(const ZEngineConfigVars&) = delete;
    ZEngineConfigVars& operator=(const ZEngineConfigVars&) = delete;

    // The object the engine's callbacks read: the one most recently made that
    // still exists (the base game). Null when there is none.
    static ZEngineConfigVars* GetInstance();

    // Registers every engine variable with its default, range and callback;
    // each callback runs once here. The primary monitor size must be set first.
    virtual void registerConfigVars();

    // Defaults a game may change.
    virtual float GetDefaultFOV() const { return 75.0f; }
    virtual float GetDefaultFixedAspectRatio() const { return 0.0f; }
    virtual float GetDefaultPixelSize() const { return 1.0f; }
    virtual float GetDefaultFixedEngineFPS() const { return 0.0f; }
    virtual float GetDefaultFixedGameFPS() const { return 0.0f; }
    virtual float GetDefaultMinGameFPS() const { return 10.0f; }
    virtual float GetDefaultMasterVolume() const { return 0.7f; }
    virtual float GetDefaultMusicVolume() const { return 0.3f; }
    virtual float GetDefaultSoundVolume() const { return 0.7f; }

    // SetAllVideoOptions with the full-screen size when Fullscreen is on (else
    // the windowed size) and the current VSync, full-screen flags, FXAA and Tate.
    void ApplyVideoOptions();

    // The windowed size for a monitor: the first of 1024x768, 800x600 and
    // 640x480 that is smaller than the monitor both ways, else 320x240.
    static void ChooseWindowedSize(int32_t monitorWidth, int32_t monitorHeight, int32_t& width,
                                   int32_t& height);

    // The primary monitor's size in pixels, set before registerConfigVars.
    int32_t m_primaryMonitorWidth = -1;
    int32_t m_primaryMonitorHeight = -1;

    // Base section.
    bool m_showInitialSetup = false;
    ZHashedString m_language;
    bool m_quickStart = false;
    bool m_startInConsole = false;
    bool m_showInitWarnings = false;
    float m_fixedEngineFPS = 0.0f;
    float m_fixedGameFPS = 0.0f;
    float m_minGameFPS = 0.0f;
    float m_fov = 0.0f;
    bool m_showFPS = false;
    bool m_demoMode = false;
    int32_t m_demoModeHLD = 0;
    int32_t m_screenshotNumber = 0;
    ZHashedString m_screenshotFormat;
    float m_deadlockCheckTime = 0.0f;
    bool m_devMode = false;
    bool m_doLogging = false;
    bool m_opaqueDialogBoxes = false;

    // "Video".
    int32_t m_widthWindowed = 0;
    int32_t m_heightWindowed = 0;
    int32_t m_widthFullscreen = 0;
    int32_t m_heightFullscreen = 0;
    bool m_fullscreen = false;
    bool m_fullscreenWindowed = false;
    bool m_fullscreenWindowedStretch = false;
    int32_t m_fxaa = 0;
    bool m_vsync = false;
    bool m_delayPresentation = false;
    float m_brightness = 0.0f;
    int32_t m_tate = 0;
    float m_fixedAspectRatio = 0.0f;
    float m_pixelSize = 0.0f;
    float m_backgroundColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // RGBA

    // "Audio".
    float m_masterVolume = 0.0f;
    float m_musicVolume = 0.0f;
    float m_soundVolume = 0.0f;
    float m_streamLength = 0.0f;
    float m_streamUpdatePercent = 0.0f;
    float m_streamWriteDelay = 0.0f;
    bool m_muteWhenUnfocused = false;
    bool m_multiSynthExclusiveChannels = false;

    // "Input".
    float m_mouseScalar = 0.0f;
    bool m_lockCursor = false;
    ZHashedString m_controller;  // the preferred joystick's name
    bool m_usePreferredController = false;

    // Derived by the callbacks; frame timing and the renderer read them.
    float m_fixedEngineStep = 0.0f;     // seconds, 0 = not fixed
    float m_fixedGameStep = 0.0f;       // seconds, 0 = variable steps
    float m_longestGameStep = 0.0f;     // seconds, 0 = no cap
    float m_brightnessExponent = 1.0f;  // 2 to the power of -Brightness
};
