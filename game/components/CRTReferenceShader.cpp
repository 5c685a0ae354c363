#include "game/components/CRTReferenceShader.h"

#include "framework/ZBaseGame.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

const char* const kEffectName = "CRT Reference Shader";
const char* const kTextureName = "CRT Reference Texture";

}  // namespace

CRTReferenceShader::CRTReferenceShader() {
    LoadManagedTexture("crtref.bmp", ZHashedString(kTextureName), "ntsc.pal");
    ZEffect* const effect = ZShaderMgr::GetInstance()->LoadEffect("crtref.fxo", ZHashedString(kEffectName));
    if (effect == nullptr) {
        return;
    }
    if (ZPassBinding* const binding = effect->FindTechnique(ZHashedString("CRTRefTech"))) {
        SetDefaultPassBinding(binding);
    }
}

CRTReferenceShader::~CRTReferenceShader() {
    if (ZShaderMgr* const shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(ZHashedString(kEffectName));
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kTextureName));
}

bool CRTReferenceShader::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                       ZParameterSource* const source) {
    static const ZHashedString kTexture("CRTRefTex");
    static const ZHashedString kScroll("Scroll");
    if (binding != nullptr && binding->name == kTexture) {
        binding->SetTexture(ZHashedString(kTextureName));
        return true;
    }
    if (binding != nullptr && binding->name == kScroll) {
        const ZBaseGame* const game = ZBaseGame::PeekInstance();
        binding->SetFloat(game != nullptr ? game->GetTotalGameTime() : 0.0f);
        return true;
    }
    return ZParameterSource::SetParameters(binding, passName, source);
}
