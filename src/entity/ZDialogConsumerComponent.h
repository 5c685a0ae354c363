#pragma once

#include "entity/ZSerialComponent.h"

// The "DialogConsumer" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZDialogConsumerComponent : public ZSerialComponent {
    Z_RTTI(ZDialogConsumerComponent, ZSerialComponent)

public:
    ZDialogConsumerComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("DialogConsumer");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
