#include "platform/os/hooks.h"

#include <atomic>

namespace os::hooks {

namespace {
std::atomic<TimeSource*> g_timeSource{nullptr};
std::atomic<ShellOpener*> g_shellOpener{nullptr};
std::atomic<bool> g_diskFull{false};
}  // namespace

TimeSource* SetTimeSource(TimeSource* source) {
    return g_timeSource.exchange(source);
}
ShellOpener* SetShellOpener(ShellOpener* opener) {
    return g_shellOpener.exchange(opener);
}
void SetDiskFull(bool full) {
    g_diskFull = full;
}
bool IsDiskFull() {
    return g_diskFull;
}

TimeSource* CurrentTimeSource() {
    return g_timeSource.load();
}
ShellOpener* CurrentShellOpener() {
    return g_shellOpener.load();
}

}  // namespace os::hooks
