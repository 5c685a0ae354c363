#include "platform/os/fake/fake.h"

namespace os::fake {

FakeClock::FakeClock(std::uint64_t startNanoseconds)
    : m_ns(startNanoseconds), m_unixSetAtNs(startNanoseconds), m_previous(hooks::SetTimeSource(this)) {}

FakeClock::~FakeClock() {
    hooks::SetTimeSource(m_previous);
}

void FakeClock::AdvanceSeconds(double seconds) {
    if (seconds > 0) {
        m_ns += static_cast<std::uint64_t>(seconds * 1e9);
    }
}

void FakeClock::Sleep(const std::uint64_t nanoseconds) {
    m_ns += nanoseconds;
    m_sleptNs += nanoseconds;
    ++m_sleeps;
}

void FakeClock::SetUnixTime(std::int64_t seconds) {
    m_unixBase = seconds;
    m_unixSetAtNs = m_ns.load();
}

std::int64_t FakeClock::UnixTime() const {
    const std::uint64_t now = m_ns;
    const std::uint64_t since = m_unixSetAtNs;
    return m_unixBase + static_cast<std::int64_t>(now >= since ? (now - since) / 1000000000u : 0);
}

FakeShell::FakeShell(bool succeed) : m_succeed(succeed), m_previous(hooks::SetShellOpener(this)) {}

FakeShell::~FakeShell() {
    hooks::SetShellOpener(m_previous);
}

void FakeShell::SetSucceed(bool succeed) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_succeed = succeed;
}

std::vector<std::string> FakeShell::Opened() const {
    const std::lock_guard<std::mutex> lock(m_guard);
    return m_opened;
}

bool FakeShell::Open(const std::string& target) {
    const std::lock_guard<std::mutex> lock(m_guard);
    m_opened.push_back(target);
    return m_succeed;
}

DiskFull::DiskFull() : m_previous(hooks::IsDiskFull()) {
    hooks::SetDiskFull(true);
}

DiskFull::~DiskFull() {
    hooks::SetDiskFull(m_previous);
}

}  // namespace os::fake
