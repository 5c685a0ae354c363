#pragma once

#include <cstdint>

#include "foundation/ZAppInfo.h"
#include "foundation/ZMatrix4.h"
#include "hmd/sdk/SensorFusion.h"
#include "hmd/sdk/Types.h"

namespace HSK {
class DeviceManager;
class HMDDevice;
class SensorDevice;
}  // namespace HSK

// The engine's one head-mounted-display object. It starts the headset SDK and,
// when the application description allows a headset, opens the first one
// found, attaches the orientation filter to its tracker and copies its optical
// figures. The frame code writes the per-eye values before drawing each eye;
// the lens-warp pass hands them to its effect ("LensCenter" lensCenter,
// "Warp_Scale" viewportScale, "Warp_Offset" viewportOffset, "VertScale",
// "FOVScale", "HmdWarpParam" warpParam).
class ZHMDMgr {
public:
    ZHMDMgr();
    // Releases the tracker, the headset and the device manager, then stops the SDK.
    virtual ~ZHMDMgr();
    ZHMDMgr(const ZHMDMgr&) = delete;
    ZHMDMgr& operator=(const ZHMDMgr&) = delete;

    // Resets the per-eye values, starts the SDK and, when a headset is wanted,
    // opens it. A failed step leaves the manager inactive.
    void Init();

    // True when the application allows a headset and one is open with its tracker.
    virtual bool IsActive() const;
    // Vertical field of view in radians: 60 degrees without a headset.
    virtual float GetVerticalFOV() const;

    // The open devices (null when not open); tests and tools look at them.
    HSK::DeviceManager* GetDeviceManager() const { return m_deviceManager; }
    HSK::HMDDevice* GetHMDDevice() const { return m_hmdDevice; }
    HSK::SensorDevice* GetSensorDevice() const { return m_sensorDevice; }
    HSK::SensorFusion& GetFusion() { return m_fusion; }
    const HSK::HMDInfo& GetHMDInfo() const { return m_hmdInfo; }

    static constexpr float kDefaultVerticalFOV = 1.0471976f;

    // The eye being drawn: 1 left, 2 right (0 before the first stereo frame).
    int32_t eye = 0;
    // The current eye's part of the panel, as fractions of its width.
    float viewportScale = 1.0f;
    float viewportOffset = 0.0f;
    // 1 - 2 x lens separation / screen width, from the headset's figures.
    float lensOffset = 0.0f;
    ZMatrix4 orientation;

    // Lens warp: the current eye's lens centre, and the distortion coefficients.
    float lensCenter = 0.0f;
    float vertScale = 1.0f;
    float fovScale = 1.0f;
    float warpParam[4] = {1.0f, 0.0f, 0.0f, 0.0f};

private:
    bool m_active = false;
    HSK::DeviceManager* m_deviceManager = nullptr;
    HSK::HMDDevice* m_hmdDevice = nullptr;
    HSK::SensorDevice* m_sensorDevice = nullptr;
    HSK::SensorFusion m_fusion;
    HSK::HMDInfo m_hmdInfo;
};

// The engine library is linked before the headset library; the accessors stay
// here so that both see one slot.
inline ZHMDMgr* gHMDMgr = nullptr;

// The manager, made on first use.
inline ZHMDMgr* GetHMDManager() { return GetOrCreateManager(gHMDMgr); }
// Frees it (engine teardown); the next GetHMDManager makes a new one.
inline void DestroyHMDManager() { DestroyManager(gHMDMgr); }
