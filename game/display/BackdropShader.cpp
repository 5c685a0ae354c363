#include "game/display/BackdropShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Backdrop Shader";
}

BackdropShader::BackdropShader() {
    LoadDisplayEffect(*this, "backdrop.fxo", ZHashedString(kEffectName), "BackdropTech");
}

BackdropShader::~BackdropShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool BackdropShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kColor("BackdropColor");
    if (binding == nullptr) return false;
    if (binding->name == kColor) {
        binding->SetVector(color);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}

bool BackdropShader::GetPlainColor(ZVector4& plain) const {
    plain = color;
    return TechniqueDeclares("PlainColor");
}
