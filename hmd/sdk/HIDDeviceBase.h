#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hmd/sdk/Device.h"
#include "platform/hid/hid.h"


namespace HSK {

class DeviceManagerThread;

// What the HID layer tells about one device.
struct HIDDeviceDesc {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    uint16_t inputReportLength = 0;

    static HIDDeviceDesc From(const platform::hid::DeviceInfo& info);
};

// A device on a HID handle read by the manager's thread: open, reads, lost
// connection, re-plug and close. Sensor and latency tester derive from it.
class HIDDeviceBase : public DeviceBase, public ThreadNotifier {
public:
    static constexpr size_t kInputBufferSize = 96;
    static constexpr size_t kMaxFeatureReportSize = 64;

    explicit HIDDeviceBase(const HIDDeviceDesc& desc) : m_desc(desc) {}

    bool Initialize(DeviceBase* parent) override;
    void Shutdown() override;
    void OnInputReady() override;
    bool OnDeviceMessage(DeviceMessage message, const std::string& path) override;

    const HIDDeviceDesc& GetHIDDesc() const { return m_desc; }
    // Thread side: whether the handle is open and read.
    bool IsReading() const { return m_reading; }

protected:
    struct LogLines {
        const char* opened;
        const char* closed;
        const char* failedToOpen;
        const char* failedToInitialize;
        const char* lostConnection;
        const char* failedToReopen;
        const char* reopened;
    };
    virtual const LogLines& GetLogLines() const = 0;
    // Device-specific steps after the handle opened; false fails the open.
    virtual bool OnOpened() { return true; }
    virtual void OnInputReport(const uint8_t* data, size_t size) = 0;
    virtual void OnConnectionLost() {}
    virtual bool WantsTicks() const { return false; }

    // Feature reports on the open handle (thread side).
    bool GetFeature(uint8_t* data, size_t size);
    bool SetFeature(const uint8_t* data, size_t size);

    DeviceManagerThread* GetThread() const;

private:
    // Opens the handle, runs the device's steps and starts reading. On failure
    // *error says why and nothing stays open.
    bool OpenHandle(std::string* error);
    void CloseHandle();

    HIDDeviceDesc m_desc;
    std::unique_ptr<platform::hid::Device> m_hid;
    bool m_reading = false;
    uint8_t m_buffer[kInputBufferSize] = {};
};

// Descriptor of a HID-backed device: two match when type, path and serial
// number are the same.
class HIDDeviceDescriptor : public DeviceDescriptor {
public:
    HIDDeviceDescriptor(DeviceFactory* factory, DeviceType type, const HIDDeviceDesc& desc)
        : DeviceDescriptor(factory, type), hid(desc) {}
    MatchResult Matches(const DeviceDescriptor& other) const override;

    const HIDDeviceDesc hid;

protected:
    HIDDeviceDescriptor(const HIDDeviceDescriptor& other) = default;
};

// Case-insensitive path comparison: device paths may come back in another case.
bool SamePath(const std::string& a, const std::string& b);

}  // namespace HSK
