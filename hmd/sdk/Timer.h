#pragma once

#include <cstdint>

namespace HSK {

// The SDK's clock: the system's 32-bit millisecond clock, widened to 64 bits by
// counting its wraps.
class Timer {
public:
    static uint64_t GetTicksMs();
    static uint64_t GetTicksUs() { return GetTicksMs() * 1000; }
    // Widens one reading: a reading below the previous one counts a wrap.
    static uint64_t Extend(uint32_t reading);
    // Forgets the wraps counted so far (system start and stop).
    static void Reset();
};

}  // namespace HSK
