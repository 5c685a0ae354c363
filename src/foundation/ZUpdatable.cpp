#include "foundation/ZUpdatable.h"

#include "foundation/ZUpdateRegistry.h"

ZUpdatable::ZUpdatable(const uint8_t mask) : updateMask(mask) {
    GetUpdateRegistry()->Register(this, updateMask);
}

ZUpdatable::~ZUpdatable() {
    GetUpdateRegistry()->Unregister(this, updateMask);
}

int32_t ZUpdatable::GetUpdatePriority() const {
    return updatePriority;
}

void ZUpdatable::SetUpdatePriority(const int32_t priority) {
    updatePriority = priority;
}

bool ZUpdatable::IsUpdatePaused() const {
    return updatePaused;
}

bool ZUpdatable::SetUpdatePaused(const bool paused) {
    updatePaused = paused;
    return updatePaused;
}
