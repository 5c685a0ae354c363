#pragma once

// Fakes of the os module for tests: a clock stepped by hand, a shell that
// records what it was asked to open, and a full disk. Each installs itself
// when made and puts back what was there when destroyed.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/hooks.h"

namespace os::fake {

class FakeClock final : public hooks::TimeSource {
public:
    explicit FakeClock(std::uint64_t startNanoseconds = 0);
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void AdvanceNs(std::uint64_t nanoseconds) { m_ns += nanoseconds; }
    void AdvanceMs(std::uint64_t milliseconds) { m_ns += milliseconds * 1000000u; }
    void AdvanceSeconds(double seconds);
    void SetNs(std::uint64_t nanoseconds) { m_ns = nanoseconds; }
    // Makes the high-resolution counter look missing (or present again).
    void SetCounterAvailable(bool available) { m_hasCounter = available; }
    // The wall clock reads this value, plus the seconds advanced since.
    void SetUnixTime(std::int64_t seconds);

    std::uint64_t Nanoseconds() const override { return m_ns; }
    bool HasCounter() const override { return m_hasCounter; }
    std::int64_t UnixTime() const override;
    // Sleeping advances the clock at once, and is counted.
    void Sleep(std::uint64_t nanoseconds) override;
    std::uint64_t SleptNs() const { return m_sleptNs; }
    std::uint64_t SleepCount() const { return m_sleeps; }

private:
    std::atomic<std::uint64_t> m_ns;
    std::atomic<std::uint64_t> m_sleptNs{0};
    std::atomic<std::uint64_t> m_sleeps{0};
    std::atomic<bool> m_hasCounter{true};
    std::atomic<std::int64_t> m_unixBase{0};
    std::atomic<std::uint64_t> m_unixSetAtNs{0};
    hooks::TimeSource* m_previous;
};

class FakeShell final : public hooks::ShellOpener {
public:
    explicit FakeShell(bool succeed = true);
    ~FakeShell() override;
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;

    void SetSucceed(bool succeed);
    // Every target asked for, in order, as the real opener would have got it.
    std::vector<std::string> Opened() const;

    bool Open(const std::string& target) override;

private:
    mutable std::mutex m_guard;
    std::vector<std::string> m_opened;
    bool m_succeed;
    hooks::ShellOpener* m_previous;
};

// While one exists, every write through the file layer fails with ENOSPC.
class DiskFull {
public:
    DiskFull();
    ~DiskFull();
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    bool m_previous;
};

}  // namespace os::fake
