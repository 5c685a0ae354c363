#pragma once

#include "entity/ZCollisionInterface.h"

// The base of the engine's concrete shapes (point, box, sphere).
class ZCollisionInstance : public ZCollisionInterface {
    Z_RTTI(ZCollisionInstance, ZCollisionInterface)

public:
    ZCollisionInstance() = default;
};
