#include "hmd/sdk/DeviceStatus.h"

#include "platform/hid/hid.h"

namespace HSK {

bool DeviceStatus::Initialize(platform::hid::HidSystem* const hid) {
    m_hid = hid;
    m_known.clear();
    if (m_hid == nullptr) return false;
    m_hid->DevicesMayHaveChanged();
    for (const platform::hid::DeviceInfo& info : m_hid->Enumerate()) m_known.insert(info.path);
    return true;
}

std::vector<std::pair<DeviceStatus::Change, std::string>> DeviceStatus::Poll() {
    std::vector<std::pair<Change, std::string>> changes;
    if (m_hid == nullptr || !m_hid->DevicesMayHaveChanged()) return changes;
    std::set<std::string> now;
    for (const platform::hid::DeviceInfo& info : m_hid->Enumerate()) now.insert(info.path);
    for (const std::string& path : m_known) {
        if (now.count(path) == 0) changes.emplace_back(Removal, path);
    }
    for (const std::string& path : now) {
        if (m_known.count(path) == 0) changes.emplace_back(Arrival, path);
    }
    m_known = std::move(now);
    return changes;
}

}  // namespace HSK
