#include "framework/ZEngineConfigVars.h"

#include "foundation/ZLog.h"
#include "framework/ZConfigVar.h"

namespace {

ZEngineConfigVars* g_instance = nullptr;

void AttachRange(const ZHashedString section, const ZHashedString name, const float step, const float minimum,
                 const float maximum) {
    ZConfigVar& var = FindOrAddConfigVar(section, name);
    var.hasRange = true;
    var.step = step;
    var.minimum = minimum;
    var.maximum = maximum;
}

}  // namespace

ZEngineConfigVars::ZEngineConfigVars() {
    g_instance = this;
}

ZEngineConfigVars::~ZEngineConfigVars() {
    if (g_instance == this) {
        g_instance = nullptr;
    }
}

ZEngineConfigVars* ZEngineConfigVars::GetInstance() {
    return g_instance;
}

void ZEngineConfigVars::ChooseWindowedSize(const int32_t monitorWidth, const int32_t monitorHeight,
                                           int32_t& width, int32_t& height) {
    static const int32_t kSizes[][2] = {{1024, 768}, {800, 600}, {640, 480}, {320, 240}};
    for (const auto& size : kSizes) {
        if (size[0] < monitorWidth && size[1] < monitorHeight) {
            width = size[0];
            height = size[1];
            return;
        }
    }
    width = 320;
    height = 240;
}

void ZEngineConfigVars::ApplyVideoOptions() {
    const int32_t width = m_fullscreen ? m_widthFullscreen : m_widthWindowed;
    const int32_t height = m_fullscreen ? m_heightFullscreen : m_heightWindowed;
    // FXAA goes with the rest, so that changing any other option keeps it.
    SetAllVideoOptions(width, height, m_vsync, m_fullscreen, m_fullscreenWindowed,
                       m_fullscreenWindowedStretch, m_fxaa, m_tate);
}

