#pragma once

#include "entity/ZSerialComponent.h"

// The "SPI" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZSPIComponent : public ZSerialComponent {
    Z_RTTI(ZSPIComponent, ZSerialComponent)

public:
    ZSPIComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("SPI");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
