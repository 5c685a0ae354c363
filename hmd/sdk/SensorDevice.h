#pragma once

#include <atomic>
#include <cstdint>

#include "hmd/sdk/HIDDeviceBase.h"
#include "hmd/sdk/TrackerReport.h"

namespace HSK {

class DeviceManager;
class HMDDeviceDescriptor;

// Measuring ranges: acceleration m/s^2, rotation rad/s, magnetic field gauss.
struct SensorRange {
    float maxAcceleration = 0;
    float maxRotationRate = 0;
    float maxMagneticField = 0;
};

// The tracker's range report (feature report 4) in the hardware's units.
struct SensorRangeImpl {
    uint16_t commandId = 0;
    uint8_t accelScale = 0;  // g
    uint16_t gyroScale = 0;  // degrees per second
    uint16_t magScale = 0;   // milligauss

    // Rounds each requested range and raises it to the first supported one
    // that is not smaller (the largest above the last).
    static SensorRangeImpl FromRange(const SensorRange& range);
    SensorRange ToRange() const;
    void Pack(uint8_t* buffer) const;  // 8 bytes
    void Unpack(const uint8_t* buffer);
};

// The headset's display figures as the tracker reports them (feature report 9).
struct DisplayInfoReport {
    static constexpr size_t kSize = 56;
    uint16_t commandId = 0;
    uint8_t distortionType = 0;
    uint16_t horizontalResolution = 0;
    uint16_t verticalResolution = 0;
    float horizontalSize = 0;  // metres (sent as micrometres)
    float verticalSize = 0;
    float verticalCentre = 0;
    float lensSeparation = 0;
    float eyeToScreenDistance[2] = {};
    float distortionK[6] = {};

    bool Unpack(const uint8_t* buffer, size_t size);
    // Fills the headset's screen (and, for distortion type 2 with coefficients
    // that are numbers, its lens figures) into desc. False when the report
    // describes no headset screen: no distortion type, or a screen of no size.
    bool ToDescriptor(HMDDeviceDescriptor* desc) const;
};

class SensorDevice : public HIDDeviceBase {
public:
    enum CoordinateFrame { Coord_Sensor = 0, Coord_HMD = 1 };

    explicit SensorDevice(const HIDDeviceDesc& desc) : HIDDeviceBase(desc) {}

    void SetMessageHandler(MessageHandler* handler) override;
    DeviceType GetType() const override { return Device_Sensor; }

    // Each waits for the thread when asked to (the coordinate frame and feature
    // reads always do); otherwise the work runs later and the call answers true.
    bool SetCoordinateFrame(CoordinateFrame frame);
    CoordinateFrame GetCoordinateFrame() const;
    bool SetRange(const SensorRange& range, bool waitFlag = false);
    void GetRange(SensorRange* range) const;
    // Up to 64 bytes; refused while the device is not read.
    bool SetFeatureReport(const uint8_t* data, size_t size, bool waitFlag = true);
    bool GetFeatureReport(uint8_t* data, size_t size);

    // The latest converted sample (thread side; tests read it once quiet).
    Vector3f GetLastAcceleration() const;
    float GetLastTemperature() const;
    CoordinateFrame GetHardwareCoordinateFrame() const { return m_hwCoordinates.load(); }

    uint64_t OnTicks(uint64_t nowUs) override;

    static constexpr uint64_t kKeepAliveUs = 3000000;
    static constexpr float kMaxAcceleration = 156.96f;
    static constexpr float kMaxRotationRate = 2000 * 0.0174532924f;
    static constexpr float kMaxMagneticField = 2.5f;

protected:
    const LogLines& GetLogLines() const override;
    bool OnOpened() override;
    void OnInputReport(const uint8_t* data, size_t size) override;
    void OnConnectionLost() override { m_nextKeepAliveTicks = 0; }
    bool WantsTicks() const override { return true; }

private:
    // Thread side.
    bool ApplyCoordinateFrame();
    bool ApplyRange(const SensorRange& range);
    bool SendKeepAlive();
    void ProcessReport(const TrackerReport& report);
    Vector3f Convert(const int32_t raw[3]) const;

    // Written on the device thread, read from any thread.
    std::atomic<CoordinateFrame> m_coordinates{Coord_Sensor};
    std::atomic<CoordinateFrame> m_hwCoordinates{Coord_HMD};
    // Sequence state, guarded by the handler lock.
    bool m_sequenceValid = false;
    uint8_t m_lastSampleCount = 0;
    uint16_t m_lastTimestamp = 0;
    Vector3f m_lastAcceleration;
    Vector3f m_lastRotationRate;
    Vector3f m_lastMagneticField;
    float m_lastTemperature = 0;
    uint64_t m_nextKeepAliveTicks = 0;
    SensorRange m_currentRange;  // guarded by the manager lock
};

class SensorDeviceDescriptor final : public HIDDeviceDescriptor {
public:
    SensorDeviceDescriptor(DeviceFactory* factory, const HIDDeviceDesc& desc)
        : HIDDeviceDescriptor(factory, Device_Sensor, desc) {}
    DeviceDescriptor* Clone() const override { return new SensorDeviceDescriptor(*this); }
    DeviceBase* CreateInstance() override { return new SensorDevice(hid); }
    bool GetDeviceInfo(DeviceInfo* info) const override;

private:
    SensorDeviceDescriptor(const SensorDeviceDescriptor& other) = default;
};

// Finds trackers among the HID devices; a tracker inside a headset also yields
// the headset's display figures.
class SensorDeviceFactory final : public DeviceFactory {
public:
    void EnumerateDevices(EnumerateVisitor& visitor) override;
    static bool MatchVendorProduct(uint16_t vendorId, uint16_t productId);
};

}  // namespace HSK
