#include "entity/ZEntityMotion.h"

#include "entity/ZEntity.h"

// The spatial, physics and facing components hold no state yet: until they
// do, no entity has a place, a motion or a facing.

bool GetEntityPosition(ZEntity* /*entity*/, ZVector3& /*position*/) { return false; }

void SetEntityPosition(ZEntity* /*entity*/, const ZVector3& /*position*/) { EmptyHook(); }

bool GetEntityVelocity(ZEntity* /*entity*/, ZVector3& /*velocity*/) { return false; }

void SetEntityVelocity(ZEntity* /*entity*/, const ZVector3& /*velocity*/) { EmptyHook(); }

void SnapEntityStates(ZEntity* /*entity*/) { EmptyHook(); }

void SetEntityResting(ZEntity* /*entity*/) { EmptyHook(); }

void SetEntityBounceCount(ZEntity* /*entity*/, int32_t /*bounces*/) { EmptyHook(); }

void SetEntityBasedOffset(ZEntity* /*entity*/, const ZVector3& /*offset*/) { EmptyHook(); }

int32_t GetEntityFacing(ZEntity* /*entity*/) { return 0; }

uint32_t GetShapeFilterMask(ZCollisionInterface* /*shape*/) { return 0xFFFFFFFFu; }

bool GetEntityCameraOrigin(ZEntity* /*entity*/, ZVector3& /*origin*/) { return false; }

ZEntity* FindEntityInReach(ZEntity* /*entity*/, ZHashedString /*primitive*/, const ZVector3& /*from*/,
                           const ZVector3& /*to*/, uint32_t /*filterMask*/) {
    return nullptr;
}

bool GetEntityViewProjection(ZEntity* /*entity*/, ZMatrix4& /*viewProjection*/) { return false; }
