#pragma once

#include <cstdint>

#include "hmd/sdk/HIDDeviceBase.h"

namespace HSK {

struct LatencyTestConfiguration {
    bool sendSamples = false;
    Color threshold;
};

// The latency tester: told a threshold, a calibration colour and a target
// colour, it reports samples, detections, test starts and button presses.
class LatencyTestDevice : public HIDDeviceBase {
public:
    explicit LatencyTestDevice(const HIDDeviceDesc& desc) : HIDDeviceBase(desc) {}

    DeviceType GetType() const override { return Device_LatencyTester; }

    // Queued to the thread; with waitFlag the call waits and answers whether the
    // report was written. Nothing is written while the device is not read.
    bool SetConfiguration(const LatencyTestConfiguration& configuration, bool waitFlag = false);
    bool SetCalibrate(const Color& calibrationColor, bool waitFlag = false);
    bool SetStartTest(const Color& targetColor, bool waitFlag = false);
    bool SetDisplay(uint8_t mode, uint32_t value, bool waitFlag = false);

    uint64_t OnTicks(uint64_t) override { return 1000000000ull; }

protected:
    const LogLines& GetLogLines() const override;
    void OnInputReport(const uint8_t* data, size_t size) override;

private:
    template <size_t N>
    bool Write(const uint8_t (&report)[N], bool waitFlag);
};

class LatencyTestDeviceDescriptor final : public HIDDeviceDescriptor {
public:
    LatencyTestDeviceDescriptor(DeviceFactory* factory, const HIDDeviceDesc& desc)
        : HIDDeviceDescriptor(factory, Device_LatencyTester, desc) {}
    DeviceDescriptor* Clone() const override { return new LatencyTestDeviceDescriptor(*this); }
    DeviceBase* CreateInstance() override { return new LatencyTestDevice(hid); }
    bool GetDeviceInfo(DeviceInfo* info) const override;

private:
    LatencyTestDeviceDescriptor(const LatencyTestDeviceDescriptor& other) = default;
};

class LatencyTestDeviceFactory final : public DeviceFactory {
public:
    void EnumerateDevices(EnumerateVisitor& visitor) override;
    static bool MatchVendorProduct(uint16_t vendorId, uint16_t productId) {
        return vendorId == 0xF055 && productId == 0x0101;
    }
};

}  // namespace HSK
