#include "game/display/ScanlinesShader.h"

#include "foundation/ZVector4.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kScanlinesTexture = "Scanlines";
}

ScanlinesShader::ScanlinesShader() {
    LoadDisplayTexture("scanlines_tall_crt_wide.dds", ZHashedString(kScanlinesTexture));
}

ScanlinesShader::~ScanlinesShader() { ReleaseDisplayTexture(ZHashedString(kScanlinesTexture)); }

bool ScanlinesShader::SetCameraParameter(ZEffectParameter* binding) {
    static const ZHashedString kNear("nearPlaneDepth");
    static const ZHashedString kInvRange("invNearFarPlaneDepth");
    static const ZHashedString kCamPos("camPos");
    const ZHashedString name = binding->name;
    if (name != kNear && name != kInvRange && name != kCamPos) return false;
    if (const ZCamera* camera = GetDisplayCamera()) {
        if (name == kNear) {
            binding->SetFloat(camera->nearPlane);
        } else if (name == kInvRange) {
            binding->SetFloat(InverseDepthRange(*camera));
        } else {
            const ZVector3& p = camera->GetPosition();
            binding->SetVector(ZVector4(p.x, p.y, p.z, 0.0f));
        }
    }
    return true;
}

bool ScanlinesShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kCompFrame("compFrameMap");
    static const ZHashedString kScanlines("scanlinesMap");
    static const ZHashedString kMaskScale("CRTMask_Scale");
    static const ZHashedString kMaskOffset("CRTMask_Offset");
    static const ZHashedString kOverscan("Tuning_Overscan");
    static const ZHashedString kDimming("Tuning_Dimming");
    static const ZHashedString kSatur("Tuning_Satur");
    static const ZHashedString kRefl("Tuning_ReflScalar");
    static const ZHashedString kBarrel("Tuning_Barrel");
    static const ZHashedString kScanBright("Tuning_Scanline_Brightness");
    static const ZHashedString kScanOpacity("Tuning_Scanline_Opacity");
    static const ZHashedString kDiffuse("Tuning_Diff_Brightness");
    static const ZHashedString kSpecular("Tuning_Spec_Brightness");
    static const ZHashedString kSpecPower("Tuning_Spec_Power");
    static const ZHashedString kFresnel("Tuning_Fres_Brightness");
    static const ZHashedString kLightPos("Tuning_LightPos");
    static const ZHashedString kUVScalar("UVScalar");
    static const ZHashedString kUVOffset("UVOffset");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const DisplaySettings defaults;
    const DisplaySettings& s = display != nullptr ? display->Settings() : defaults;
    const ZHashedString name = binding->name;
    // The picture's height share: the pixel aspect against the 8:7 that fills the tube.
    const float p = static_cast<float>(s.pixelAspectRatio * 0.8571428699152807);
    if (name == kCompFrame) {
        binding->SetTexture(ZHashedString(parity ? "Composite Frame 2" : "Composite Frame 1"));
    } else if (name == kScanlines) {
        binding->SetTexture(ZHashedString(kScanlinesTexture));
    } else if (name == kMaskScale) {
        binding->SetVector(ZVector4(128.0f, 224.0f, 0.0f, 0.0f));
    } else if (name == kMaskOffset) {
        binding->SetVector(ZVector4(0.0f, 0.0f, 0.0f, 0.0f));
    } else if (name == kOverscan) {
        binding->SetFloat(SafeReciprocal(s.overscan));
    } else if (name == kDimming) {
        binding->SetFloat(s.dim);
    } else if (name == kSatur) {
        binding->SetFloat(s.sat);
    } else if (name == kRefl) {
        binding->SetFloat(s.refl);
    } else if (name == kBarrel) {
        binding->SetFloat(s.barrel);
    } else if (name == kScanBright) {
        binding->SetFloat(s.scanBright);
    } else if (name == kScanOpacity) {
        binding->SetFloat(s.scanOpacity);
    } else if (name == kDiffuse) {
        binding->SetFloat(s.diffuseLight);
    } else if (name == kSpecular) {
        binding->SetFloat(s.specularLight);
    } else if (name == kSpecPower) {
        binding->SetFloat(s.specularPower);
    } else if (name == kFresnel) {
        binding->SetFloat(s.fresnelLight);
    } else if (name == kLightPos) {
        binding->SetVector(ZVector4(-10.0f, -s.lightPosX, -s.lightPosY, 0.0f));
    } else if (name == kUVScalar) {
        binding->SetVector(ZVector4(1.0f, p, 0.0f, 0.0f));
    } else if (name == kUVOffset) {
        binding->SetVector(ZVector4(0.0f, (1.0f - p) * 0.5f, 0.0f, 0.0f));
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
