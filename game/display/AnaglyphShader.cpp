#include "game/display/AnaglyphShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Anaglyph Shader";
}

AnaglyphShader::AnaglyphShader() {
    LoadDisplayEffect(*this, "anaglyph.fxo", ZHashedString(kEffectName), "Anaglyph");
}

AnaglyphShader::~AnaglyphShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool AnaglyphShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kFrameMap("anaglyphFrameMap");
    if (binding == nullptr) return false;
    if (binding->name == kFrameMap) {
        binding->SetTexture(ZHashedString("Cln3D Frame"));
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
