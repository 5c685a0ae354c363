#include "game/display/ScreenShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Screen Shader";
}

ScreenShader::ScreenShader() { LoadDisplayEffect(*this, "screen.fxo", ZHashedString(kEffectName), "Screen"); }

ScreenShader::~ScreenShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool ScreenShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    if (binding == nullptr) return false;
    if (SetCameraParameter(binding)) return true;
    return ScanlinesShader::SetParameters(binding, passName, source);
}
