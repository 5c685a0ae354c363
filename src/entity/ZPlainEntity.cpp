#include "entity/ZPlainEntity.h"

// Stand-in until the spatial integration lands: nothing moves or interpolates.
void ZPlainEntity::Update(float /*timeStep*/, uint8_t /*mask*/) { EmptyHook(); }

void ZPlainEntity::PostUpdate(float /*timeStep*/, uint8_t /*mask*/) { EmptyHook(); }
