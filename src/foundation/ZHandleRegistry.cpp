#include "foundation/ZHandleRegistry.h"

#include "foundation/ZAppInfo.h"

namespace {

ZHandleRegistry* gHandleRegistry = nullptr;
bool gShuttingDown = false;
// Outlives the registry, so a registry made again never hands out old handles.
uint32_t gNextHandle = 1;

}  // namespace

ZHandleRegistry* ZHandleRegistry::GetInstance() {
    if (gShuttingDown) {
        return gHandleRegistry;
    }
    return GetOrCreateManager(gHandleRegistry);
}

void ZHandleRegistry::DestroyInstance() { DestroyManager(gHandleRegistry); }

void ZHandleRegistry::SetShuttingDown(const bool shuttingDown) {
    gShuttingDown = shuttingDown;
}

bool ZHandleRegistry::IsShuttingDown() {
    return gShuttingDown;
}

uint32_t ZHandleRegistry::Add(ZRTTIBase* const object) {
    const uint32_t handle = gNextHandle++;
    if (gNextHandle == 0) {
        gNextHandle = 1;  // after four billion objects: still never hand out 0
    }
    if (ZHandleRegistry* registry = GetInstance()) {
        registry->objects.Insert(handle, object);
    }
    return handle;
}

void ZHandleRegistry::Remove(const uint32_t handle) {
    if (ZHandleRegistry* registry = GetInstance()) {
        registry->objects.Remove(handle);
    }
}

ZRTTIBase* ZHandleRegistry::Find(const uint32_t handle) const {
    const auto* node = objects.Find(handle);
    return node != nullptr ? node->value : nullptr;
}

ZHandleRegistry::~ZHandleRegistry() = default;

ZRTTIBase* FindObjectByHandle(const uint32_t handle) {
    const ZHandleRegistry* registry = ZHandleRegistry::GetInstance();
    return registry != nullptr ? registry->Find(handle) : nullptr;
}
