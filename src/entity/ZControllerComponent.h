#pragma once

#include "entity/ZComponent.h"

// The base of the components that steer an entity (the player's controls,
// later the actors' brains). Not a serial component: it is never named in a
// definition and saves nothing.
class ZControllerComponent : public ZComponent {
    Z_RTTI(ZControllerComponent, ZComponent)

public:
    ZControllerComponent() = default;
};
