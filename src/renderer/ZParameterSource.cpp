#include "renderer/ZParameterSource.h"

bool ZParameterSource::SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) {
    return m_attached != nullptr && m_attached->SetParameters(binding, passName, source);
}
