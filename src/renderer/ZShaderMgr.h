#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

class ZEffect;

// Every effect held once by hashed name with a reference count. Effects
// survive a lost device: they are told about the loss and the reset.
class ZShaderMgr {
public:
    struct Entry {
        ZEffect* effect = nullptr;
        int32_t refs = 0;
    };

    // Made on first use.
    static ZShaderMgr* GetInstance();
    // Returns the existing manager or null; never makes one.
    static ZShaderMgr* PeekInstance();
    // ReleaseAll, then frees the manager.
    static void DestroyInstance();

    // A null file name gives null. Cached: one more reference; else a new
    // effect from the file, count 1 (also when the file failed to load).
    ZEffect* LoadEffect(const char* fileName, ZHashedString name);
    // Clears the effect's texture bindings, then drops one reference; below 1
    // the effect is destroyed. Unknown names are ignored.
    void ReleaseEffect(ZHashedString name);
    void OnLostDevice();
    void OnResetDevice();
    // Destroys every effect whatever its count.
    void ReleaseAll();
    void ClearAllTextureBindings();
    // Every effect lets go of every texture it holds (before a device reset).
    void UnbindAllTextures();

    ZEffect* FindEffect(ZHashedString name) const;
    int32_t GetRefCount(ZHashedString name) const;
    uint32_t GetCount() const { return m_effects.Count(); }
    // The references held over every entry (leak checks).
    int64_t GetTotalRefCount() const;

    ZShaderMgr(const ZShaderMgr&) = delete;
    ZShaderMgr& operator=(const ZShaderMgr&) = delete;

private:
    // Made and freed only through the shared manager slot helpers.
    template <typename T>
    friend T* GetOrCreateManager(T*& slot);
    template <typename T>
    friend void DestroyManager(T*& slot);

    ZShaderMgr() = default;
    ~ZShaderMgr();

    ZMap<ZHashedString, Entry> m_effects;
};

// ZShaderMgr::LoadEffect on the manager (made on first use).
ZEffect* LoadManagedEffect(const char* fileName, ZHashedString name);
