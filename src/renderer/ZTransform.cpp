#include "renderer/ZTransform.h"

#include "renderer/ZParameterSource.h"

bool ZTransform::SetParent(ZParameterSource* child, ZParameterSource* parent) {
    if (child == nullptr) {
        return false;
    }
    int links = 0;
    for (const ZParameterSource* at = parent; at != nullptr; at = at->m_attached) {
        if (at == child || ++links >= kMaxChain) {
            return false;
        }
    }
    child->m_attached = parent;
    return true;
}
