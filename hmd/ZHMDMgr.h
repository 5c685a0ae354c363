#pragma once

#include "foundation/ZAppInfo.h"

// The head-mounted-display manager as the engine sees it. Until the headset
// subsystem exists no headset is ever open.
class ZHMDMgr {
public:
    ZHMDMgr() = default;
    virtual ~ZHMDMgr() = default;
    ZHMDMgr(const ZHMDMgr&) = delete;
    ZHMDMgr& operator=(const ZHMDMgr&) = delete;

    // True when the game allows a headset and a headset device is open.
    virtual bool IsActive() const { return false; }
};

// The engine library is linked before the headset library, so the engine's
// view of the manager stays in this header.
inline ZHMDMgr* gHMDMgr = nullptr;

// The manager, made on first use.
inline ZHMDMgr* GetHMDManager() { return GetOrCreateManager(gHMDMgr); }
// Frees it (engine teardown); the next GetHMDManager makes a new one.
inline void DestroyHMDManager() { DestroyManager(gHMDMgr); }
