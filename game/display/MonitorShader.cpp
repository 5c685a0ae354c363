#include "game/display/MonitorShader.h"

#include "foundation/ZVector4.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Monitor Shader";
}

MonitorShader::MonitorShader() { LoadDisplayEffect(*this, "monitor.fxo", ZHashedString(kEffectName), "MonitorTech"); }

MonitorShader::~MonitorShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool MonitorShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kColor("MonitorColor");
    if (binding == nullptr) return false;
    if (binding->name == kColor) {
        const DisplayState* display = PeekDisplayState();
        const float b = display != nullptr ? display->Settings().borderBrightness : DisplaySettings().borderBrightness;
        binding->SetVector(ZVector4(b, b, b, 0.0f));
        return true;
    }
    if (SetCameraParameter(binding)) return true;
    return ScanlinesShader::SetParameters(binding, passName, source);
}
