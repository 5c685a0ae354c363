#pragma once

#include "entity/ZSerialComponent.h"

// The "Pusher" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZPusherComponent : public ZSerialComponent {
    Z_RTTI(ZPusherComponent, ZSerialComponent)

public:
    ZPusherComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Pusher");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
