#include "renderer/ZDepthBackdropShader.h"

#include "foundation/ZVector4.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"

namespace {

// Half grey, alpha included.
const ZVector4 kHalfGrey(0.5f, 0.5f, 0.5f, 0.5f);

const ZHashedString& CacheName() {
    static const ZHashedString name("__Depth_Backdrop Shader");
    return name;
}

}  // namespace

ZDepthBackdropShader::ZDepthBackdropShader() {
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("__ZORP_Depth_Backdrop.fxo", CacheName());
    if (effect != nullptr) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("BackdropTech"))) {
            SetDefaultPassBinding(binding);
        }
    }
}

ZDepthBackdropShader::~ZDepthBackdropShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(CacheName());
    }
}

bool ZDepthBackdropShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                         ZParameterSource* source) {
    static const ZHashedString kColor("BackdropColor");
    if (binding != nullptr && binding->name == kColor) {
        binding->SetVector(kHalfGrey);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}

bool ZDepthBackdropShader::GetPlainColor(ZVector4& color) const {
    color = kHalfGrey;
    return TechniqueDeclares("PlainColor");
}
