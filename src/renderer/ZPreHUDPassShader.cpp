#include "renderer/ZPreHUDPassShader.h"

#include "foundation/ZVector4.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"

namespace {

// One over a screen side; 0 for a size that is not set yet, so the filter
// reads the pixel itself instead of an infinite offset.
float Reciprocal(const int32_t size) {
    return size > 0 ? 1.0f / static_cast<float>(size) : 0.0f;
}

}  // namespace

ZPreHUDPassShader::Level ZPreHUDPassShader::GetLevelEffect(const int32_t fxaaLevel) {
    static constexpr Level kLevels[5] = {
        {"__PreHUD_Pass Shader (FXAA: None)", "__ZORP_FXAA_None.fxo"},
        {"__PreHUD_Pass Shader (FXAA: Low)", "__ZORP_FXAA_Low.fxo"},
        {"__PreHUD_Pass Shader (FXAA: Medium)", "__ZORP_FXAA_Medium.fxo"},
        {"__PreHUD_Pass Shader (FXAA: High)", "__ZORP_FXAA_High.fxo"},
        {"__PreHUD_Pass Shader (FXAA: Ultra)", "__ZORP_FXAA_Ultra.fxo"},
    };
    return kLevels[fxaaLevel <= 0 ? 0 : (fxaaLevel >= 4 ? 4 : fxaaLevel)];
}

ZPreHUDPassShader::ZPreHUDPassShader(const int32_t fxaaLevel) : m_level(fxaaLevel) {
    const Level level = GetLevelEffect(fxaaLevel);
    m_effectName = ZHashedString(level.cacheName);
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(level.fileName, m_effectName);
    if (effect != nullptr) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("PreHUDPassTechnique"))) {
            SetDefaultPassBinding(binding);
        }
    }
}

ZPreHUDPassShader::~ZPreHUDPassShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(m_effectName);
    }
}

bool ZPreHUDPassShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                      ZParameterSource* source) {
    static const ZHashedString kBackbuffer("PreHUDPassBackbuffer");
    static const ZHashedString kTexture("__ZORP_PreHUD_Pass_Texture");
    static const ZHashedString kRcpFrame("rcpFrame");
    static const ZHashedString kUseFXAA("bUseFXAA");
    static const ZHashedString kFadeOut("FadeOut");
    if (binding == nullptr) {
        return false;
    }
    const ZRenderHost* host = ZRenderHost::Get();
    if (binding->name == kBackbuffer) {
        binding->SetTexture(kTexture);
    } else if (binding->name == kRcpFrame) {
        const int32_t width = host != nullptr ? host->GetScreenWidth() : 0;
        const int32_t height = host != nullptr ? host->GetScreenHeight() : 0;
        binding->SetVector(ZVector4(Reciprocal(width), Reciprocal(height), 0.0f, 0.0f));
    } else if (binding->name == kUseFXAA) {
        binding->SetBool(true);
    } else if (binding->name == kFadeOut) {
        binding->SetFloat(host != nullptr ? host->GetFadeOut() : 0.0f);
    } else {
        return ZHMDShader::SetParameters(binding, passName, source);
    }
    return true;
}
