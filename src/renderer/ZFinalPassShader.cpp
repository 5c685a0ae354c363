#include "renderer/ZFinalPassShader.h"

#include "framework/ZBaseGame.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
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
        }
    }
}

ZFinalPassShader::~ZFinalPassShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(CacheName());
    }
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
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (binding->name == kBackbuffer) {
        binding->SetTexture(kTexture);
    } else if (binding->name == kTate) {
        binding->SetMatrix(GetRotation(game != nullptr ? game->m_tate : 0));
    } else if (binding->name == kBrightness) {
        binding->SetFloat(game != nullptr ? game->m_brightness : 0.0f);
    } else {
        return ZHMDShader::SetParameters(binding, passName, source);
    }
    return true;
}
