#include "game/display/WipeShader.h"

#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Wipe Shader";
}

WipeShader::WipeShader() { LoadDisplayEffect(*this, "wipe.fxo", ZHashedString(kEffectName), "WipeTech"); }

WipeShader::~WipeShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool WipeShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kOffset("Offset");
    if (binding == nullptr) return false;
    if (binding->name == kOffset) {
        binding->SetVector(offset);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
