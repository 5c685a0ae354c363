#include "game/display/KorvanthPreHUDPassShader.h"

#include <algorithm>
#include <cmath>

#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderHost.h"

KorvanthPreHUDPassShader::Level KorvanthPreHUDPassShader::GetGameLevelEffect(const int32_t fxaaLevel) {
    static constexpr Level kLevels[5] = {
        {"Korvanth PreHUD_Pass Shader (FXAA: None)", "Korvanth_FXAA_None.fxo"},
        {"Korvanth PreHUD_Pass Shader (FXAA: Low)", "Korvanth_FXAA_Low.fxo"},
        {"Korvanth PreHUD_Pass Shader (FXAA: Medium)", "Korvanth_FXAA_Medium.fxo"},
        {"Korvanth PreHUD_Pass Shader (FXAA: High)", "Korvanth_FXAA_High.fxo"},
        {"Korvanth PreHUD_Pass Shader (FXAA: Ultra)", "Korvanth_FXAA_Ultra.fxo"},
    };
    return kLevels[fxaaLevel <= 0 ? 0 : (fxaaLevel >= 4 ? 4 : fxaaLevel)];
}

KorvanthPreHUDPassShader::KorvanthPreHUDPassShader(const int32_t fxaaLevel) : ZFXAAFilter(fxaaLevel) {
    const Level level = GetGameLevelEffect(fxaaLevel);
    m_gameEffectName = ZHashedString(level.effectName);
    // The game's effect replaces the engine's binding; without it the
    // engine's copy still draws the scene.
    LoadDisplayEffect(*this, level.fileName, m_gameEffectName, "PreHUDPassTechnique");
    const ZPassBinding* full = GetDefaultPassBinding();
    if (full != nullptr && full->effect != nullptr) {
        m_plain = full->effect->FindTechnique(ZHashedString("PreHUDPassPlain"));
    }
}

float KorvanthPreHUDPassShader::SceneScale(const float pauseOpacity, const float fadeOut) {
    return (1.0f - 0.5f * std::clamp(pauseOpacity, 0.0f, 1.0f)) * (1.0f - std::clamp(fadeOut, 0.0f, 1.0f));
}

float KorvanthPreHUDPassShader::CurrentSceneScale() {
    const ZRenderHost* host = ZRenderHost::Get();
    return SceneScale(GetDisplayOverlayOpacity(), host != nullptr ? host->GetFadeOut() : 0.0f);
}

ZPassBinding* KorvanthPreHUDPassShader::GetPassBinding(const ZHashedString passName) const {
    ZPassBinding* binding = ZFXAAFilter::GetPassBinding(passName);
    return binding == GetDefaultPassBinding() && m_plain != nullptr && CurrentSceneScale() == 1.0f ? m_plain
                                                                                                    : binding;
}

KorvanthPreHUDPassShader::~KorvanthPreHUDPassShader() { ReleaseDisplayEffect(m_gameEffectName); }

bool KorvanthPreHUDPassShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                             ZParameterSource* source) {
    static const ZHashedString kPauseOpacity("PauseOpacity");
    static const ZHashedString kBloomScalar("BloomScalar");
    static const ZHashedString kBloomPower("BloomPower");
    static const ZHashedString kUpsampled("UpsampledBuffer");
    static const ZHashedString kDownsampled("DownsampledBuffer");
    static const ZHashedString kSceneScale("SceneScale");
    static const ZHashedString kSceneScaleRoot("SceneScaleRoot");
    if (binding == nullptr) return false;
    const ZHashedString name = binding->name;
    if (name == kSceneScale) {
        binding->SetFloat(CurrentSceneScale());
    } else if (name == kSceneScaleRoot) {
        binding->SetFloat(std::sqrt(CurrentSceneScale()));
    } else if (name == kPauseOpacity) {
        binding->SetFloat(GetDisplayOverlayOpacity());
    } else if (name == kBloomScalar) {
        // The game's own effects take the bloom ready to add from the
        // downsample pass; an effect of a mod may still raise it here.
        binding->SetFloat(GetDisplayBloomScalar());
    } else if (name == kBloomPower) {
        binding->SetFloat(GetDisplayBloomPower());
    } else if (name == kUpsampled) {
        binding->SetTexture(ZHashedString("Upsampled Buffer"));
    } else if (name == kDownsampled) {
        binding->SetTexture(ZHashedString("Downsampled Buffer"));
    } else {
        return ZFXAAFilter::SetParameters(binding, passName, source);
    }
    return true;
}
