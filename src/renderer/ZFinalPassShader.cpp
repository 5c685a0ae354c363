#include "renderer/ZFinalPassShader.h"

#include "hmd/ZHMDMgr.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZShaderMgr.h"

namespace {

const ZHashedString& CacheName() {
    static const ZHashedString name("__Final_Pass Shader");
    return name;
}

}  // namespace

ZFinalPassShader::ZFinalPassShader() {
    // The upper-left 2 x 2 blocks of the quarter turns.
    const float blocks[3][4] = {{0, -1, 1, 0}, {-1, 0, 0, -1}, {0, 1, -1, 0}};
    for (int i = 1; i < 4; ++i) {
        m_rotations[i].m[0] = blocks[i - 1][0];
        m_rotations[i].m[1] = blocks[i - 1][1];
        m_rotations[i].m[4] = blocks[i - 1][2];
        m_rotations[i].m[5] = blocks[i - 1][3];
    }
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("__ZORP_Final_Pass.fxo", CacheName());
    if (effect != nullptr) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("FinalPassTechnique"))) {
            SetDefaultPassBinding(binding);
            // An effect of a mod without the plain technique draws every frame with the full one.
            m_plain = effect->FindTechnique(ZHashedString("FinalPassPlain"));
        }
    }
}

ZFinalPassShader::~ZFinalPassShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(CacheName());
    }
}

bool ZFinalPassShader::IsPlain() {
    const ZRenderHost* host = ZRenderHost::Get();
    if (host != nullptr) {
        const int32_t tate = host->GetTateSetting();
        if ((tate >= 1 && tate <= 3) || host->GetBrightnessSetting() != 0.0f) {
            return false;
        }
    }
    // Asked without making the manager: none yet means no headset's warp.
    const ZHMDMgr* hmd = gHMDMgr;
    return hmd == nullptr || (hmd->lensCenter == 0.0f && hmd->viewportScale == 1.0f && hmd->viewportOffset == 0.0f &&
                              hmd->vertScale == 1.0f && hmd->fovScale == 1.0f && hmd->warpParam[0] == 1.0f &&
                              hmd->warpParam[1] == 0.0f && hmd->warpParam[2] == 0.0f && hmd->warpParam[3] == 0.0f);
}

ZPassBinding* ZFinalPassShader::GetPassBinding(const ZHashedString passName) const {
    ZPassBinding* binding = ZHMDShader::GetPassBinding(passName);
    return binding == GetDefaultPassBinding() && m_plain != nullptr && IsPlain() ? m_plain : binding;
}

const ZMatrix4& ZFinalPassShader::GetRotation(const int32_t setting) const {
    return m_rotations[setting >= 0 && setting < 4 ? setting : 0];
}

bool ZFinalPassShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                     ZParameterSource* source) {
    static const ZHashedString kBackbuffer("FinalPassBackbuffer");
    static const ZHashedString kTexture("__ZORP_Final_Pass_Texture");
    static const ZHashedString kTate("tateMat");
    static const ZHashedString kBrightness("Brightness");
    if (binding == nullptr) {
        return false;
    }
    const ZRenderHost* host = ZRenderHost::Get();
    if (binding->name == kBackbuffer) {
        binding->SetTexture(kTexture);
    } else if (binding->name == kTate) {
        binding->SetMatrix(GetRotation(host != nullptr ? host->GetTateSetting() : 0));
    } else if (binding->name == kBrightness) {
        binding->SetFloat(host != nullptr ? host->GetBrightnessSetting() : 0.0f);
    } else {
        return ZHMDShader::SetParameters(binding, passName, source);
    }
    return true;
}
