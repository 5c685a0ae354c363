#include "game/display/FullMapShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "game/display/MapShaderParameters.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "FullMap Shader";
const char* const kIndicatorName = "FullMap Texture (Indicator)";
}  // namespace

FullMapShader::FullMapShader() {
    LoadDisplayEffect(*this, "fullmap.fxo", ZHashedString(kEffectName), "FullMapTech");
    LoadDisplayTexture("minimapflashback.bmp", ZHashedString(kIndicatorName));
}

FullMapShader::~FullMapShader() {
    ReleaseDisplayEffect(ZHashedString(kEffectName));
    ReleaseDisplayTexture(ZHashedString(kIndicatorName));
}

bool FullMapShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    if (binding == nullptr) return false;
    if (SetMapShaderParameter(*binding, textureName, position, scale)) return true;
    return ZShader::SetParameters(binding, passName, source);
}
