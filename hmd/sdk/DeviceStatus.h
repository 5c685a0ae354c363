#pragma once

#include <cstdint>
#include <map>
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
    void Shutdown() {
        m_hid = nullptr;
        m_known.clear();
        m_lost.clear();
    }
    // The changes since the last call, removals first. nowMs is the SDK clock.
    std::vector<std::pair<Change, std::string>> Poll(uint64_t nowMs);
    // A device whose connection broke while it stayed listed: unless it is
    // reported gone, it is announced as arriving again once retryMs have passed,
    // so that it reopens (a pull and re-plug between two polls looks like this).
    void MarkLost(const std::string& path, uint64_t nowMs);

    static constexpr uint64_t kRetryLostMs = 1000;

private:
    platform::hid::HidSystem* m_hid = nullptr;
    std::set<std::string> m_known;
    std::map<std::string, uint64_t> m_lost;  // path -> when to announce it again
};

}  // namespace HSK
