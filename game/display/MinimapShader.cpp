#include "game/display/MinimapShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "game/display/MapShaderParameters.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Minimap Shader";
const char* const kBackName = "Minimap Texture (Back)";
const char* const kIndicatorName = "Minimap Texture (Indicator)";
}  // namespace

MinimapShader::MinimapShader() {
    LoadDisplayEffect(*this, "minimap.fxo", ZHashedString(kEffectName), "MinimapTech");
    LoadDisplayTexture("minimapback.bmp", ZHashedString(kBackName));
    LoadDisplayTexture("minimapflashback.bmp", ZHashedString(kIndicatorName));
}

MinimapShader::~MinimapShader() {
    ReleaseDisplayEffect(ZHashedString(kEffectName));
    ReleaseDisplayTexture(ZHashedString(kBackName));
    ReleaseDisplayTexture(ZHashedString(kIndicatorName));
}

bool MinimapShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    if (binding == nullptr) return false;
    if (SetMapShaderParameter(*binding, textureName, position, scale)) return true;
    return ZShader::SetParameters(binding, passName, source);
}
