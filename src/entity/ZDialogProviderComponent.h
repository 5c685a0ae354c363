#pragma once

#include "entity/ZSerialComponent.h"

// The "DialogProvider" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZDialogProviderComponent : public ZSerialComponent {
    Z_RTTI(ZDialogProviderComponent, ZSerialComponent)

public:
    ZDialogProviderComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("DialogProvider");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
