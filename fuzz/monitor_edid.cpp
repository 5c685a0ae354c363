// Monitor EDID blocks from untrusted bytes: the id is empty or three maker
// letters and four hex digits, the name is empty or up to thirteen printable
// characters, and placing the monitor on a desktop never reads outside the
// block.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/hid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string id = platform::hid::MonitorIdFromEdid(data, size);
    if (!id.empty()) {
        if (id.size() != 7) __builtin_trap();
        for (size_t i = 0; i < 3; ++i) {
            if (id[i] < 'A' || id[i] > 'Z') __builtin_trap();
        }
    }
    const std::string name = platform::hid::MonitorNameFromEdid(data, size);
    if (name.size() > 13) __builtin_trap();
    for (const char c : name) {
        if (c < 0x20 || c > 0x7E) __builtin_trap();
    }
    const std::vector<platform::hid::DisplayPlacement> displays = {{"", 0, 0}, {name, 1920, 0}, {"HDMI-A-1", 0, 1080}};
    platform::hid::MonitorInfo monitor;
    monitor.hardwareId = id;
    monitor.adapterName = "card0-HDMI-A-1";
    platform::hid::PlaceMonitor(monitor, name, displays);
    if (!name.empty() && name != "HDMI-A-1" && (monitor.desktopX != 1920 || monitor.desktopY != 0)) __builtin_trap();
    return 0;
}
