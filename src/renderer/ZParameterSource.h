#pragma once

#include "foundation/ZHashedString.h"

class ZEffectParameter;

// The root of everything that answers effect parameters while drawing:
// shaders, renderables and entities. SetParameters receives one automatic
// binding at a time; a source that knows the binding's name sets the value on
// the current effect and answers true, any other hands the request to its
// attached source (false when there is none).
class ZParameterSource {
public:
    ZParameterSource() = default;
    virtual ~ZParameterSource() = default;
    ZParameterSource(const ZParameterSource&) = delete;
    ZParameterSource& operator=(const ZParameterSource&) = delete;

    virtual bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source);

    ZParameterSource* GetAttachedSource() const { return m_attached; }

private:
    friend class ZTransform;
    ZParameterSource* m_attached = nullptr;
};
