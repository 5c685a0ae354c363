#pragma once

#include "entity/ZSerialComponent.h"

// The "Audio" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZAudioComponent : public ZSerialComponent {
    Z_RTTI(ZAudioComponent, ZSerialComponent)

public:
    ZAudioComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Audio");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
