#include "menu/ZSplashLogoShader.h"

#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZEffectParameter.h"

ZSplashLogoShader::ZSplashLogoShader()
    : ZSingleTextureShader("__ZORP_QMW.fxo", ZHashedString("__Default_QMW Shader"), ZHashedString("QMWTech"),
                           "qmw.dds", ZHashedString("__Default_QMW Texture"), ZHashedString("QMWTexture")) {}

ZMatrix4 ZSplashLogoShader::ComputeTransform(const float aspect, const float logoAspect) {
    float sx = logoAspect / aspect;
    float sy = 1.0f;
    if (aspect < 1.3333334f) {
        const float q = aspect / 1.3333333f;
        sx *= q;
        sy *= q;
    }
    return ZMatrix4::MakeScale(ZVector3(0.618f * sx, 0.618f * sy, 0.618f));
}

bool ZSplashLogoShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                      ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    if (binding != nullptr && binding->name == kWvp) {
        binding->SetMatrix(ComputeTransform(ZBaseGame::GetInstance()->GetAspectRatio(), GetTextureAspect()));
        return true;
    }
    return ZSingleTextureShader::SetParameters(binding, passName, source);
}
