#include "menu/DiffuseMapShader.h"

#include "renderer/ZEffectParameter.h"
#include "renderer/ZTextureMgr.h"

DiffuseMapShader::~DiffuseMapShader() {
    SetDefaultPassBinding(nullptr);
    ReleaseHeldTexture();
}

void DiffuseMapShader::ReleaseHeldTexture() {
    if (m_texture != nullptr) {
        ZTextureMgr::GetInstance()->ReleaseTexture(m_textureName);
    }
    m_texture = nullptr;
}

void DiffuseMapShader::SetTexture(const ZHashedString name) {
    ReleaseHeldTexture();
    m_textureName = name;
    if (!name.IsNone()) {
        m_texture = ZTextureMgr::GetInstance()->LoadTexture(name.GetText(), name, nullptr);
    }
}

bool DiffuseMapShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                     ZParameterSource* source) {
    static const ZHashedString kDiffuseMap("DiffuseMap");
    if (binding != nullptr && binding->name == kDiffuseMap) {
        binding->SetTexture(m_textureName);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
