#include "renderer/ZShader.h"

#include "renderer/ZEffect.h"

ZShader::~ZShader() { m_passes.Clear(); }

ZPassBinding* ZShader::GetPassBinding(const ZHashedString passName) const {
    if (const auto* node = m_passes.Find(passName)) {
        return node->value;
    }
    return m_default;
}

void ZShader::ClearTextures() {
    if (m_default != nullptr && m_default->effect != nullptr) {
        m_default->effect->ClearTextureBindings();
    }
    for (const auto& node : m_passes) {
        if (node.value != nullptr && node.value->effect != nullptr) {
            node.value->effect->ClearTextureBindings();
        }
    }
}
