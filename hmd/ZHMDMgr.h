#pragma once

#include "foundation/ZAppInfo.h"
#include "foundation/ZMatrix4.h"

// The head-mounted-display manager as the engine sees it: whether a headset is
// active, and the per-eye and lens-warp values the frame code and the
// full-screen passes read. The game never opens a headset, so the manager is
// never active and its values keep the ones that make every warp the identity.
class ZHMDMgr {
public:
    ZHMDMgr() { Init(); }
    virtual ~ZHMDMgr() = default;
    ZHMDMgr(const ZHMDMgr&) = delete;
    ZHMDMgr& operator=(const ZHMDMgr&) = delete;

    // Sets the warp values to the identity; there is no device to look for.
    void Init() {
        lensCenter = 0.0f;
        warpScale = 1.0f;
        warpOffset = 0.0f;
        vertScale = 1.0f;
        fovScale = 1.0f;
        warpParam[0] = 1.0f;
        warpParam[1] = warpParam[2] = warpParam[3] = 0.0f;
    }

    // True when the game allows a headset and a headset device is open.
    virtual bool IsActive() const { return false; }
    // Vertical field of view in radians.
    virtual float GetVerticalFOV() const { return 1.0471976f; }

    // The eye being drawn: 1 left, 2 right (0 outside a stereo frame).
    int32_t eye = 0;
    // The current eye's part of the panel, as fractions of its width.
    float viewportScale = 1.0f;
    float viewportOffset = 0.0f;
    float lensOffset = 0.0f;  // the lens centre's distance from the eye's centre
    ZMatrix4 orientation;

    // Lens warp.
    float lensCenter = 0.0f;
    float warpScale = 1.0f;
    float warpOffset = 0.0f;
    float vertScale = 1.0f;
    float fovScale = 1.0f;
    float warpParam[4] = {1.0f, 0.0f, 0.0f, 0.0f};
};

// The engine library is linked before the headset library, so the engine's
// view of the manager stays in this header.
inline ZHMDMgr* gHMDMgr = nullptr;

// The manager, made on first use.
inline ZHMDMgr* GetHMDManager() { return GetOrCreateManager(gHMDMgr); }
// Frees it (engine teardown); the next GetHMDManager makes a new one.
inline void DestroyHMDManager() { DestroyManager(gHMDMgr); }
