#include "platform/hid/fake/FakeHidSystem.h"

#include <algorithm>
#include <cstring>

namespace platform::hid {

namespace {

class FakeDevice final : public Device {
public:
    FakeDevice(std::shared_ptr<FakeHidSystem::Shared> shared, std::string path, const uint32_t generation)
        : m_shared(std::move(shared)), m_path(std::move(path)), m_generation(generation) {}

    ~FakeDevice() override {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        --m_shared->devices[m_path].openHandles;
    }

    bool GetFeatureReport(uint8_t* data, const size_t size) override {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        FakeHidSystem::DeviceState* const state = Live();
        if (state == nullptr || size == 0) return false;
        const auto& failing = state->failingFeatureReports;
        if (std::find(failing.begin(), failing.end(), data[0]) != failing.end()) return false;
        const auto found = state->featureReports.find(data[0]);
        if (found == state->featureReports.end()) return false;
        const size_t n = std::min(size, found->second.size());
        std::memcpy(data, found->second.data(), n);
        return true;
    }

    bool SetFeatureReport(const uint8_t* data, const size_t size) override {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        FakeHidSystem::DeviceState* const state = Live();
        if (state == nullptr || size == 0) return false;
        std::vector<uint8_t> report(data, data + size);
        state->sent.push_back(report);
        if (state->echoWrites) state->featureReports[data[0]] = std::move(report);
        return true;
    }

    int Read(uint8_t* data, const size_t size) override {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        FakeHidSystem::DeviceState* const state = Live();
        if (state == nullptr) return -1;
        if (state->failNextRead) {
            state->failNextRead = false;
            return -1;
        }
        if (state->inputReports.empty()) return 0;
        const std::vector<uint8_t> report = std::move(state->inputReports.front());
        state->inputReports.pop_front();
        const size_t n = std::min(size, report.size());
        if (n > 0) std::memcpy(data, report.data(), n);
        return static_cast<int>(n);
    }

private:
    FakeHidSystem::DeviceState* Live() {
        const auto found = m_shared->devices.find(m_path);
        if (found == m_shared->devices.end() || !found->second.present || found->second.generation != m_generation) {
            return nullptr;
        }
        return &found->second;
    }

    std::shared_ptr<FakeHidSystem::Shared> m_shared;
    std::string m_path;
    uint32_t m_generation;
};

}  // namespace

FakeHidSystem::FakeHidSystem() : m_shared(std::make_shared<Shared>()) {}
FakeHidSystem::~FakeHidSystem() = default;

void FakeHidSystem::AddDevice(const DeviceInfo& info) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (m_shared->devices.find(info.path) == m_shared->devices.end()) m_shared->order.push_back(info.path);
    DeviceState& state = m_shared->devices[info.path];
    state.info = info;
    if (!state.present) {
        state.present = true;
        ++state.generation;
        state.failNextRead = false;
        ++m_shared->changes;
    }
}

void FakeHidSystem::RemoveDevice(const std::string& path) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    if (found == m_shared->devices.end() || !found->second.present) return;
    found->second.present = false;
    found->second.inputReports.clear();
    ++m_shared->changes;
}

void FakeHidSystem::SetFeatureReport(const std::string& path, const std::vector<uint8_t>& report) {
    if (report.empty()) return;
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].featureReports[report[0]] = report;
}

void FakeHidSystem::SetEchoFeatureWrites(const std::string& path, const bool echo) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].echoWrites = echo;
}

void FakeHidSystem::FailFeatureReport(const std::string& path, const uint8_t reportId) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].failingFeatureReports.push_back(reportId);
}

void FakeHidSystem::QueueInputReport(const std::string& path, const std::vector<uint8_t>& report) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].inputReports.push_back(report);
}

void FakeHidSystem::FailNextRead(const std::string& path) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].failNextRead = true;
}

void FakeHidSystem::SetOpenError(const std::string& path, const std::string& reason) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->devices[path].openError = reason;
}

void FakeHidSystem::AddMonitor(const MonitorInfo& monitor) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->monitors.push_back(monitor);
}

std::vector<std::vector<uint8_t>> FakeHidSystem::SentFeatureReports(const std::string& path) const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    return found == m_shared->devices.end() ? std::vector<std::vector<uint8_t>>{} : found->second.sent;
}

size_t FakeHidSystem::PendingInputReports(const std::string& path) const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    return found == m_shared->devices.end() ? 0 : found->second.inputReports.size();
}

int FakeHidSystem::OpenHandles(const std::string& path) const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    return found == m_shared->devices.end() ? 0 : found->second.openHandles;
}

int FakeHidSystem::OpenCount(const std::string& path) const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    return found == m_shared->devices.end() ? 0 : found->second.openCount;
}

std::vector<DeviceInfo> FakeHidSystem::Enumerate() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    std::vector<DeviceInfo> list;
    for (const std::string& path : m_shared->order) {
        const DeviceState& state = m_shared->devices[path];
        if (state.present) list.push_back(state.info);
    }
    return list;
}

std::unique_ptr<Device> FakeHidSystem::Open(const std::string& path, std::string* error) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto found = m_shared->devices.find(path);
    std::string reason;
    if (found == m_shared->devices.end() || !found->second.present) {
        reason = "no device at " + path;
    } else if (!found->second.openError.empty()) {
        reason = found->second.openError;
    }
    if (!reason.empty()) {
        if (error != nullptr) *error = reason;
        return nullptr;
    }
    ++found->second.openHandles;
    ++found->second.openCount;
    return std::make_unique<FakeDevice>(m_shared, path, found->second.generation);
}

bool FakeHidSystem::DevicesMayHaveChanged() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const bool changed = m_shared->changes != m_shared->changesSeen;
    m_shared->changesSeen = m_shared->changes;
    return changed;
}

std::vector<MonitorInfo> FakeHidSystem::EnumerateMonitors() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->monitors;
}

}  // namespace platform::hid
