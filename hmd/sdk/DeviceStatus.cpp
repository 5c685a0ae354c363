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

std::vector<std::pair<DeviceStatus::Change, std::string>> DeviceStatus::Poll(const uint64_t nowMs) {
    std::vector<std::pair<Change, std::string>> changes;
    if (m_hid == nullptr) return changes;
    bool retryDue = false;
    for (const auto& [path, when] : m_lost) retryDue = retryDue || when <= nowMs;
    if (!m_hid->DevicesMayHaveChanged() && !retryDue) return changes;
    std::set<std::string> now;
    for (const platform::hid::DeviceInfo& info : m_hid->Enumerate()) now.insert(info.path);
    for (const std::string& path : m_known) {
        if (now.count(path) == 0) {
            changes.emplace_back(Removal, path);
            m_lost.erase(path);
        }
    }
    for (const std::string& path : now) {
        if (m_known.count(path) == 0) changes.emplace_back(Arrival, path);
    }
    for (auto it = m_lost.begin(); it != m_lost.end();) {
        if (it->second <= nowMs && now.count(it->first) != 0 && m_known.count(it->first) != 0) {
            changes.emplace_back(Arrival, it->first);
            it = m_lost.erase(it);
        } else {
            ++it;
        }
    }
    m_known = std::move(now);
    return changes;
}

void DeviceStatus::MarkLost(const std::string& path, const uint64_t nowMs) {
    m_lost[path] = nowMs + kRetryLostMs;
}

}  // namespace HSK
