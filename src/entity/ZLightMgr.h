#pragma once

#include "entity/ZRTTIBase.h"
#include "foundation/ZArray.h"

class ZLightComponent;

// The list of light sources of the scene. A game that uses lights registers
// one among its named managers as "Light Manager"; light components enter
// and leave its list themselves. It does not own them.
class ZLightMgr : public ZRTTIBase {
    Z_RTTI(ZLightMgr, ZRTTIBase)

public:
    ZLightMgr() = default;

    // The one registered as "Light Manager", or null.
    static ZLightMgr* Find();

    ZArray<ZLightComponent*> lights;
};
