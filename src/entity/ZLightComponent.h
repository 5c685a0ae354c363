#pragma once

#include "entity/ZSerialComponent.h"

// The "Light" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZLightComponent : public ZSerialComponent {
    Z_RTTI(ZLightComponent, ZSerialComponent)

public:
    ZLightComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Light");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
