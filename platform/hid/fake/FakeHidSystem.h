#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/hid.h"

namespace platform::hid {

// A HID system that tests script: which devices are plugged in, what their
// feature reports answer, the input reports they send, read errors, failed opens
// and the monitors connected. Safe to script from one thread while another
// uses the devices.
class FakeHidSystem final : public HidSystem {
public:
    FakeHidSystem();
    ~FakeHidSystem() override;

    // Plugs a device in (again); a device already present keeps its scripting.
    void AddDevice(const DeviceInfo& info);
    // Unplugs it: open handles fail from now on, and so does a later open.
    void RemoveDevice(const std::string& path);
    // The answer to a feature-report read of data[0]'s id. By default a write
    // of a feature report becomes the answer to the next read of that id.
    void SetFeatureReport(const std::string& path, const std::vector<uint8_t>& report);
    void SetEchoFeatureWrites(const std::string& path, bool echo);
    // Reads of that feature report fail.
    void FailFeatureReport(const std::string& path, uint8_t reportId);
    void QueueInputReport(const std::string& path, const std::vector<uint8_t>& report);
    // The next read of an open handle fails, as when the cable is pulled.
    void FailNextRead(const std::string& path);
    // Every open of the path fails with this reason (empty clears it).
    void SetOpenError(const std::string& path, const std::string& reason);
    void AddMonitor(const MonitorInfo& monitor);

    // What the program did.
    std::vector<std::vector<uint8_t>> SentFeatureReports(const std::string& path) const;
    size_t PendingInputReports(const std::string& path) const;
    int OpenHandles(const std::string& path) const;
    int OpenCount(const std::string& path) const;

    std::vector<DeviceInfo> Enumerate() override;
    std::unique_ptr<Device> Open(const std::string& path, std::string* error) override;
    bool DevicesMayHaveChanged() override;
    std::vector<MonitorInfo> EnumerateMonitors() override;

    struct DeviceState {
        DeviceInfo info;
        bool present = false;
        uint32_t generation = 0;  // bumped at every plug-in; older handles are dead
        bool echoWrites = true;
        bool failNextRead = false;
        std::string openError;
        std::map<uint8_t, std::vector<uint8_t>> featureReports;
        std::vector<uint8_t> failingFeatureReports;
        std::deque<std::vector<uint8_t>> inputReports;
        std::vector<std::vector<uint8_t>> sent;
        int openHandles = 0;
        int openCount = 0;
    };
    struct Shared {
        mutable std::mutex mutex;
        std::map<std::string, DeviceState> devices;  // by path, in plug-in order of first use
        std::vector<std::string> order;
        std::vector<MonitorInfo> monitors;
        uint32_t changes = 0;
        uint32_t changesSeen = 0;
    };

private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace platform::hid