void ZEngineConfigVars::registerConfigVars() {
    ZLog::Printf("ZBaseGame::registerConfigVars");

    int32_t windowedWidth = 0;
    int32_t windowedHeight = 0;
    ChooseWindowedSize(m_primaryMonitorWidth, m_primaryMonitorHeight, windowedWidth, windowedHeight);

    const ZHashedString base = ZHashedString::None();
    RegisterConfigVarBool(base, ZHashedString("ShowInitialSetup"), &m_showInitialSetup, true, nullptr);
    RegisterConfigVarString(base, ZHashedString("Language"), &m_language, ZHashedString(""),
                            OnLanguageChanged);
    RegisterConfigVarBool(base, ZHashedString("QuickStart"), &m_quickStart, false, nullptr);
    RegisterConfigVarBool(base, ZHashedString("StartInConsole"), &m_startInConsole, false, nullptr);
    RegisterConfigVarBool(base, ZHashedString("ShowInitWarnings"), &m_showInitWarnings, true, nullptr);
    RegisterConfigVarFloat(base, ZHashedString("FixedEngineFPS"), &m_fixedEngineFPS,
                           GetDefaultFixedEngineFPS(), OnFrameRateChanged);
    RegisterConfigVarFloat(base, ZHashedString("FixedGameFPS"), &m_fixedGameFPS, GetDefaultFixedGameFPS(),
                           OnFrameRateChanged);
    RegisterConfigVarFloat(base, ZHashedString("MinGameFPS"), &m_minGameFPS, GetDefaultMinGameFPS(),
                           OnFrameRateChanged);
    RegisterConfigVarFloat(base, ZHashedString("FOV"), &m_fov, GetDefaultFOV(), OnFOVChanged);
    RegisterConfigVarBool(base, ZHashedString("ShowFPS"), &m_showFPS, false, nullptr);
    RegisterConfigVarBool(base, ZHashedString("DemoMode"), &m_demoMode, false, nullptr);
    RegisterConfigVarInt(base, ZHashedString("DemoModeHLD"), &m_demoModeHLD, 2, nullptr);
    RegisterConfigVarInt(base, ZHashedString("ScreenshotNumber"), &m_screenshotNumber, 0, nullptr);
    RegisterConfigVarString(base, ZHashedString("ScreenshotFormat"), &m_screenshotFormat,
                            ZHashedString("png"), OnScreenshotFormatChanged);
    RegisterConfigVarFloat(base, ZHashedString("DeadlockCheckTime"), &m_deadlockCheckTime, 10.0f, nullptr);
    RegisterConfigVarBool(base, ZHashedString("DevMode"), &m_devMode, false, nullptr);
    // The logging switch takes effect where each line asks for it.
    RegisterConfigVarBool(base, ZHashedString("DoLogging"), &m_doLogging, true, nullptr);
    RegisterConfigVarBool(base, ZHashedString("OpaqueDialogBoxes"), &m_opaqueDialogBoxes, false, nullptr);

    const ZHashedString video("Video");
    RegisterConfigVarInt(video, ZHashedString("WidthWindowed"), &m_widthWindowed, windowedWidth, nullptr);
    RegisterConfigVarInt(video, ZHashedString("HeightWindowed"), &m_heightWindowed, windowedHeight, nullptr);
    RegisterConfigVarInt(video, ZHashedString("WidthFullscreen"), &m_widthFullscreen, m_primaryMonitorWidth,
                         nullptr);
    RegisterConfigVarInt(video, ZHashedString("HeightFullscreen"), &m_heightFullscreen,
                         m_primaryMonitorHeight, nullptr);
    RegisterConfigVarBool(video, ZHashedString("Fullscreen"), &m_fullscreen, true, OnVideoOptionChanged);
    RegisterConfigVarBool(video, ZHashedString("FullscreenWindowed"), &m_fullscreenWindowed, true,
                          OnVideoOptionChanged);
    RegisterConfigVarBool(video, ZHashedString("FullscreenWindowedStretch"), &m_fullscreenWindowedStretch,
                          true, OnVideoOptionChanged);
    RegisterConfigVarInt(video, ZHashedString("FXAA"), &m_fxaa, 0, OnVideoOptionChanged);
    RegisterConfigVarBool(video, ZHashedString("VSync"), &m_vsync, true, OnVideoOptionChanged);
    RegisterConfigVarBool(video, ZHashedString("DelayPresentation"), &m_delayPresentation, false, nullptr);
    RegisterConfigVarFloat(video, ZHashedString("Brightness"), &m_brightness, 0.0f, OnBrightnessChanged);
    RegisterConfigVarInt(video, ZHashedString("Tate"), &m_tate, 0, OnTateChanged);
    RegisterConfigVarFloat(video, ZHashedString("FixedAspectRatio"), &m_fixedAspectRatio,
                           GetDefaultFixedAspectRatio(), OnVideoOptionChanged);
    RegisterConfigVarFloat(video, ZHashedString("PixelSize"), &m_pixelSize, GetDefaultPixelSize(),
                           OnPixelSizeChanged);
    RegisterConfigVarVector4(video, ZHashedString("BackgroundColor"), m_backgroundColor, 0.0f, 0.0f, 0.0f,
                             1.0f);

    const ZHashedString audio("Audio");
    RegisterConfigVarFloat(audio, ZHashedString("MasterVolume"), &m_masterVolume, GetDefaultMasterVolume(),
                           OnAudioOptionChanged);
    RegisterConfigVarFloat(audio, ZHashedString("MusicVolume"), &m_musicVolume, GetDefaultMusicVolume(),
                           OnAudioOptionChanged);
    RegisterConfigVarFloat(audio, ZHashedString("SoundVolume"), &m_soundVolume, GetDefaultSoundVolume(),
                           OnAudioOptionChanged);
    RegisterConfigVarFloat(audio, ZHashedString("StreamLength"), &m_streamLength, 0.5f, nullptr);
    RegisterConfigVarFloat(audio, ZHashedString("StreamUpdatePercent"), &m_streamUpdatePercent, 0.25f,
                           nullptr);
    RegisterConfigVarFloat(audio, ZHashedString("StreamWriteDelay"), &m_streamWriteDelay, 0.05f,
                           OnAudioOptionChanged);
    RegisterConfigVarBool(audio, ZHashedString("MuteWhenUnfocused"), &m_muteWhenUnfocused, false, nullptr);
    RegisterConfigVarBool(audio, ZHashedString("MultiSynthExclusiveChannels"), &m_multiSynthExclusiveChannels,
                          false, OnAudioOptionChanged);

    const ZHashedString input("Input");
    RegisterConfigVarFloat(input, ZHashedString("MouseScalar"), &m_mouseScalar, 0.0f, OnMouseScalarChanged);
    RegisterConfigVarBool(input, ZHashedString("LockCursor"), &m_lockCursor, false, OnLockCursorChanged);
    RegisterConfigVarString(input, ZHashedString("Controller"), &m_controller, ZHashedString(""), nullptr);
    RegisterConfigVarBool(input, ZHashedString("UsePreferredController"), &m_usePreferredController, true,
                          nullptr);

    AttachRange(video, ZHashedString("Brightness"), 0.05f, -1.0f, 1.0f);
    AttachRange(audio, ZHashedString("MasterVolume"), 0.05f, 0.0f, 1.0f);
    AttachRange(audio, ZHashedString("MusicVolume"), 0.05f, 0.0f, 1.0f);
    AttachRange(audio, ZHashedString("SoundVolume"), 0.05f, 0.0f, 1.0f);
    AttachRange(input, ZHashedString("MouseScalar"), 0.25f, -5.0f, 5.0f);
}
