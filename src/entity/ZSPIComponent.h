#pragma once

#include "entity/ZSerialComponent.h"
#include "renderer/ZParameterSource.h"

class ZEntity;

// Lets game code answer shader parameters for its entity's drawables
// through one callback.
class ZSPIComponent : public ZSerialComponent, public ZParameterSource {
    Z_RTTI(ZSPIComponent, ZSerialComponent)

public:
    using ParameterCallback = bool (*)(ZEntity* owner, ZEffectParameter* binding, ZHashedString passName,
                                       ZParameterSource* source);

    ZSPIComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("SPI");
        return kind;
    }

    virtual void SetParameterCallback(ParameterCallback callback) { parameterCallback = callback; }
    virtual ParameterCallback GetParameterCallback() const { return parameterCallback; }

    // The callback's answer, else the attached source's (false with none).
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override {
        if (ParameterCallback callback = GetParameterCallback()) {
            return callback(GetOwner(), binding, passName, source);
        }
        ZParameterSource* attached = GetAttachedSource();
        return attached != nullptr && attached->SetParameters(binding, passName, source);
    }

    ParameterCallback parameterCallback = nullptr;
};
