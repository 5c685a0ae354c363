#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

// The sounds an entity loaded for itself: each is released once when the
// component goes, and the component's two name tables go with it.
class ZAudioComponent : public ZSerialComponent {
    Z_RTTI(ZAudioComponent, ZSerialComponent)

public:
    // Two ordered tables by hashed name that game code fills as it likes (a
    // sound per event, a value per sound); the engine only owns them.
    struct Tables {
        ZMap<ZHashedString, ZHashedString> soundByEvent;
        ZMap<ZHashedString, uint32_t> valueBySound;
    };

    ZAudioComponent() : tables(new Tables()) {}
    ~ZAudioComponent() override;
    ZAudioComponent(const ZAudioComponent&) = delete;
    ZAudioComponent& operator=(const ZAudioComponent&) = delete;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Audio");
        return kind;
    }

    ZArray<ZHashedString> sounds;
    Tables* tables = nullptr;  // owned
};
