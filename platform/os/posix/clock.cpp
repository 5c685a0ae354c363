// Time on CLOCK_MONOTONIC, unless a test installed its own source.

#include <time.h>

#include <ctime>

#include "platform/os/clock.h"
#include "platform/os/hooks.h"

namespace os {

namespace {

constexpr std::uint64_t kNanosecondsPerSecond = 1000000000u;

std::uint64_t Nanoseconds() {
    if (const hooks::TimeSource* source = hooks::CurrentTimeSource()) {
        return source->Nanoseconds();
    }
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * kNanosecondsPerSecond +
           static_cast<std::uint64_t>(now.tv_nsec);
}

bool HasCounter() {
    const hooks::TimeSource* source = hooks::CurrentTimeSource();
    return !source || source->HasCounter();
}

}  // namespace

bool ReadCounter(std::uint64_t& ticks) {
    if (!HasCounter()) {
        return false;
    }
    ticks = Nanoseconds();
    return true;
}

bool ReadCounterFrequency(std::uint64_t& ticksPerSecond) {
    if (!HasCounter()) {
        return false;
    }
    ticksPerSecond = kNanosecondsPerSecond;
    return true;
}

std::uint32_t MilliClock() {
    return static_cast<std::uint32_t>(Nanoseconds() / 1000000u);
}

std::int64_t UnixTime() {
    if (const hooks::TimeSource* source = hooks::CurrentTimeSource()) {
        return source->UnixTime();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

void SleepNs(const std::uint64_t nanoseconds) {
    if (nanoseconds == 0) {
        return;
    }
    if (hooks::TimeSource* source = hooks::CurrentTimeSource()) {
        source->Sleep(nanoseconds);
        return;
    }
    timespec wait;
    wait.tv_sec = static_cast<time_t>(nanoseconds / kNanosecondsPerSecond);
    wait.tv_nsec = static_cast<long>(nanoseconds % kNanosecondsPerSecond);
    // A signal cuts the sleep short, so a quit request is seen at once.
    clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, nullptr);
}

}  // namespace os
