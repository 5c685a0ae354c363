#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZVector4.h"

// Marks its entity as a light source: a value and a colour for whatever
// draws lights. It is in the "Light Manager"'s list while it lives (when the
// game has one; without one it is simply not listed).
class ZLightComponent : public ZSerialComponent {
    Z_RTTI(ZLightComponent, ZSerialComponent)

public:
    ZLightComponent();
    ~ZLightComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Light");
        return kind;
    }

    float lightValue = 24.0f;
    ZVector4 lightColor{1.0f, 1.0f, 1.0f, 1.0f};
};
