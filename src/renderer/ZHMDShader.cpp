#include "renderer/ZHMDShader.h"

#include "foundation/ZVector4.h"
#include "hmd/ZHMDMgr.h"
#include "renderer/ZEffectParameter.h"

bool ZHMDShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kLensCenter("LensCenter");
    static const ZHashedString kWarpScale("Warp_Scale");
    static const ZHashedString kWarpOffset("Warp_Offset");
    static const ZHashedString kVertScale("VertScale");
    static const ZHashedString kFOVScale("FOVScale");
    static const ZHashedString kWarpParam("HmdWarpParam");
    const ZHMDMgr* hmd = GetHMDManager();
    if (binding != nullptr && hmd != nullptr) {
        const ZHashedString name = binding->name;
        if (name == kLensCenter) {
            binding->SetFloat(hmd->lensCenter);
        } else if (name == kWarpScale) {
            binding->SetFloat(hmd->viewportScale);
        } else if (name == kWarpOffset) {
            binding->SetFloat(hmd->viewportOffset);
        } else if (name == kVertScale) {
            binding->SetFloat(hmd->vertScale);
        } else if (name == kFOVScale) {
            binding->SetFloat(hmd->fovScale);
        } else if (name == kWarpParam) {
            binding->SetVector(ZVector4(hmd->warpParam[0], hmd->warpParam[1], hmd->warpParam[2], hmd->warpParam[3]));
        } else {
            return ZShader::SetParameters(binding, passName, source);
        }
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
