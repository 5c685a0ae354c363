#include "platform/hid/sdl/SdlHidSystem.h"

#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform::hid {

namespace {

std::string FromWide(const wchar_t* text) {
    std::string out;
    if (text == nullptr) return out;
    // wchar_t holds whole code points here; invalid ones become U+FFFD.
    for (; *text != 0; ++text) {
        uint32_t c = static_cast<uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// SDL's HID functions give no report descriptor. Linux keeps one for each
// hidraw node in sysfs; other paths (the USB library's) have none.
bool ReadHidrawDescriptor(const std::string& path, ReportDescriptorSummary* summary) {
    static const std::string kPrefix = "/dev/hidraw";
    if (path.rfind(kPrefix, 0) != 0 || path.size() == kPrefix.size()) return false;
    const std::string node = path.substr(std::string("/dev/").size());
    if (node.find('/') != std::string::npos) return false;
    const std::vector<uint8_t> bytes =
        ReadFileBytes(std::filesystem::path("/sys/class/hidraw") / node / "device" / "report_descriptor");
    if (bytes.empty()) return false;
    *summary = SummariseReportDescriptor(bytes.data(), bytes.size());
    return summary->complete;
}

class SdlDevice final : public Device {
public:
    explicit SdlDevice(SDL_hid_device* device) : m_device(device) { SDL_hid_set_nonblocking(m_device, 1); }
    ~SdlDevice() override { SDL_hid_close(m_device); }

    bool GetFeatureReport(uint8_t* data, const size_t size) override {
        return size > 0 && SDL_hid_get_feature_report(m_device, data, size) > 0;
    }
    bool SetFeatureReport(const uint8_t* data, const size_t size) override {
        return size > 0 && SDL_hid_send_feature_report(m_device, data, size) >= 0;
    }
    int Read(uint8_t* data, const size_t size) override {
        const int got = SDL_hid_read_timeout(m_device, data, size, 0);
        return got < 0 ? -1 : got;
    }

private:
    SDL_hid_device* m_device;
};

class SdlHidSystem final : public HidSystem {
public:
    SdlHidSystem() : m_ready(SDL_hid_init() == 0) {}
    ~SdlHidSystem() override {
        if (m_ready) SDL_hid_exit();
    }

    std::vector<DeviceInfo> Enumerate() override {
        std::vector<DeviceInfo> list;
        if (!m_ready) return list;
        SDL_hid_device_info* const first = SDL_hid_enumerate(0, 0);
        for (const SDL_hid_device_info* info = first; info != nullptr; info = info->next) {
            DeviceInfo out;
            out.path = info->path != nullptr ? info->path : "";
            out.vendorId = info->vendor_id;
            out.productId = info->product_id;
            out.versionNumber = info->release_number;
            out.usage = info->usage;
            out.usagePage = info->usage_page;
            ReportDescriptorSummary summary;
            if (ReadHidrawDescriptor(out.path, &summary)) {
                out.usage = summary.usage;
                out.usagePage = summary.usagePage;
                out.inputReportLength = summary.inputReportLength;
                out.outputReportLength = summary.outputReportLength;
                out.featureReportLength = summary.featureReportLength;
            } else {
                // No descriptor to read: the lengths the headset devices use.
                out.inputReportLength = DefaultInputReportLength(info->vendor_id, info->product_id);
                out.outputReportLength = 0;
                out.featureReportLength = 64;
            }
            out.manufacturer = FromWide(info->manufacturer_string);
            out.product = FromWide(info->product_string);
            out.serialNumber = FromWide(info->serial_number);
            list.push_back(std::move(out));
        }
        SDL_hid_free_enumeration(first);
        return list;
    }

    std::unique_ptr<Device> Open(const std::string& path, std::string* error) override {
        if (!m_ready) {
            if (error != nullptr) *error = "the HID library did not start";
            return nullptr;
        }
        SDL_hid_device* const device = SDL_hid_open_path(path.c_str(), 0);
        if (device == nullptr) {
            if (error != nullptr) {
                // The usual cause is a device file the user may not open.
                if (access(path.c_str(), R_OK | W_OK) != 0) {
                    *error = "no permission to open " + path + " (" + std::strerror(errno) +
                             "); a udev rule granting access to the device is needed";
                } else {
                    const char* sdlError = SDL_GetError();
                    *error = sdlError != nullptr && sdlError[0] != 0 ? sdlError : "the device did not open";
                }
            }
            return nullptr;
        }
        return std::make_unique<SdlDevice>(device);
    }

    bool DevicesMayHaveChanged() override {
        if (!m_ready) return false;
        // Without a system change notice the count may change on every call, so
        // enumerate again at most once a second.
        const auto now = std::chrono::steady_clock::now();
        const uint32_t count = SDL_hid_device_change_count();
        if (count == m_lastCount || now - m_lastCheck < std::chrono::seconds(1)) return false;
        m_lastCount = count;
        m_lastCheck = now;
        return true;
    }

    std::vector<MonitorInfo> EnumerateMonitors() override {
        std::vector<MonitorInfo> monitors;
        const std::vector<DisplayPlacement> displays = GetDisplayPlacements();
        std::error_code ec;
        std::filesystem::directory_iterator it("/sys/class/drm", ec);
        if (ec) return monitors;
        for (const auto& entry : it) {
            std::ifstream status(entry.path() / "status");
            std::string state;
            if (!status || !(status >> state) || state != "connected") continue;
            const std::vector<uint8_t> edid = ReadFileBytes(entry.path() / "edid");
            const std::string id = MonitorIdFromEdid(edid.data(), edid.size());
            if (id.empty()) continue;
            MonitorInfo monitor;
            monitor.hardwareId = id;
            monitor.adapterName = entry.path().filename().string();
            PlaceMonitor(monitor, MonitorNameFromEdid(edid.data(), edid.size()), displays);
            monitors.push_back(monitor);
        }
        return monitors;
    }

private:
    bool m_ready;
    uint32_t m_lastCount = 0;
    std::chrono::steady_clock::time_point m_lastCheck{};
};

}  // namespace

void RefreshDisplayPlacements() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    std::vector<DisplayPlacement> displays;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
        const char* const name = SDL_GetDisplayName(i);
        DisplayPlacement display;
        display.name = name != nullptr ? name : "";
        display.x = bounds.x;
        display.y = bounds.y;
        displays.push_back(std::move(display));
    }
    SetDisplayPlacements(std::move(displays));
}

std::unique_ptr<HidSystem> CreateSdlHidSystem() {
    return std::make_unique<SdlHidSystem>();
}

}  // namespace platform::hid
