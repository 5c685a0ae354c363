#include "hmd/sdk/Timer.h"

#include <mutex>

#include "platform/os/clock.h"

namespace HSK {

namespace {

std::mutex gTimerLock;
uint32_t gLastReading = 0;
uint64_t gWraps = 0;

}  // namespace

uint64_t Timer::Extend(const uint32_t reading) {
    const std::lock_guard<std::mutex> lock(gTimerLock);
    if (reading < gLastReading) ++gWraps;
    gLastReading = reading;
    return (gWraps << 32) + reading;
}

uint64_t Timer::GetTicksMs() {
    return Extend(os::MilliClock());
}

void Timer::Reset() {
    const std::lock_guard<std::mutex> lock(gTimerLock);
    gLastReading = 0;
    gWraps = 0;
}

}  // namespace HSK
