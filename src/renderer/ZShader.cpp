#include "renderer/ZShader.h"

#include "renderer/ZEffect.h"

ZShader::~ZShader() { m_passes.Clear(); }

bool ZShader::TechniqueDeclares(const char* name) const {
    const gfx::Effect* effect =
        m_default != nullptr && m_default->effect != nullptr ? m_default->effect->GetEffect() : nullptr;
    if (effect == nullptr || m_default->handle == 0) return false;
    const gfx::Handle annotation = effect->GetAnnotationByName(m_default->handle, name);
    bool value = false;
    return annotation != 0 && effect->GetBool(annotation, &value) == gfx::Result::Ok && value;
}

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
