#include "framework/ZConfigCallbacks.h"

#include <cmath>

#include "foundation/ZString.h"
#include "framework/ZEngineConfigVars.h"
#include "framework/ZLocMgr.h"

namespace {

float StepOf(const float rate) {
    return rate > 0.0f ? 1.0f / rate : 0.0f;
}

}  // namespace

void OnFrameRateChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    vars->m_fixedEngineStep = StepOf(vars->m_fixedEngineFPS);
    vars->m_fixedGameStep = StepOf(vars->m_fixedGameFPS);
    vars->m_longestGameStep = StepOf(vars->m_minGameFPS);
}

void OnFOVChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars != nullptr) {
        vars->SetCameraFieldOfView(vars->m_fov);
    }
}

void OnMouseScalarChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    const float s = vars->m_mouseScalar;
    vars->SetMouseFactor(s < 0.0f ? 1.0f / (1.0f - s) : s + 1.0f);
}

void OnLockCursorChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars != nullptr) {
        vars->ConfineCursor(vars->m_lockCursor);
    }
}

void OnBrightnessChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars != nullptr) {
        vars->m_brightnessExponent = std::exp2(-vars->m_brightness);
    }
}

void OnTateChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    if (vars->m_tate < 0 || vars->m_tate > 3) {
        vars->m_tate = 0;
    }
    vars->ApplyVideoOptions();
}

void OnVideoOptionChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars != nullptr) {
        vars->ApplyVideoOptions();
    }
}

void OnPixelSizeChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    if (vars->m_pixelSize < 1.0f) {
        vars->m_pixelSize = 1.0f;
    }
    vars->ApplyVideoOptions();
}

void OnAudioOptionChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars != nullptr) {
        vars->SetAudioOptions(vars->m_masterVolume, vars->m_musicVolume, vars->m_soundVolume,
                              vars->m_streamWriteDelay, vars->m_multiSynthExclusiveChannels);
    }
}

void OnScreenshotFormatChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    const ZString format = ZString(vars->m_screenshotFormat).KeepIdentifierChars().ToLower();
    // Interned with case, so that an earlier "BMP" does not lend its spelling.
    if (format == "bmp") {
        vars->m_screenshotFormat = ZHashedString("bmp", true);
    } else if (format == "jpg" || format == "jpeg") {
        vars->m_screenshotFormat = ZHashedString("jpg", true);
    } else if (format == "png") {
        vars->m_screenshotFormat = ZHashedString("png", true);
    } else if (format == "dds") {
        vars->m_screenshotFormat = ZHashedString("dds", true);
    }
}

void OnLanguageChanged() {
    ZEngineConfigVars* vars = ZEngineConfigVars::GetInstance();
    if (vars == nullptr) {
        return;
    }
    ZLocMgr* localization = ZLocMgr::GetInstance();
    if (localization != nullptr) {
        localization->ChangeLanguage(ZString(vars->m_language).GetText());
    }
}
