#pragma once

#include "entity/ZSerialComponent.h"

// The "Shadow" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZShadowComponent : public ZSerialComponent {
    Z_RTTI(ZShadowComponent, ZSerialComponent)

public:
    ZShadowComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Shadow");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
