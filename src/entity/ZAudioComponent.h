#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

// The sounds an entity loaded for itself: each is released once when the
// component goes.
class ZAudioComponent : public ZSerialComponent {
    Z_RTTI(ZAudioComponent, ZSerialComponent)

public:
    ZAudioComponent() = default;
    ~ZAudioComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Audio");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}

    ZArray<ZHashedString> sounds;
};
