#pragma once

#include <cstdint>

#include "foundation/ZMap.h"

class ZRTTIBase;

// Maps the 32-bit handle of every engine object to the object, so that code
// can name an object without owning it: a handle whose object is gone finds
// nothing. Handles come from one process-wide counter that starts at 1 and
// only grows, so 0 is never a handle and no handle is given out twice in a run.
//
// Main thread only; no lock.
class ZHandleRegistry {
public:
    // The registry, made on first use; null once shutdown has begun and the
    // registry is gone, so late objects do not make a new one.
    static ZHandleRegistry* GetInstance();
    // Frees the registry (shutdown, tests). Handles keep counting on.
    static void DestroyInstance();

    // The engine's shutting-down mark. While it is set no registry is made.
    static void SetShuttingDown(bool shuttingDown);
    static bool IsShuttingDown();

    // Gives the object the next handle and registers it under that handle.
    // Without a registry (after shutdown) the handle is still unique but
    // resolves to nothing.
    static uint32_t Add(ZRTTIBase* object);
    // Forgets the handle; it no longer resolves. 0 and unknown handles are ignored.
    static void Remove(uint32_t handle);

    // The object under the handle, or null (always for 0).
    ZRTTIBase* Find(uint32_t handle) const;
    // Number of live registered objects.
    uint32_t GetCount() const { return objects.Count(); }

    virtual ~ZHandleRegistry();
    ZHandleRegistry(const ZHandleRegistry&) = delete;
    ZHandleRegistry& operator=(const ZHandleRegistry&) = delete;

private:
    // Made only through the shared manager slot helper.
    template <typename T>
    friend T* GetOrCreateManager(T*& slot);

    ZHandleRegistry() = default;

    ZMap<uint32_t, ZRTTIBase*> objects;  // unsigned order
};

// The object registered under the handle, or null for 0 or once it is gone.
ZRTTIBase* FindObjectByHandle(uint32_t handle);
