#pragma once

#include "entity/ZSerialComponent.h"

// The "Sprite" component: its type, its kind name and its events. Its own
// settings, state and behaviour come with the system it belongs to; until
// then it reads only its events and saves nothing.
class ZSpriteComponent : public ZSerialComponent {
    Z_RTTI(ZSpriteComponent, ZSerialComponent)

public:
    ZSpriteComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Sprite");
        return kind;
    }
    void Save(ZDefNode& /*element*/) const override {}
};
