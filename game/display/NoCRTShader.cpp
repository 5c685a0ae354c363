#include "game/display/NoCRTShader.h"

#include <cmath>

#include "framework/ZBaseGame.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "No CRT Shader";
}

NoCRTShader::NoCRTShader() { LoadDisplayEffect(*this, "nocrt.fxo", ZHashedString(kEffectName), "NoCRT"); }

NoCRTShader::~NoCRTShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

void NoCRTShader::ComputeBox(const float pictureAspect, const float displayAspect, ZVector4& scalar,
                             ZVector4& offset) {
    // An aspect of no size (a window not made yet, a setting at 0) shows the
    // picture over the whole screen rather than dividing by zero.
    if (!(pictureAspect > 0.0f) || !(displayAspect > 0.0f) || !std::isfinite(pictureAspect) ||
        !std::isfinite(displayAspect)) {
        scalar = ZVector4(1.0f, 1.0f, 0.0f, 0.0f);
        offset = ZVector4(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    if (pictureAspect <= displayAspect) {
        const float k = displayAspect / pictureAspect;
        scalar = ZVector4(k, 1.0f, 0.0f, 0.0f);
        offset = ZVector4((1.0f - k) * 0.5f, 0.0f, 0.0f, 0.0f);
    } else {
        const float k = pictureAspect / displayAspect;
        scalar = ZVector4(1.0f, k, 0.0f, 0.0f);
        offset = ZVector4(0.0f, (1.0f - k) * 0.5f, 0.0f, 0.0f);
    }
}

bool NoCRTShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kCompFrame("compFrameMap");
    static const ZHashedString kOverscan("overscan");
    static const ZHashedString kUVScalar("UVScalar");
    static const ZHashedString kUVOffset("UVOffset");
    static const ZHashedString kNear("nearPlaneDepth");
    static const ZHashedString kInvRange("invNearFarPlaneDepth");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const DisplaySettings defaults;
    const DisplaySettings& s = display != nullptr ? display->Settings() : defaults;
    const ZHashedString name = binding->name;
    if (name == kCompFrame) {
        binding->SetTexture(ZHashedString("Clean Frame"));
    } else if (name == kOverscan) {
        binding->SetFloat(SafeReciprocal(s.overscan));
    } else if (name == kUVScalar || name == kUVOffset) {
        const float picture = static_cast<float>(s.pixelAspectRatio * 1.1428571939468384);
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const float aspect = game != nullptr ? game->GetAspectRatio() : 0.0f;
        ZVector4 scalar, offset;
        ComputeBox(picture, aspect, scalar, offset);
        binding->SetVector(name == kUVScalar ? scalar : offset);
    } else if (name == kNear || name == kInvRange) {
        if (const ZCamera* camera = GetDisplayCamera()) {
            binding->SetFloat(name == kNear ? camera->nearPlane : InverseDepthRange(*camera));
        }
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
