#include "menu/ZSingleTextureShader.h"

#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

ZSingleTextureShader::ZSingleTextureShader(const char* effectFile, const ZHashedString effectName,
                                           const ZHashedString technique, const char* textureFile,
                                           const ZHashedString textureName, const ZHashedString textureParameter)
    : m_effectName(effectName), m_textureName(textureName), m_textureParameter(textureParameter) {
    if (ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(effectFile, effectName)) {
        if (ZPassBinding* binding = effect->FindTechnique(technique)) {
            SetDefaultPassBinding(binding);
        }
    }
    m_texture = ZTextureMgr::GetInstance()->LoadTexture(textureFile, textureName, nullptr);
}

ZSingleTextureShader::~ZSingleTextureShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(m_effectName);
    }
    if (m_texture != nullptr) {
        ZTextureMgr::GetInstance()->ReleaseTexture(m_textureName);
    }
}

float ZSingleTextureShader::GetTextureAspect() const {
    if (m_texture == nullptr || m_texture->width <= 0 || m_texture->height <= 0) {
        return 1.0f;
    }
    return static_cast<float>(m_texture->width) / static_cast<float>(m_texture->height);
}

bool ZSingleTextureShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                         ZParameterSource* source) {
    if (binding != nullptr && binding->name == m_textureParameter) {
        binding->SetTexture(m_textureName);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
