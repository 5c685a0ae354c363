#pragma once
// HID devices and the monitors they may belong to: enumeration (path, vendor
// and product ids, usage, report lengths, strings), open, feature reports in
// and out, and input reports read without blocking. Arrival and removal are
// found by enumerating again; DevicesMayHaveChanged says when that is worth
// doing. Backends: SDL's HID functions (sdl/) and a scripted fake (fake/).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::hid {

struct DeviceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    // Report lengths include the report-id byte. 0 when unknown.
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    uint16_t featureReportLength = 0;
    std::string manufacturer;  // UTF-8
    std::string product;
    std::string serialNumber;
};

// One connected monitor: its hardware id (three maker letters and four hex
// digits of the product code, e.g. "ABC0001"), the adapter or connector it
// hangs on, and its desktop position.
struct MonitorInfo {
    std::string hardwareId;
    std::string adapterName;
    int32_t desktopX = 0;
    int32_t desktopY = 0;
};

class Device {
public:
    virtual ~Device();
    // data[0] holds the report id; the reply overwrites data (size bytes at most).
    virtual bool GetFeatureReport(uint8_t* data, size_t size) = 0;
    virtual bool SetFeatureReport(const uint8_t* data, size_t size) = 0;
    // One input report without waiting: its length, 0 when none is waiting, -1 when
    // the device is gone or the read failed.
    virtual int Read(uint8_t* data, size_t size) = 0;
};

class HidSystem {
public:
    virtual ~HidSystem();
    virtual std::vector<DeviceInfo> Enumerate() = 0;
    // Null on failure, with the reason in *error (never empty then).
    virtual std::unique_ptr<Device> Open(const std::string& path, std::string* error) = 0;
    // True when an arrival or removal may have happened since the last call.
    virtual bool DevicesMayHaveChanged() = 0;
    virtual std::vector<MonitorInfo> EnumerateMonitors() = 0;
};

// Input-report length to assume when the system does not report one: the
// headset devices' own lengths, else the 64 bytes of a full-speed USB report.
uint16_t DefaultInputReportLength(uint16_t vendorId, uint16_t productId);

// Three packed 5-bit maker letters (EDID bytes 8-9, big-endian) and the
// little-endian product code (bytes 10-11) as "ABC0001". Empty when the block is
// shorter than 128 bytes, lacks the EDID header or names no letters.
std::string MonitorIdFromEdid(const uint8_t* edid, size_t size);

// The name a monitor gives itself (EDID display-product-name descriptor, tag
// 0xFC, in one of the four descriptors at bytes 54, 72, 90 and 108), spaces at
// its end dropped. Empty when the block is shorter than 128 bytes, lacks the
// EDID header or has no name descriptor.
std::string MonitorNameFromEdid(const uint8_t* edid, size_t size);

// What a HID report descriptor says of the device: its top-level usage and the
// longest input, output and feature report, each counting the report-id byte
// (as DeviceInfo does). `complete` is false when the descriptor ends inside an
// item or overflows its global stack; what was read before still counts.
struct ReportDescriptorSummary {
    bool complete = false;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    uint16_t featureReportLength = 0;
};
ReportDescriptorSummary SummariseReportDescriptor(const uint8_t* descriptor, size_t size);

// A display as the video system names and places it on the desktop.
struct DisplayPlacement {
    std::string name;
    int32_t x = 0;
    int32_t y = 0;
};

// Places a monitor on the desktop: the display whose name is the monitor's
// EDID name, or else the one named after its connector (the connector name
// without the "cardN-" prefix, e.g. "HDMI-A-1"). False, the position left
// as it was, when no display or more than one matches.
bool PlaceMonitor(MonitorInfo& monitor, const std::string& edidName, const std::vector<DisplayPlacement>& displays);

// The video system's displays, kept for the device thread: refreshed on the
// thread that runs the video system (a headset device manager refreshes them
// as it starts); read from any thread.
void RefreshDisplayPlacements();
void SetDisplayPlacements(std::vector<DisplayPlacement> displays);
std::vector<DisplayPlacement> GetDisplayPlacements();

enum class Backend { Sdl, Fake };
std::unique_ptr<HidSystem> CreateHidSystem(Backend backend);

// The process-wide HID system; null until one is installed.
HidSystem* GetHidSystem();
// Installs a system, destroying the previous one; null uninstalls. Only while no
// headset device manager runs.
void SetHidSystem(std::unique_ptr<HidSystem> system);
// The installed system, installing the SDL one first when there is none.
HidSystem* GetOrCreateHidSystem();

}  // namespace platform::hid
