#include "game/display/PostProcessShader.h"

#include "foundation/ZVector4.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Post Process Shader";
}

PostProcessShader::PostProcessShader(const Variant variant) : m_variant(variant) {
    LoadDisplayEffect(*this, "post_Low.fxo", ZHashedString(kEffectName),
                      variant == Variant::kDownsample ? "PostProcessDownsample" : "PostProcessUpsample");
}

PostProcessShader::~PostProcessShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool PostProcessShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                      ZParameterSource* source) {
    static const ZHashedString kPreHUDBuffer("PreHUDBuffer");
    static const ZHashedString kDownsampleBuffer("DownsampleBuffer");
    static const ZHashedString kBloomScale("BloomScale");
    static const ZHashedString kPauseOpacity("PauseOpacity");
    static const ZHashedString kBloomScalar("BloomScalar");
    static const ZHashedString kBloomPower("BloomPower");
    if (binding == nullptr) return false;
    const bool down = m_variant == Variant::kDownsample;
    if (binding->name == kPreHUDBuffer) {
        if (down) binding->SetTexture(ZHashedString("__ZORP_PreHUD_Pass_Texture"));
    } else if (binding->name == kDownsampleBuffer) {
        if (!down) binding->SetTexture(ZHashedString("Downsampled Buffer"));
    } else if (binding->name == kBloomScale) {
        const DisplayState* display = PeekDisplayState();
        const float scale = display == nullptr ? 0.0f
                                               : (down ? display->Settings().bloomDown : display->Settings().bloomUp);
        const int32_t w = GetDisplayScreenWidth(), h = GetDisplayScreenHeight();
        const float aspect = w > 0 ? static_cast<float>(h) / static_cast<float>(w) : 0.0f;
        binding->SetVector(ZVector4(scale * aspect, scale, 0.0f, 0.0f));
    } else if (binding->name == kPauseOpacity) {
        binding->SetFloat(GetDisplayOverlayOpacity());
    } else if (binding->name == kBloomScalar) {
        binding->SetFloat(GetDisplayBloomScalar());
    } else if (binding->name == kBloomPower) {
        binding->SetFloat(GetDisplayBloomPower());
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
