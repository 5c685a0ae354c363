#pragma once

#include "entity/ZSerialComponent.h"

// The "Camera" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZCameraComponent : public ZSerialComponent {
    Z_RTTI(ZCameraComponent, ZSerialComponent)

public:
    ZCameraComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Camera");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
