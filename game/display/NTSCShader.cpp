#include "game/display/NTSCShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZTexture.h"

namespace {
const char* const kEffectName = "NTSC Shader";
}

NTSCShader::NTSCShader() {
    if (const DisplayState* display = PeekDisplayState()) m_lookup = display->ntscLookup;
    LoadDisplayEffect(*this, "ntsc.fxo", ZHashedString(kEffectName), "NTSC");
}

NTSCShader::~NTSCShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool NTSCShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kClean("cleanFrameTexture");
    static const ZHashedString kLut("lutTexture");
    static const ZHashedString kStrength("Tuning_Strength");
    static const ZHashedString kResolution("GradingRes");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const ZHashedString name = binding->name;
    if (name == kClean) {
        binding->SetTexture(ZHashedString("Clean Frame"));
    } else if (name == kLut) {
        binding->SetTexture(ZHashedString("NTSC_LUT_Texture"));
    } else if (name == kStrength) {
        const float strength = display != nullptr ? display->Settings().ntscLUTBlend : DisplaySettings().ntscLUTBlend;
        // The attract pictures of the TV static are shown in their own colours.
        const float attract = display != nullptr && display->staticActive ? display->staticAttractBlend : 0.0f;
        binding->SetFloat(strength * (1.0f - attract));
    } else if (name == kResolution) {
        binding->SetFloat(m_lookup != nullptr ? static_cast<float>(m_lookup->height) : 0.0f);
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
