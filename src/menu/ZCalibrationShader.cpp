#include "menu/ZCalibrationShader.h"

#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZTexturedShader.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

const char* const ZCalibrationShader::kEffectName = "__Default_Calibration Shader";
const char* const ZCalibrationShader::kEffectFile = "__ZORP_Default_Calibration.fxo";
const char* const ZCalibrationShader::kTextureName = "__Default_Calibration Texture";

ZCalibrationShader::ZCalibrationShader() {
    if (ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(kEffectFile, ZHashedString(kEffectName))) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("CalibrationTech"))) {
            SetDefaultPassBinding(binding);
        }
    }
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    const char* file = game != nullptr ? game->GetCalibrationTextureFile() : "default_calibration.dds";
    m_texture = ZTextureMgr::GetInstance()->LoadTexture(file, ZHashedString(kTextureName), nullptr);
}

ZCalibrationShader::~ZCalibrationShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(ZHashedString(kEffectName));
    }
    if (m_texture != nullptr) {
        ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kTextureName));
    }
}

float ZCalibrationShader::GetImageAspect() const {
    if (m_texture == nullptr || m_texture->height == 0) {
        return 0.0f;
    }
    return static_cast<float>(m_texture->width) / static_cast<float>(m_texture->height);
}

ZMatrix4 ZCalibrationShader::ComputeMatrix(const float a, const float t, const float k, float ty, float tx) {
    float sx = a > 0.0f ? t / a : 0.0f;
    float sy = 1.0f;
    if (a < 1.3333334f) {
        const float q = a / 1.3333333f;
        sx *= q;
        sy = q;
        ty *= q;
    } else {
        tx *= 1.3333333f / a;
    }
    return ZMatrix4::MakeScale(ZVector3(sx * k, sy * k, k)) * ZMatrix4::Translation(ZVector3(tx, ty, 0.0f));
}

bool ZCalibrationShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                       ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kOpacityColor("OpacityColor");
    static const ZHashedString kTexture("CalibrationTex");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kWvp) {
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const float aspect = game != nullptr && game->GetScreenHeight() > 0
                                 ? static_cast<float>(game->GetScreenWidth()) / static_cast<float>(game->GetScreenHeight())
                                 : 1.3333334f;
        const float scale = game != nullptr ? game->GetCalibrationScale() : 0.45f;
        const float offsetY = game != nullptr ? game->GetCalibrationOffsetY() : 0.3f;
        const ZMenuMgr* menus = PeekMenuMgr();
        binding->SetMatrix(
            ComputeMatrix(aspect, GetImageAspect(), scale, offsetY, menus != nullptr ? menus->GetSlideOffset() : 0.0f));
        return true;
    }
    if (binding->name == kOpacityColor) {
        const ZMenuMgr* menus = PeekMenuMgr();
        binding->SetVector(ArgbToVector(menus != nullptr ? menus->GetOverlayColor() : 0xFFFFFFFFu));
        return true;
    }
    if (binding->name == kTexture) {
        binding->SetTexture(ZHashedString(kTextureName));
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
