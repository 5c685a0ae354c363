#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platform::hid {
class HidSystem;
}

namespace HSK {

// Notices HID devices plugged in and pulled out, by enumerating again when the
// HID system says something may have changed and comparing paths.
class DeviceStatus {
public:
    enum Change { Arrival = 0, Removal = 1 };

    // Takes the present devices as known. False without a HID system.
    bool Initialize(platform::hid::HidSystem* hid);
    void Shutdown() { m_hid = nullptr; m_known.clear(); }
    // The changes since the last call, removals first.
    std::vector<std::pair<Change, std::string>> Poll();

private:
    platform::hid::HidSystem* m_hid = nullptr;
    std::set<std::string> m_known;
};

}  // namespace HSK
