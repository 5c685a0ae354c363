#pragma once

#include <string>

#include "hmd/sdk/Device.h"

namespace HSK {

class SensorDevice;

// The headset as a display: no I/O of its own; it describes the headset and
// hands out its tracker.
class HMDDevice : public DeviceBase {
public:
    DeviceType GetType() const override { return Device_HMD; }
    bool Initialize(DeviceBase* parent) override;
    void Shutdown() override;

    // The first available tracker, set to report in the headset's frame; null
    // without one. The caller owns the reference.
    SensorDevice* GetSensor();
};

class HMDDeviceDescriptor final : public DeviceDescriptor {
public:
    enum Contents : uint32_t { Contents_Screen = 1, Contents_Distortion = 2, Contents_7Inch = 4 };

    explicit HMDDeviceDescriptor(DeviceFactory* factory) : DeviceDescriptor(factory, Device_HMD) {}

    DeviceDescriptor* Clone() const override { return new HMDDeviceDescriptor(*this); }
    DeviceBase* CreateInstance() override { return new HMDDevice(); }
    bool GetDeviceInfo(DeviceInfo* info) const override;
    MatchResult Matches(const DeviceDescriptor& other) const override;
    bool MergeCandidate(const DeviceDescriptor& other) override;

    bool IsSevenInch() const;

    std::string deviceId;           // the monitor's id; empty when found through the tracker
    std::string displayDeviceName;  // the adapter or connector
    int32_t desktopX = 0;
    int32_t desktopY = 0;
    uint32_t contents = 0;
    uint32_t horizontalResolution = 0;
    uint32_t verticalResolution = 0;
    float screenWidth = 0;
    float screenHeight = 0;
    float distortionK[4] = {};
    float eyeToScreenDistance = 0;  // from the tracker, 0 when it did not say

private:
    HMDDeviceDescriptor(const HMDDeviceDescriptor& other) = default;
};

// Finds headset screens among the connected monitors by their hardware id.
class HMDDeviceFactory final : public DeviceFactory {
public:
    void EnumerateDevices(EnumerateVisitor& visitor) override;
    static constexpr size_t kMaxMonitors = 9;
    // Whether a monitor id names a headset screen.
    static bool IsHeadsetMonitor(const std::string& hardwareId);
};

}  // namespace HSK
