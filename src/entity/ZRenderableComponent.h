#pragma once

#include "entity/ZComponent.h"

// The component that puts an entity on screen. The base game switches the
// components of drawn entities on and off together.
class ZRenderableComponent : public ZComponent {
    Z_RTTI(ZRenderableComponent, ZComponent)

public:
    ZRenderableComponent() = default;
};
