#pragma once

#include "entity/ZSerialComponent.h"

// The "Popup" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZPopupComponent : public ZSerialComponent {
    Z_RTTI(ZPopupComponent, ZSerialComponent)

public:
    ZPopupComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Popup");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
