#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"

class ZCollisionInterface;
class ZEntity;

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
