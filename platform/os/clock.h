#pragma once

// Time: stands in for QueryPerformanceCounter/QueryPerformanceFrequency,
// timeGetTime and time(). Everything in the program that measures time reads
// it here, so a test can install a fake clock (platform/os/fake/fake.h) at run
// time and step it by hand.

#include <cstdint>

namespace os {

// The high-resolution counter. False when there is no counter, which only a
// fake clock can make happen; the output is then left alone.
bool ReadCounter(std::uint64_t& ticks);
bool ReadCounterFrequency(std::uint64_t& ticksPerSecond);

// Milliseconds on a clock that wraps to 0 after 2^32 ms (about 49.7 days).
std::uint32_t MilliClock();

// Seconds since 1970, for seeding generators.
std::int64_t UnixTime();

// Sleeps this long on the monotonic clock (a fake clock advances instead), so
// a loop that waits for its next frame gives the processor away.
void SleepNs(std::uint64_t nanoseconds);

}  // namespace os
