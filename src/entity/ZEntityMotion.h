#pragma once

#include <cstdint>

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"

class ZCollisionInterface;
class ZEntity;
class ZHashedString;

// The little that the gameplay components (pickup, coins, spawners, frob,
// shadows) need of an entity's place and motion. The spatial, physics and
// facing components answer these; an entity without them answers false, 0
// or nothing, and the callers skip the steps that need them.
bool GetEntityPosition(ZEntity* entity, ZVector3& position);
void SetEntityPosition(ZEntity* entity, const ZVector3& position);
bool GetEntityVelocity(ZEntity* entity, ZVector3& velocity);
void SetEntityVelocity(ZEntity* entity, const ZVector3& velocity);
// The previous and interpolated states become the current one (no blending
// across a jump).
void SnapEntityStates(ZEntity* entity);
// The physics rest flag.
void SetEntityResting(ZEntity* entity);
// Bounces the physics takes before it settles.
void SetEntityBounceCount(ZEntity* entity, int32_t bounces);
// Sets the rider's based flag and its offset from its carrier.
void SetEntityBasedOffset(ZEntity* entity, const ZVector3& offset);
// The facing value: 1 left, 2 right, 0 none.
int32_t GetEntityFacing(ZEntity* entity);
// The collision filter mask of a shape (every bit until shapes carry one).
uint32_t GetShapeFilterMask(ZCollisionInterface* shape);
// The view origin of the entity's camera.
bool GetEntityCameraOrigin(ZEntity* entity, ZVector3& origin);
// Moves the entity's collision primitive (by its key) from one point to
// another through the collision world and answers the entity of the first
// contact (the sweep filtered by filterMask); when nothing is met on the way,
// the first entity overlapping the primitive at from (filtered by the
// collision component's own sweep mask, as any query of the primitive). Null when the entity has no such primitive or nothing
// is there.
ZEntity* FindEntityInReach(ZEntity* entity, ZHashedString primitive, const ZVector3& from, const ZVector3& to,
                           uint32_t filterMask);
// The plain view-projection (no shake) of the entity's camera.
bool GetEntityViewProjection(ZEntity* entity, ZMatrix4& viewProjection);
