#pragma once

// Seams through which the fakes (platform/os/fake) replace real services at
// run time. Engine code never uses these; tests use the fakes.

#include <cstdint>
#include <string>

namespace os::hooks {

class TimeSource {
public:
    virtual ~TimeSource() = default;
    // Nanoseconds on a monotonic clock.
    virtual std::uint64_t Nanoseconds() const = 0;
    // False makes the high-resolution counter look missing.
    virtual bool HasCounter() const = 0;
    virtual std::int64_t UnixTime() const = 0;
    // Stands in for sleeping on the monotonic clock.
    virtual void Sleep(std::uint64_t nanoseconds) = 0;
};

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // target is already resolved (an address, or an absolute path).
    virtual bool Open(const std::string& target) = 0;
};

// Each setter returns what was installed before; null restores the real one.
TimeSource* SetTimeSource(TimeSource* source);
ShellOpener* SetShellOpener(ShellOpener* opener);
// What is installed now; null means the real service.
TimeSource* CurrentTimeSource();
ShellOpener* CurrentShellOpener();

// While set, every write through the file layer fails with ENOSPC, after the
// file was opened (and, for "w" modes, emptied) as on a real full disk.
void SetDiskFull(bool full);
bool IsDiskFull();

}  // namespace os::hooks
